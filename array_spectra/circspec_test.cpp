// The command line: options, messages, the output file, and one run
// through text files that must equal the in-process analysis bit for bit.
#include "suite/files.h"
#include "suite/programs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <span>
#include <sstream>

#include "array_spectra/output_forms.h"
#include "array_testing/memory_source.h"
#include "array_testing/synthetic_array.h"
#include "suite/runtime.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"
#include "textio/format.h"
#include "textio/free_reader.h"
#include "textio/output.h"

namespace circspec {
namespace {

using testing::MemorySource;

testsupport::Outcome RunWith(std::vector<std::string> args, const std::filesystem::path& directory = {}) {
  return testsupport::RunInProcess(kProgram, "", testsupport::RunOptions{std::move(args), directory});
}

// A command line circspec refuses, and what its message says.
struct Refusal {
  std::vector<std::string> args;
  std::string says;
};

// A refused run: status 2 and one line on standard error saying `says`.
testsupport::Outcome ExpectRefused(const Refusal& refusal) {
  const testsupport::Outcome r = RunWith(refusal.args);
  EXPECT_EQ(r.status, 2) << refusal.says;
  EXPECT_TRUE(testsupport::IsOneDiagnosticLine(r.err, "circspec")) << r.err;
  EXPECT_NE(r.err.find(refusal.says), std::string::npos) << r.err;
  return r;
}

// Each refusal run with "--output DIR/result.txt" in front of its
// arguments: refused, and no output file left behind.
void ExpectRefusedWithoutOutput(std::span<const Refusal> refusals, const testsupport::TempDir& dir) {
  const std::string out = dir / "result.txt";
  for (const Refusal& refusal : refusals) {
    Refusal with_output{{"--output", out}, refusal.says};
    with_output.args.insert(with_output.args.end(), refusal.args.begin(), refusal.args.end());
    ExpectRefused(with_output);
    EXPECT_FALSE(std::filesystem::exists(out)) << refusal.says;
  }
}

// A layout of one ring of three stations R1S1 .. R1S3 (radius 10 m) whose
// second station's record is the file `second`.
std::string RingOfThree(const std::string& second = "R1S2.txt") {
  return "R1S1 0 10 R1S1.txt\nR1S2 120 10 " + second + "\nR1S3 240 10 R1S3.txt\n";
}

// A directory with a synthetic array written as the suite's column files
// ("time u e n", times i * dt from 0, values with 17 digits, so that they
// read back exactly).
struct ArrayFiles {
  testsupport::TempDir dir{"circspec_files"};
  testing::SyntheticArray array;
  std::string layout;

  explicit ArrayFiles(const testing::ArrayDesign& design) : array(testing::MakeArray(design)) {
    layout = dir.Write("layout.txt", testing::LayoutText(design));
    for (size_t s = 0; s < array.layout.stations.size(); ++s) {
      std::string text;
      const std::vector<double>& u = array.vertical[s];
      for (size_t i = 0; i < u.size(); ++i) {
        text += textio::Shortest(static_cast<double>(i) * array.wavefield.dt);
        for (const std::vector<std::vector<double>>* c : {&array.vertical, &array.east, &array.north}) {
          text += ' ';
          textio::AppendScientific(&text, (*c)[s][i], 17);
        }
        text += '\n';
      }
      dir.Write(array.layout.stations[s].file, text);
    }
  }

  // The same records in memory, as the files read back: u, or e and n.
  SourceOpener Opener(Component component = Component::kVertical) const {
    return [this, component] {
      Sources sources;
      for (size_t s = 0; s < array.vertical.size(); ++s) {
        if (component == Component::kVertical) {
          sources.push_back(std::make_unique<MemorySource>("m", array.vertical[s], 0, array.wavefield.dt));
        } else {
          sources.push_back(std::make_unique<MemorySource>("e", array.east[s], 0, array.wavefield.dt));
          sources.push_back(std::make_unique<MemorySource>("n", array.north[s], 0, array.wavefield.dt));
        }
      }
      return sources;
    };
  }
};

testing::ArrayDesign SmallArray(bool centre = true, std::vector<int> rings = {5}, std::vector<double> radii = {10}) {
  testing::ArrayDesign design;
  design.centre = centre;
  design.ring_stations = rings;
  design.radii = radii;
  design.duration = 240;
  design.noise = 0.01;
  return design;
}

TEST(Circspec, HelpAndVersion) {
  const testsupport::Outcome help = RunWith({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--window", "--overlap", "--reject", "--fmin", "--fmax", "--nfreq", "--grid", "--smooth",
                             "--ring", "--for", "--output", "--component", "--wave"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(RunWith({"-h"}).out, help.out);
  const testsupport::Outcome version = RunWith({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "circspec (circarray) 0.1.0\n");
}

TEST(Circspec, UsageErrorsAreOneLineWithStatusTwo) {
  const Refusal refusals[] = {
      {{}, "missing the layout file"},
      {{"a.txt", "b.txt"}, "one layout file expected, got also 'b.txt'"},
      {{"--bogus", "a.txt"}, "unknown option '--bogus'"},
      {{"a.txt", "--window"}, "--window: needs a value"},
      {{"--window", "0", "a.txt"}, "--window: expected a positive number of seconds, got '0'"},
      {{"--window", "x", "a.txt"}, "--window: expected a positive number of seconds, got 'x'"},
      {{"--overlap", "1", "a.txt"}, "--overlap: expected a fraction 0 <= F < 1, got '1'"},
      {{"--reject", "-1", "a.txt"}, "--reject: expected a factor K >= 0, got '-1'"},
      {{"--fmin", "0", "a.txt"}, "--fmin: expected a positive frequency in Hz, got '0'"},
      {{"--nfreq", "0", "a.txt"}, "--nfreq: expected a count from 1 to 100000, got '0'"},
      {{"--grid", "octave", "a.txt"}, "--grid: expected log or linear, got 'octave'"},
      {{"--smooth", "ko:-1", "a.txt"}, "--smooth: expected ko:X with a positive number X, got 'ko:-1'"},
      {{"--smooth", "parzen", "a.txt"}, "--smooth: expected parzen:BW with the bandwidth BW in Hz, got 'parzen'"},
      {{"--smooth", "gauss:2", "a.txt"}, "--smooth: expected ko:B, parzen:BW or none, got 'gauss:2'"},
      {{"--for", "vantor:6", "a.txt"}, "--for: expected table, curve, vantor:ITYPE"},
      {{"--for", "csv", "a.txt"}, "--for: expected table"},
      {{"--component", "z", "a.txt"}, "--component: expected v or h, got 'z'"},
      {{"--wave", "p", "a.txt"}, "--wave: expected love or rayleigh, got 'p'"},
      {{"--component", "h", "--for", "vantor:22", "a.txt"}, "--for vantor:22 needs --wave love or --wave rayleigh"},
      {{"--component", "h", "--wave", "love", "a.txt"}, "--wave applies only to the horizontal models"},
      {{"--wave", "love", "--for", "vantor:1", "a.txt"}, "--wave applies only to the horizontal models"},
      {{"--for", "curve", "--max-se", "0", "a.txt"}, "--max-se: expected a relative error 0 < E <= 1, got '0'"},
      {{"--for", "curve", "--max-se", "1.5", "a.txt"}, "--max-se: expected a relative error 0 < E <= 1, got '1.5'"},
      {{"--max-se", "0.1", "a.txt"}, "--max-se applies only to --for curve"},
  };
  for (const Refusal& refusal : refusals) EXPECT_EQ(ExpectRefused(refusal).out, "") << refusal.says;
}

TEST(Circspec, ErrorsNameTheFileAndLineAndLeaveNoOutputFile) {
  ArrayFiles files(SmallArray(false, {3}));
  const testsupport::TempDir& dir = files.dir;
  // Layouts with a bad line.
  dir.Write("bad_layout.txt", "# ring\nR1S1 0 10 R1S1.txt\nR1S2 x 10 R1S2.txt\n");
  dir.Write("missing_layout.txt", RingOfThree("none.txt"));
  const Refusal refusals[] = {
      {{dir / "bad_layout.txt"}, "bad_layout.txt line 3: expected a number for the azimuth"},
      {{dir / "missing_layout.txt"}, suite::OpenFailure(dir / "none.txt")},
      {{dir / "no_layout.txt"}, suite::OpenFailure(dir / "no_layout.txt")},
      {{"--for", "vantor:1", files.layout}, "vantor:1: spac needs a centre station"},
      {{"--for", "quillon", files.layout}, "quillon: coh needs a centre station"},
      {{"--for", "vantor:11", files.layout}, "ring compares two rings"},
      {{"--ring", "7", files.layout}, "--ring 7: no ring of that radius"},
      {{"--fmax", "60", files.layout}, "--fmax 60 Hz lies above the Nyquist frequency 50 Hz"},
      {{"--window", "1000", files.layout}, "the records hold no common span of one window"},
  };
  ExpectRefusedWithoutOutput(refusals, dir);
  ExpectRefused({{"--output", dir / "no/such/folder/out.txt", files.layout}, "no folder"});
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

// The vantor and quillon forms from the files equal those from the same
// samples in memory: reading, segmenting and formatting add nothing.
TEST(Circspec, RunThroughFilesEqualsTheInProcessAnalysis) {
  ArrayFiles files(SmallArray(true, {5, 3}, {10, 4}));
  const ChannelLayout ch(files.array.geometry);
  const SpectralSums sums = Analyse(files.array.geometry, files.Opener(), AnalysisOptions{});
  auto in_process = [&](auto write) {
    std::ostringstream text;
    {
      textio::Output out(text);
      write(out);
    }
    return text.str();
  };
  const std::string vantor1 = in_process([&](textio::Output& out) {
    WriteVantor(out, 1, 10, std::nullopt, sums.frequencies.back(), sums.frequencies,
                Estimate(Quantity::kSpac, ch, 0, sums));
  });
  const std::string vantor10 = in_process([&](textio::Output& out) {
    WriteVantor(out, 10, 10, 4.0, sums.frequencies.back(), sums.frequencies, Estimate(Quantity::kRingsq, ch, 0, sums));
  });
  const std::string quillon = in_process([&](textio::Output& out) {
    WriteQuillon(out, 4, 3, sums.frequencies, Estimate(Quantity::kCoh, ch, 1, sums),
                 Estimate(Quantity::kSpac, ch, 1, sums), Estimate(Quantity::kCca, ch, 1, sums));
  });
  EXPECT_EQ(RunWith({"--for", "vantor:1", files.layout}).out, vantor1);
  EXPECT_EQ(RunWith({"--for", "vantor:10", "--ring", "4", files.layout}).out,
            vantor10);  // 10 and 11: always outer/inner
  const testsupport::Outcome q = RunWith({"--for", "quillon", "--ring", "4.01", files.layout});
  EXPECT_EQ(q.out, quillon);
  EXPECT_EQ(q.err, "");
}

// --component h: each form from the files equals the in-process analysis
// of the same e and n samples, and --wave picks the coefficient vantor's
// model of the itype describes.
TEST(Circspec, HorizontalFormsEqualTheInProcessAnalysis) {
  ArrayFiles files(SmallArray(true, {5, 3}, {10, 4}));
  AnalysisOptions options;
  options.component = Component::kHorizontal;
  const ChannelLayout ch(files.array.geometry, Component::kHorizontal);
  const SpectralSums sums = Analyse(files.array.geometry, files.Opener(Component::kHorizontal), options);
  struct Case {
    const char* itype;
    const char* wave;
    Quantity written;
  };
  const Case cases[] = {
      {"22", "love", Quantity::kSpacT},     {"23", "love", Quantity::kSpacR},     {"21", "love", Quantity::kSpacTR},
      {"22", "rayleigh", Quantity::kSpacR}, {"23", "rayleigh", Quantity::kSpacT}, {"21", "rayleigh", Quantity::kSpacRT},
  };
  for (const Case& c : cases) {
    std::ostringstream text;
    {
      textio::Output out(text);
      WriteVantor(out, std::stoi(c.itype), 10, std::nullopt, sums.frequencies.back(), sums.frequencies,
                  Estimate(c.written, ch, 0, sums));
    }
    const testsupport::Outcome r =
        RunWith({"--component", "h", "--for", std::string("vantor:") + c.itype, "--wave", c.wave, files.layout});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, text.str()) << c.itype << " " << c.wave;
  }
  // spac_rt is the reciprocal of spac_tr, with an error of its own.
  const Series tr = Estimate(Quantity::kSpacTR, ch, 0, sums), rt = Estimate(Quantity::kSpacRT, ch, 0, sums);
  for (size_t i = 0; i < sums.frequencies.size(); ++i) EXPECT_NEAR(tr.value[i] * rt.value[i], 1, 1e-12);

  // The table: the three coefficients of the ring asked for, nothing vertical.
  const testsupport::Outcome table = RunWith({"--component", "h", "--ring", "4", files.layout});
  ASSERT_EQ(table.status, 0) << table.err;
  const std::vector<std::string> lines = testsupport::Lines(table.out);
  size_t header = 0;
  while (header < lines.size() && lines[header].rfind("# ", 0) == 0) ++header;
  ASSERT_GE(header, 2u);
  EXPECT_EQ(lines[header - 1], "# freq spac_r spac_r_se spac_t spac_t_se spac_tr spac_tr_se segments");
  EXPECT_NE(table.out.find("radial R = e cos(theta) + n sin(theta)"), std::string::npos);
  ASSERT_EQ(lines.size(), header + sums.frequencies.size());
  const Series radial = Estimate(Quantity::kSpacR, ch, 1, sums);
  for (size_t i = 0; i < sums.frequencies.size(); ++i) {
    std::istringstream in(lines[header + i]);
    textio::FreeReader reader(in);
    double values[8];
    ASSERT_TRUE(reader.ReadDoubles(values).ok()) << lines[header + i];
    EXPECT_NEAR(values[1], radial.value[i], 1e-8 * std::fabs(radial.value[i])) << lines[header + i];  // 9 digits
    EXPECT_NEAR(values[2], radial.se[i], 1e-8 * radial.se[i]) << lines[header + i];
  }
}

TEST(Circspec, HorizontalComponentsNeedTheCentreAndTheColumnFile) {
  ArrayFiles files(SmallArray(true, {3}));
  const testsupport::TempDir& dir = files.dir;
  dir.Write("ring_only.txt", RingOfThree());
  // A two-column record ("time value", as wendle writes it) has no e, n.
  dir.Write("two.txt", "0 1\n0.01 2\n0.02 3\n0.03 4\n");
  dir.Write("two_layout.txt", "C0 0 0 two.txt\n" + RingOfThree());
  const Refusal refusals[] = {
      {{"--component", "h", dir / "ring_only.txt"}, "--component h: the horizontal SPAC coefficients project"},
      {{"--component", "h", "--for", "vantor:22", "--wave", "love", dir / "ring_only.txt"},
       "spac_t needs a centre station"},
      {{"--component", "h", "--for", "vantor:1", files.layout}, "spac comes from the vertical component"},
      {{"--component", "h", "--for", "quillon", files.layout}, "coh comes from the vertical component"},
      {{"--for", "vantor:23", "--wave", "rayleigh", files.layout},
       "spac_t comes from the horizontal components (--component h)"},
      {{"--component", "h", dir / "two_layout.txt"},
       (dir / "two.txt") + " line 4: expected 'time u e n' (the column file; a two-column record has no e and n)"},
  };
  ExpectRefusedWithoutOutput(refusals, dir);
}

TEST(Circspec, TableHasTheHeaderColumnsAndOneLinePerFrequency) {
  ArrayFiles files(SmallArray(true, {5, 3}, {10, 4}));
  const std::string out = files.dir / "table.txt";
  const testsupport::Outcome r = RunWith({"--nfreq", "30", "--grid", "linear", "--fmin", "1", "--fmax", "20",
                                          "--smooth", "parzen:0.5", "--reject", "4", "--output", out, files.layout});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const std::vector<std::string> lines = testsupport::Lines(files.dir.Read("table.txt"));
  size_t header = 0;
  while (header < lines.size() && lines[header].rfind("# ", 0) == 0) ++header;
  ASSERT_GE(header, 2u);
  EXPECT_EQ(lines[header - 1],
            "# freq spac spac_se coh coh_se cca cca_se j0sq j0sq_se j1sq j1sq_se j0j1sq j0j1sq_se ringsq ringsq_se "
            "ring ring_se segments");
  auto line = [&](std::string_view start) {
    for (const std::string& l : lines) {
      if (l.starts_with(start)) return l;
    }
    return std::string("no line ") + std::string(start);
  };
  EXPECT_NE(line("# segments: ").find("reject 4; kept "), std::string::npos);
  EXPECT_NE(line("# frequencies: ").find("30 on a linear grid from 1 to 20 Hz; smoothing parzen:0.5"),
            std::string::npos);
  EXPECT_EQ(line("# ring 2 stations: "), "# ring 2 stations: R2S1 4 17 R2S2 4 137 R2S3 4 257");
  ASSERT_EQ(lines.size(), header + 30);
  for (size_t i = header; i < lines.size(); ++i) {
    std::istringstream in(lines[i]);
    textio::FreeReader reader(in);
    double values[18];
    ASSERT_TRUE(reader.ReadDoubles(values).ok()) << lines[i];
    EXPECT_NEAR(values[0], 1 + 19.0 * static_cast<double>(i - header) / 29, 1e-8 * values[0]);  // 9 digits
    EXPECT_GT(values[2], 0);                                                                    // an error estimate
    EXPECT_EQ(values[17], 22);  // kept segments of a 240 s record
  }
}

TEST(Circspec, VantorFormLeavesOutNonFiniteValuesWithANote) {
  // Records without any motion: every ratio of spectra is 0/0.
  ArrayFiles files(SmallArray(false, {3}));
  std::string still;
  for (int i = 0; i < 4000; ++i) still += textio::Shortest(i * 0.01) + " 0 0 0\n";
  for (const char* name : {"R1S1.txt", "R1S2.txt", "R1S3.txt"}) files.dir.Write(name, still);
  const testsupport::Outcome r = RunWith({"--for", "vantor:5", "--nfreq", "5", files.layout});
  EXPECT_EQ(r.status, 0);
  const std::vector<std::string> lines = testsupport::Lines(r.out);
  ASSERT_EQ(lines.size(), 1u) << r.out;
  EXPECT_EQ(lines[0], "           5   10.000000000000000        0.0000000000000000        40.000000000000000     ");
  EXPECT_EQ(r.err, "circspec: 5 of 5 frequencies left out: their values are not finite\n");
}

// Relative names are the run's: the layout from its directory, the
// records next to the layout, --output created there.
TEST(Circspec, RelativeNamesAreTakenFromTheRunsDirectory) {
  ArrayFiles files(SmallArray(false, {3}));
  const testsupport::Outcome r = RunWith({"--for", "vantor:5", "--output", "v.txt", "layout.txt"}, files.dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(files.dir.Read("v.txt"), RunWith({"--for", "vantor:5", files.layout}).out);
  EXPECT_FALSE(std::filesystem::exists("v.txt"));  // nothing where the test runs
  // A bad record, named as the layout names it: no output file.
  files.dir.Write("bad.txt", RingOfThree("none.txt"));
  const testsupport::Outcome bad = RunWith({"--output", "w.txt", "bad.txt"}, files.dir.path());
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "circspec: " + suite::OpenFailure("none.txt") + "\n");
  EXPECT_FALSE(std::filesystem::exists(files.dir.path() / "w.txt"));
}

// An --output that cannot be written is an error naming it.
TEST(Circspec, AFullOutputFileIsAnError) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ArrayFiles files(SmallArray(false, {3}));
  const testsupport::Outcome r = RunWith({"--output", "/dev/full", files.layout});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "circspec: " + textio::WriteFailure("/dev/full") + "\n");
}

// While standard error is a terminal a progress line follows the reading
// and is wiped at the end; otherwise standard error stays empty.
TEST(Circspec, ProgressLineOnlyOnATerminal) {
  ArrayFiles files(SmallArray(false, {3}));
  for (const bool terminal : {false, true}) {
    std::istringstream in;
    std::ostringstream out, err;
    suite::Invocation invocation;
    invocation.args = {"--for", "vantor:5", files.layout};
    invocation.stderr_is_terminal = terminal;
    ASSERT_EQ(suite::Invoke(kProgram, {in, out, err}, std::move(invocation)), 0) << err.str();
    EXPECT_FALSE(out.str().empty());
    if (terminal) {
      EXPECT_EQ(err.str().rfind("\rcircspec: 1 segments, 0:00:20 of record", 0), 0u) << err.str();
      EXPECT_EQ(err.str().substr(err.str().size() - 4), "\r\033[K");
    } else {
      EXPECT_EQ(err.str(), "");
    }
  }
}

}  // namespace
}  // namespace circspec
