#include "suite/files.h"
#include "suite/programs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "seisio/recognise.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"
#include "textio/free_reader.h"
#include "textio/output.h"

namespace circsim {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

testsupport::Outcome Circsim(std::vector<std::string> args, const std::filesystem::path& directory = {}) {
  return testsupport::RunInProcess(kProgram, "", testsupport::RunOptions{std::move(args), directory});
}

constexpr char kLayout[] =
    "# centre and a ring of three\n"
    "C  0   0  C.txt\n"
    "S1 0   10 S1.txt\n"
    "S2 120 10 S2.txt\n"
    "S3 240 10 S3.txt\n";

// The samples of a column text file, read as circspec and the suite's
// other programs read them.
std::vector<std::array<double, 4>> ReadRecord(const std::string& path) {
  std::ifstream file(path);
  textio::FreeReader reader(file);
  std::vector<std::array<double, 4>> rows;
  std::array<double, 4> row{};
  while (reader.ReadDoubles(row).ok()) rows.push_back(row);
  return rows;
}

TEST(Circsim, HelpAndVersion) {
  const auto help = Circsim({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, StartsWith("Usage: circsim [options] LAYOUT\n"));
  for (const char* option : {"--duration", "--dt", "--band", "--rayleigh", "--love", "--love-fraction", "--hv",
                             "--noise", "--waves", "--seed", "--digits", "--format"}) {
    EXPECT_THAT(help.out, HasSubstr(std::string("  ") + option + " ")) << option;
  }
  EXPECT_THAT(help.out, HasSubstr("resolved against the folder of the layout file"));
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(Circsim({"-h"}).out, help.out);
  const auto version = Circsim({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "circsim (circarray) 0.1.0\n");
}

TEST(Circsim, OptionErrorsAreOneLineWithStatus2) {
  testsupport::TempDir dir("circsim_opts");
  const std::string layout = dir.Write("layout.txt", kLayout);
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{}, "no layout file given; usage: circsim [options] LAYOUT"},
      {{layout, "other.txt"}, "one layout file expected, got 2 arguments"},
      {{"--bogus", layout}, "unknown option '--bogus'"},
      {{"-x", layout}, "unknown option '-x'"},
      {{layout, "--dt"}, "--dt: needs a value"},
      {{"--dt", "fast", layout}, "--dt: expected a positive sampling interval in seconds, got 'fast'"},
      {{"--dt", "0", layout}, "--dt: expected a positive sampling interval in seconds, got '0'"},
      {{"--dt", "1", layout}, "the default band (0.5 Hz to 0.4/dt) is empty for dt = 1 s; give --band"},
      {{"--duration", "-5", layout}, "--duration: expected a positive number of seconds, got '-5'"},
      {{"--duration", "inf", layout}, "--duration: expected a positive number of seconds, got 'inf'"},
      {{"--duration", "0.02", layout}, "the record would hold 2 samples"},
      {{layout, "--band", "1"}, "--band: needs 2 values"},
      {{"--band", "1", layout}, "--band: expected a positive frequency in Hz, got '"},
      {{"--band", "1", "x", layout}, "--band: expected a positive frequency in Hz, got 'x'"},
      {{"--band", "5", "2", layout}, "--band: expected FMIN FMAX with FMIN < FMAX, got '5 2'"},
      {{"--band", "1", "60", layout}, "FMAX exceeds the Nyquist frequency 0.5/dt = 50 Hz"},
      {{"--band", "10.0001", "10.0002", layout}, "--band: the band holds no frequency bin of the record"},
      {{"--love-fraction", "1.5", layout}, "--love-fraction: expected a share from 0 to 1, got '1.5'"},
      {{"--hv", "-0.1", layout}, "--hv: expected a ratio of 0 or more, got '-0.1'"},
      {{"--noise", "-1", layout}, "--noise: expected a power ratio of 0 or more, got '-1'"},
      {{"--waves", "0", layout}, "--waves: expected an integer of 1 or more, got '0'"},
      {{"--waves", "2.5", layout}, "--waves: expected an integer of 1 or more, got '2.5'"},
      {{"--seed", "-1", layout}, "--seed: expected an integer of 0 or more, got '-1'"},
      {{"--digits", "18", layout}, "--digits: expected an integer from 1 to 17, got '18'"},
      {{"--rayleigh", dir / "none.txt", layout}, suite::OpenFailure(dir / "none.txt")},
      {{dir / "none.txt"}, suite::OpenFailure(dir / "none.txt")},
  };
  for (const Case& c : cases) {
    const auto r = Circsim(c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(r.err, "circsim")) << r.err;
    EXPECT_THAT(r.err, HasSubstr(c.message));
    EXPECT_EQ(r.out, "");
  }
  // Nothing was written by any of the failed runs.
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"layout.txt"});
}

TEST(Circsim, WritesEveryStationNextToTheLayout) {
  testsupport::TempDir dir("circsim_run");
  std::filesystem::create_directories(dir.path() / "site");
  const std::string layout = dir.Write("site/layout.txt", kLayout);
  // Options before and after the layout; --band takes two values.
  const auto r = Circsim({"--duration", "10", layout, "--band", "1", "20", "--noise=0.1", "--seed", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  for (const char* name : {"C.txt", "S1.txt", "S2.txt", "S3.txt"}) {
    const auto rows = ReadRecord((dir.path() / "site" / name).string());
    ASSERT_EQ(rows.size(), 1000u) << name;
    // The j-th sample at j*dt.
    EXPECT_EQ(rows[0][0], 0.01);
    EXPECT_EQ(rows[999][0], 10);
    for (size_t j = 0; j < rows.size(); ++j) ASSERT_NEAR(rows[j][0], 0.01 * static_cast<double>(j + 1), 1e-12);
    double power = 0;
    for (const auto& row : rows) power += row[1] * row[1];
    EXPECT_GT(power, 0) << name;
  }
  // Nine significant digits by default, in the 16-column fields of the
  // suite's 32-bit free-format reals.
  const std::string text = testsupport::ReadFile(dir.path() / "site" / "S1.txt");
  const std::string first_line = text.substr(0, text.find('\n'));
  EXPECT_THAT(first_line, testing::MatchesRegex("   1\\.00000000E-02( .{16}){3}"));
}

TEST(Circsim, SameSeedSameBytesAndStationsIndependentOfTheLayout) {
  testsupport::TempDir dir("circsim_det");
  const std::string full = dir.Write("full.txt", kLayout);
  // S2 again, among other stations, in another order and another folder.
  std::filesystem::create_directories(dir.path() / "b");
  const std::string other = dir.Write("b/other.txt",
                                      "X1 10 10 X1.txt\nR1 0 5 R1.txt\nS2 120 10 S2.txt\nR2 120 5 R2.txt\n"
                                      "X3 250 10 X3.txt\nR3 240 5 R3.txt\n");
  const std::vector<std::string> options = {"--duration", "20", "--noise", "0.2", "--love-fraction", "0.3"};
  auto run = [&](const std::string& layout) {
    std::vector<std::string> args = options;
    args.push_back(layout);
    const auto r = Circsim(args);
    ASSERT_EQ(r.status, 0) << r.err;
  };
  run(full);
  const std::string first = dir.Read("S2.txt");
  ASSERT_FALSE(first.empty());
  run(full);
  // (Compared as booleans: the records are too long to print.)
  EXPECT_TRUE(dir.Read("S2.txt") == first);
  run(other);
  EXPECT_TRUE(testsupport::ReadFile(dir.path() / "b" / "S2.txt") == first);
  EXPECT_FALSE(dir.Read("S1.txt") == first);
  // Another seed, another record.
  std::vector<std::string> reseeded = options;
  reseeded.insert(reseeded.end(), {"--seed", "2", full});
  ASSERT_EQ(Circsim(reseeded).status, 0);
  EXPECT_FALSE(dir.Read("S2.txt") == first);
}

// Relative names are the run's: the layout and curve files are taken from
// the run's directory, the records written next to the layout there.
TEST(Circsim, RelativeNamesAreTakenFromTheRunsDirectory) {
  testsupport::TempDir dir("circsim_relative");
  std::filesystem::create_directories(dir.path() / "site");
  dir.Write("site/layout.txt", kLayout);
  dir.Write("curve.txt", "1 300\n10 200\n");
  const auto r =
      Circsim({"--duration", "1", "--band", "2", "30", "--rayleigh", "curve.txt", "site/layout.txt"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadRecord((dir.path() / "site" / "S3.txt").string()).size(), 100u);
  EXPECT_FALSE(std::filesystem::exists("site/S3.txt"));  // nothing where the test runs
  // The names in messages are the names as given.
  const auto missing = Circsim({"--duration", "1", "--love", "none.txt", "site/layout.txt"}, dir.path());
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "circsim: " + suite::OpenFailure("none.txt") + "\n");
}

TEST(Circsim, DigitsOption) {
  testsupport::TempDir dir("circsim_digits");
  const std::string layout = dir.Write("layout.txt", kLayout);
  // Fields of digits + 7 columns up to 9 digits, digits + 8 beyond.
  for (const auto& [digits, field] : {std::pair{"4", "11"}, std::pair{"17", "25"}}) {
    ASSERT_EQ(Circsim({"--duration", "1", "--band", "2", "30", "--digits", digits, layout}).status, 0);
    const std::string text = dir.Read("C.txt");
    EXPECT_THAT(text.substr(0, text.find('\n')),
                testing::MatchesRegex(std::string("   1\\.00000000E-02( .{") + field + "}){3}"))
        << "--digits " << digits;
  }
}

TEST(Circsim, RunTimeErrorsNameTheFile) {
  testsupport::TempDir dir("circsim_err");
  struct Case {
    std::string layout_text;
    std::string message;
  };
  const Case cases[] = {
      {"coordinates xy\nC 0 0 C.txt centre\nS1 10 0 S1.txt centre\n",
       "layout.txt line 3: second centre station; the first is on line 2"},
      {"C 0 0 layout.txt\nS1 0 10 a\nS2 120 10 b\nS3 240 10 c\n",
       "layout.txt line 1: the record file 'layout.txt' of station 'C' is the input file"},
      {"C 0 0 C.txt\nS1 0 10 missing/S1.txt\nS2 120 10 b\nS3 240 10 c\n",
       "layout.txt line 2: station 'S1': " + suite::CreateFailure(dir / "missing/S1.txt")},
  };
  for (const Case& c : cases) {
    const std::string layout = dir.Write("layout.txt", c.layout_text);
    const auto r = Circsim({"--duration", "1", layout});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(r.err, "circsim")) << r.err;
    EXPECT_THAT(r.err, HasSubstr(c.message));
    EXPECT_TRUE(dir.Read("layout.txt") == c.layout_text) << "the layout was overwritten";
  }
  // A record that cannot be written (a full device) names its station.
  if (std::filesystem::exists("/dev/full")) {
    const std::string layout = dir.Write("full.txt", "C 0 0 /dev/full\nS1 0 10 a\nS2 120 10 b\nS3 240 10 c\n");
    const auto full = Circsim({"--duration", "1", layout});
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.err, "circsim: " + layout + " line 1: station 'C': " + textio::WriteFailure("/dev/full") + "\n");
  }
  // A curve file is an input too.
  const std::string curve = dir.Write("curve.txt", "1 300\n10 200\n");
  dir.Write("layout.txt", "C 0 0 curve.txt\nS1 0 10 a\nS2 120 10 b\nS3 240 10 c\n");
  const auto r = Circsim({"--duration", "1", "--love", curve, dir / "layout.txt"});
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("is the input file"));
  EXPECT_EQ(dir.Read("curve.txt"), "1 300\n10 200\n");
}

// The channels of a SAC or miniSEED file as the suite reads them.
std::vector<seisio::Trace> ReadChannelsOf(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return seisio::ReadChannels(file, path.string());
}

TEST(Circsim, FieldFormatsHoldTheTextRecordAsFloats) {
  testsupport::TempDir dir("circsim_formats");
  for (const char* sub : {"t", "m", "s", "m3"}) std::filesystem::create_directories(dir.path() / sub);
  const std::string common = "C 0 0 {C}\nS1 0 10 {S1}\nS2 120 10 {S2}\nS3 240 10 {S3}\n";
  auto layout = [&](const char* sub, const std::string& one, const std::string& three) {
    std::string text = common;
    for (const char* name : {"S1", "S2", "S3", "C"}) {
      const std::string field =
          one.empty() ? std::string(name) + ".u" + three + "," + name + ".e" + three + "," + name + ".n" + three
                      : name + one;
      text.replace(text.find(std::string("{") + name + "}"), std::strlen(name) + 2, field);
    }
    return dir.Write(std::string(sub) + "/layout.txt", text);
  };
  const std::vector<std::string> options = {"--duration", "3", "--dt", "0.01", "--digits", "17", "--noise", "0.1"};
  auto run = [&](const std::string& format, const std::string& path) {
    std::vector<std::string> args = options;
    args.insert(args.end(), {"--format", format, path});
    const auto r = Circsim(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
  };
  run("text", layout("t", ".txt", ""));
  run("mseed", layout("m", ".mseed", ""));
  run("sac", layout("s", "", ".sac"));
  run("mseed", layout("m3", "", ".mseed"));

  const char* codes[] = {"HHZ", "HHE", "HHN"};
  for (const char* name : {"C", "S1", "S2", "S3"}) {
    SCOPED_TRACE(name);
    const std::vector<std::array<double, 4>> text = ReadRecord(dir.path() / "t" / (std::string(name) + ".txt"));
    ASSERT_EQ(text.size(), 300u);
    std::vector<seisio::Trace> one_file = ReadChannelsOf(dir.path() / "m" / (std::string(name) + ".mseed"));
    ASSERT_EQ(one_file.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
      const std::string stem = std::string(name) + "." + "uen"[k];
      const std::vector<seisio::Trace> sac = ReadChannelsOf(dir.path() / "s" / (stem + ".sac"));
      const std::vector<seisio::Trace> mseed = ReadChannelsOf(dir.path() / "m3" / (stem + ".mseed"));
      ASSERT_EQ(sac.size(), 1u);
      ASSERT_EQ(mseed.size(), 1u);
      for (const seisio::Trace* t : {&std::as_const(one_file)[k], &sac[0], &mseed[0]}) {
        EXPECT_EQ(t->network, "SY");
        EXPECT_EQ(t->station, name);
        EXPECT_EQ(t->channel, codes[k]);
        EXPECT_EQ(t->start_ns, 10'000'000) << "sample 1 at dt, as in the text";
        EXPECT_EQ(t->interval, 0.01);
        ASSERT_EQ(t->samples.size(), text.size());
        size_t differ = 0;
        for (size_t i = 0; i < text.size(); ++i) {
          if (t->samples[i] != static_cast<double>(static_cast<float>(text[i][k + 1]))) ++differ;
        }
        EXPECT_EQ(differ, 0u) << "samples are the text's values rounded to 32-bit floats";
      }
    }
  }
}

TEST(Circsim, FormatsRefuseRecordFilesTheyCannotFill) {
  testsupport::TempDir dir("circsim_format_err");
  struct Case {
    const char* format;
    std::string layout_text;
    std::string message;
  };
  const Case cases[] = {
      {"sac", "C 0 0 C.sac\nS1 0 10 a\nS2 120 10 b\nS3 240 10 c\n",
       "layout.txt line 1: station 'C': a SAC file holds one channel: give three files u,e,n"},
      {"text", "C 0 0 C.u,C.e,C.n\nS1 0 10 a\nS2 120 10 b\nS3 240 10 c\n",
       "layout.txt line 1: station 'C': column text is one file of the three components"},
      {"mseed", "C 0 0 C\nSTATION1 0 10 a\nS2 120 10 b\nS3 240 10 c\n",
       "layout.txt line 2: station 'STATION1': the name is the station code of the records, at most 5 characters in "
       "miniSEED"},
      {"sac", "C 0 0 C.u,C.e,C.n\nS1 0 10 a.u,a.e,a.n\nS2 120 10 b.u,b.e,b.n\nSTATION_9 240 10 c.u,c.e,c.n\n",
       "layout.txt line 4: station 'STATION_9': the name is the station code of the records, at most 8 characters in "
       "SAC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    const std::string layout = dir.Write("layout.txt", c.layout_text);
    const auto r = Circsim({"--duration", "1", "--format", c.format, layout});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(r.err, "circsim")) << r.err;
    EXPECT_THAT(r.err, HasSubstr(c.message));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "a")) << "nothing is written before the check";
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "C.u"));
  }
  const auto bad = Circsim({"--format", "csv", "layout.txt"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_THAT(bad.err, HasSubstr("--format: expected text, mseed or sac, got 'csv'"));
}

}  // namespace
}  // namespace circsim
