#include "suite/programs.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "result_plot/gnuplot_run.h"
#include "testsupport/plot_inputs.h"
#include "testsupport/png_check.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"

namespace circplot {
namespace {

using testing::Has;
using testing::HasAll;
using testsupport::Outcome;
using testsupport::TempDir;

// $PATH for the length of a test: the program looks gnuplot up there.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& path) {
    if (const char* old = std::getenv("PATH")) old_ = old;
    ::setenv("PATH", path.c_str(), 1);
  }
  ~ScopedPath() {
    if (old_) {
      ::setenv("PATH", old_->c_str(), 1);
    } else {
      ::unsetenv("PATH");
    }
  }

 private:
  std::optional<std::string> old_;
};

Outcome Circplot(const TempDir& dir, const std::vector<std::string>& args, const std::string& input = "") {
  return testsupport::RunInProcess(kProgram, input, {args, dir.path()});
}

// A stand-in for gnuplot: a shell script in a folder of its own.
void FakeGnuplot(const TempDir& bin, const std::string& body) {
  const std::string path = bin.Write("gnuplot", "#!/bin/sh\n" + body + "\n");
  ::chmod(path.c_str(), 0755);
}

TEST(CircplotRunTest, WithoutGnuplotItLeavesTheScriptAndSaysHowToInstall) {
  TempDir dir("circplot_nognuplot");
  TempDir empty("circplot_emptybin");
  dir.Write("v.txt", testing::VantorExample());
  dir.Write("fort.7", testing::Fort7Example());
  ScopedPath path(empty.path().string());
  const Outcome r = Circplot(dir, {"--output", "d.png", "--fort7", "fort.7", "v.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(testsupport::IsOneDiagnosticLine(r.err, "circplot")) << r.err;
  EXPECT_TRUE(Has(r.err, "apt-get install gnuplot-nox")) << r.err;
  EXPECT_TRUE(Has(r.err, "gnuplot 'd.png.gp'")) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"d.png.gp", "fort.7", "v.txt"}));
  EXPECT_TRUE(
      HasAll(dir.Read("d.png.gp"), {"title 'NO_ROOT: 1 frequency'",
                                    "title 'resolution limit, fort.7 (above: not resolved)'", "set output 'd.png'"}));
}

TEST(CircplotRunTest, StandardInputAndTheScriptOption) {
  TempDir dir("circplot_stdin");
  TempDir empty("circplot_emptybin");
  ScopedPath path(empty.path().string());
  const Outcome r = Circplot(dir, {"--script", "s.gp", "--title", "My site"}, testing::QuillonExample());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(HasAll(dir.Read("s.gp"), {"set output 'circplot.png'",  // the default picture
                                        "title 'My site'", "# nsr0 of standard input"}));
}

TEST(CircplotRunTest, GnuplotFailuresAreErrorsWithItsStatusAndMessages) {
  TempDir dir("circplot_fails");
  TempDir bin("circplot_fakebin");
  dir.Write("q.txt", testing::QuillonExample());
  ScopedPath path(bin.path().string());
  const std::pair<std::string, std::string> cases[] = {
      {"echo 'line 7: undefined variable' >&2; exit 3",
       "circplot: gnuplot failed on the script \"q.png.gp\" (exit status 3)"},
      {"exit 0", "circplot: gnuplot wrote no picture \"q.png\""},
      {"kill -9 $$", "(signal 9)"},
  };
  for (const auto& [body, message] : cases) {
    FakeGnuplot(bin, body);
    const Outcome r = Circplot(dir, {"-o", "q.png", "q.txt"});
    EXPECT_EQ(r.status, 2) << body;
    EXPECT_TRUE(Has(r.err, message)) << r.err;
    EXPECT_TRUE(Has(dir.Read("q.png.gp"), "NO ROOT: 1 frequency")) << "the script is left";
  }
  FakeGnuplot(bin, "echo 'line 7: undefined variable' >&2; exit 3");
  EXPECT_TRUE(Has(Circplot(dir, {"-o", "q.png", "q.txt"}).err, "line 7: undefined variable\n"))
      << "its messages are shown";
}

TEST(CircplotRunTest, ErrorsNameTheInputAndWriteNothing) {
  TempDir dir("circplot_errors");
  dir.Write("v.txt", testing::VantorExample());
  dir.Write("bad.txt", testing::VantorExample() + "   7.00000000  0.5\n");
  dir.Write("vantor_in.txt", "1 20.0 0.4 6.0\n1.0 1.004\n");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"bad.txt"}, "circplot: bad.txt line 10: not a line of vantor output"},
      {{"v.txt", "vantor_in.txt"}, "circplot: vantor_in.txt line 1: not a circspec table"},
      {{"missing.txt"}, "circplot: cannot open the input file \"missing.txt\""},
      {{"--fort7", "v.txt", "v.txt"}, "circplot: v.txt line 1: not a line of quillon's fort.7"},
      {{"--true", "missing.txt", "v.txt"}, "cannot open the input file \"missing.txt\""},
      {{"--output", "d.jpg", "v.txt"}, "--output: expected a picture name ending in .png or .svg, got 'd.jpg'"},
      {{"--radius", "-3", "v.txt"}, "--radius: expected a positive ring radius in metres, got '-3'"},
      {{"--radius", "ten", "v.txt"}, "--radius: expected a positive ring radius in metres, got 'ten'"},
      {{"-", "-"}, "standard input ('-') can be read only once"},
      {{"--script", "v.txt", "v.txt"}, "the input 'v.txt' would be overwritten"},
      {{"--script", "p.png", "-o", "p.png", "v.txt"}, "the script and the picture would be the same file"},
      {{"--colour", "v.txt"}, "unknown option '--colour'"},
  };
  for (const auto& [args, message] : cases) {
    const Outcome r = Circplot(dir, args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(r.err, "circplot")) << r.err;
    EXPECT_TRUE(Has(r.err, message)) << r.err;
    EXPECT_EQ(dir.Files(), (std::vector<std::string>{"bad.txt", "v.txt", "vantor_in.txt"})) << args[0];
    EXPECT_EQ(dir.Read("v.txt"), testing::VantorExample());
  }
}

TEST(CircplotRunTest, AStopMessageIsReportedAndTheLinesBeforeItDrawn) {
  TempDir dir("circplot_stop");
  TempDir empty("circplot_emptybin");
  dir.Write("v.txt", testing::VantorExample() + " Error:nz or ierr in cbesj()           1           4\n");
  ScopedPath path(empty.path().string());
  const Outcome r = Circplot(dir, {"v.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Has(r.err,
                  "circplot: v.txt line 10: the run that wrote it stopped with the message "
                  "'Error:nz or ierr in cbesj()           1           4'; the lines before it are drawn"))
      << r.err;
  EXPECT_TRUE(Has(dir.Read("circplot.png.gp"), "NO_ROOT: 1 frequency"));
}

TEST(CircplotRunTest, ADirectoryIsReadAsCircinvsResults) {
  TempDir dir("circplot_directories");
  TempDir empty("circplot_emptybin");
  ScopedPath path(empty.path().string());
  testing::WriteInversionFiles(dir, "run1");
  std::filesystem::create_directory(dir.path() / "other");
  dir.Write("other/notes.txt", "1 2 3\n");
  const std::pair<std::vector<std::string>, std::string> refusals[] = {
      {{"other"}, "circplot: other: a directory without circinv's results (profile.txt and fit.txt)"},
      {{"--script", "run1/fit.txt", "run1"}, "the input 'run1' would be overwritten"},
  };
  for (const auto& [args, message] : refusals) {
    const Outcome r = Circplot(dir, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(r.err, "circplot")) << r.err;
    EXPECT_TRUE(Has(r.err, message)) << r.err;
  }
  EXPECT_EQ(dir.Read("run1/fit.txt"), testing::kFitFile);
  const Outcome r = Circplot(dir, {"-o", "inv.png", "run1/"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(HasAll(dir.Read("inv.png.gp"), {"set multiplot title 'run1 (circinv)'", "# the best model of run1/"}));
}

// The PNG checks themselves: a checker that passes anything proves nothing.
TEST(PngCheckTest, RefusesWhatIsNotAWellFormedPng) {
  // A 1x1 PNG, made by hand: IHDR, one IDAT, IEND.
  auto chunk = [](const std::string& type, const std::string& data) {
    std::string c;
    for (int shift = 24; shift >= 0; shift -= 8) c += static_cast<char>((data.size() >> shift) & 0xff);
    c += type + data;
    const std::string body = type + data;
    const uint32_t crc = testing::Crc32(body, 0, body.size());
    for (int shift = 24; shift >= 0; shift -= 8) c += static_cast<char>((crc >> shift) & 0xff);
    return c;
  };
  const std::string signature("\x89PNG\r\n\x1a\n", 8);
  const std::string ihdr = chunk("IHDR", std::string("\0\0\0\1\0\0\0\1\x08\x02\0\0\0", 13));
  const std::string idat = chunk("IDAT", std::string("\x78\x9c\x63\x60\x60\x60\0\0\0\x04\0\x01", 12));
  const std::string iend = chunk("IEND", "");
  const std::string good = signature + ihdr + idat + iend;
  const testing::PngFacts facts = testing::InspectPng(good);
  EXPECT_EQ(facts.error, "");
  EXPECT_EQ(facts.width, 1u);
  EXPECT_EQ(facts.height, 1u);
  EXPECT_EQ(facts.idat_bytes, 12u);

  std::string bad_crc = good;
  bad_crc[signature.size() + 10] ^= 1;  // a bit of the width
  const std::pair<std::string, std::string> cases[] = {
      {"<svg/>", "no PNG signature"},
      {good.substr(0, good.size() - 12), "truncated: no IEND chunk"},
      {bad_crc, "bad CRC in chunk IHDR"},
      {signature + idat + iend, "the first chunk is not a 13-byte IHDR"},
      {signature + ihdr + iend, "no image data (IDAT)"},
  };
  for (const auto& [bytes, error] : cases) EXPECT_EQ(testing::InspectPng(bytes).error, error);
}

// End to end with the real gnuplot: the pictures of the worked examples.
class CircplotGnuplotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!FindOnPath("gnuplot")) {
      GTEST_SKIP() << "gnuplot is not installed (apt-get install gnuplot-nox): the pictures are not drawn";
    }
  }

  // The compressed image data of a picture with nothing on it, drawn by
  // the same gnuplot with the same terminal and size. A uniform image
  // deflates to almost nothing (about 2 KB at 1000x420 with pngcairo),
  // lines and text do not: the worked example's picture holds about 18
  // times as much, a frame with one mark and its labels about 7 times. So
  // more than 4 times the blank picture's data means a picture that is
  // not blank, whatever zlib level or fonts this gnuplot uses.
  size_t BlankIdatBytes(const TempDir& dir, uint32_t width, uint32_t height) {
    const std::string size = "size " + std::to_string(width) + "," + std::to_string(height);
    dir.Write("blank.gp",
              "if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {\n  set terminal pngcairo " + size +
                  "\n} else {\n  set terminal png " + size +
                  "\n}\nset output 'blank.png'\nunset border\nunset tics\nunset key\nplot [0:1][0:1] 2 notitle\n");
    const GnuplotOutcome outcome = RunGnuplot(*FindOnPath("gnuplot"), "blank.gp", dir.path());
    EXPECT_TRUE(outcome.ok()) << outcome.messages;
    const testing::PngFacts blank = testing::InspectPng(dir.Read("blank.png"));
    EXPECT_EQ(blank.error, "");
    return blank.idat_bytes;
  }

  void ExpectPicture(const TempDir& dir, const std::string& name, uint32_t rows) {
    const testing::PngFacts png = testing::InspectPng(dir.Read(name));
    ASSERT_EQ(png.error, "") << name;
    EXPECT_EQ(png.width, 1000u);
    EXPECT_EQ(png.height, 40u + 380u * rows);
    const size_t blank = BlankIdatBytes(dir, png.width, png.height);
    EXPECT_GT(png.idat_bytes, 4 * blank) << name << ": " << png.idat_bytes << " bytes of image data, a blank picture "
                                         << blank;
  }
};

TEST_F(CircplotGnuplotTest, DispersionCurveWithResolutionLimitAndTrueCurve) {
  TempDir dir("circplot_png_vantor");
  dir.Write("v.txt", testing::VantorExample());
  dir.Write("fort.7", testing::Fort7Example());
  dir.Write("true.txt", testing::Example("true_velocity.txt"));
  const Outcome r = Circplot(dir, {"-o", "v.png", "--fort7", "fort.7", "--true", "true.txt", "v.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  ExpectPicture(dir, "v.png", 1);
}

TEST_F(CircplotGnuplotTest, SpectraTableDispersionAndNoiseInOnePicture) {
  TempDir dir("circplot_png_all");
  dir.Write("spectra.txt", testing::kSpectraTable);
  dir.Write("v.txt", testing::VantorExample());
  dir.Write("q.txt", testing::QuillonExample());
  dir.Write("true.txt", testing::Example("true_velocity.txt"));
  const Outcome r =
      Circplot(dir, {"--radius", "10", "--true", "true.txt", "--output", "all.png", "spectra.txt", "v.txt", "q.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  // spac, cca, phase velocity, nsr0; the --radius differs from vantor's 20 m.
  EXPECT_TRUE(Has(r.err, "--radius 10 differs from the radius 20")) << r.err;
  ExpectPicture(dir, "all.png", 4);
}

TEST_F(CircplotGnuplotTest, SvgPictureCarriesTheLegendAndShortTicks) {
  TempDir dir("circplot_svg");
  dir.Write("v.txt", testing::VantorExample());
  const Outcome r = Circplot(dir, {"-o", "v.svg", "v.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string svg = dir.Read("v.svg");
  EXPECT_TRUE(Has(svg, "<svg")) << svg.substr(0, 200);
  EXPECT_TRUE(HasAll(svg, {"NO_ROOT: 1 frequency", "phase velocity (m/s)", "frequency (Hz)"}));
  // The velocity tics at every 100 m/s, as "400", not "400.000000".
  EXPECT_TRUE(HasAll(svg, {"<text>400</text>", "<text>500</text>", "<text>600</text>", "<text>2</text>"}));
}

TEST_F(CircplotGnuplotTest, CurveTableWithItsRingsLimitsAndAll) {
  TempDir dir("circplot_png_curve");
  dir.Write("c.txt", testing::kCurveTable);
  dir.Write("d.txt", testing::kCircdispTable);
  dir.Write("true.txt", "2 640\n16 230\n");
  const Outcome r = Circplot(dir, {"-o", "c.png", "--all", "--true", "true.txt", "c.txt", "d.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  ExpectPicture(dir, "c.png", 1);
}

TEST_F(CircplotGnuplotTest, CircinvResultDirectory) {
  TempDir dir("circplot_png_circinv");
  testing::WriteInversionResults(dir.path() / "run");
  const Outcome r = Circplot(dir, {"-o", "inv.png", "run"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");              // gnuplot has nothing to warn of
  ExpectPicture(dir, "inv.png", 1);  // one row of two panels
}

}  // namespace
}  // namespace circplot
