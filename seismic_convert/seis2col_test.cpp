#include "seismic_convert/seis2col.h"
#include "suite/programs.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "suite/options.h"
#include "testsupport/run_program.h"
#include "testsupport/seismic_traces.h"
#include "testsupport/temp_dir.h"

namespace seis2col {
namespace {

using seisio::Trace;
using seisio::testing::Counts;
using seisio::testing::kNewYear2020;
using seisio::testing::MakeTrace;
using ::testing::HasSubstr;
using testsupport::Lines;
using testsupport::RunInProcess;
using testsupport::TempDir;

// A station of three channels at 100 Hz from 2020-01-01T00:00:00.
std::vector<Trace> Station(size_t n = 4) {
  std::vector<Trace> t = {MakeTrace("HHZ", kNewYear2020, 0.01, Counts(n, 1)),
                          MakeTrace("HHE", kNewYear2020, 0.01, Counts(n, 2)),
                          MakeTrace("HHN", kNewYear2020, 0.01, Counts(n, 3))};
  return t;
}

void Save(const TempDir& dir, const std::string& name, const std::string& bytes) {
  std::ofstream(dir / name, std::ios::binary) << bytes;
}

testsupport::Outcome Convert(const TempDir& dir, std::vector<std::string> args) {
  return RunInProcess(kProgram, "", {std::move(args), dir.path()});
}

TEST(Seis2colTest, WritesTimeAndTheThreeComponents) {
  TempDir dir("seis2col_text");
  const std::vector<Trace> t = {MakeTrace("HHN", kNewYear2020, 0.01, {3, -1, 0.5}),
                                MakeTrace("HHZ", kNewYear2020, 0.01, {10, 12, 123456789}),
                                MakeTrace("HHE", kNewYear2020, 0.01, {-2, 0, 1e-12})};
  Save(dir, "st.mseed", seisio::testing::MiniSeedBytes(t));
  const testsupport::Outcome o = Convert(dir, {"st.mseed"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out,
            "   0.00000000       10.0000000      -2.00000000       3.00000000    \n"
            "   1.00000000E-02   12.0000000       0.00000000      -1.00000000    \n"
            "   2.00000000E-02   123456789.       1.00000000E-12  0.500000000    \n");
}

TEST(Seis2colTest, EveryFormOfInputGivesTheSameText) {
  TempDir dir("seis2col_forms");
  const std::vector<Trace> t = Station(500);
  Save(dir, "st.mseed", seisio::testing::MiniSeedBytes(t));
  Save(dir, "u.sac", seisio::testing::SacBytes(t[0]));
  Save(dir, "e.sac", seisio::testing::SacBytes(t[1]));
  Save(dir, "n.mseed", seisio::testing::MiniSeedBytes({t[2]}, {seisio::MiniSeedEncoding::kFloat64, 512}));
  const testsupport::Outcome reference = Convert(dir, {"st.mseed"});
  ASSERT_EQ(reference.status, 0) << reference.err;
  ASSERT_EQ(Lines(reference.out).size(), 500u);
  const std::vector<std::vector<std::string>> forms = {
      {"u.sac,e.sac,n.mseed"}, {"u.sac", "e.sac", "n.mseed"}, {"--", "u.sac", "e.sac", "n.mseed"}};
  for (const auto& args : forms) {
    const testsupport::Outcome o = Convert(dir, args);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, reference.out) << args[0];
  }
}

TEST(Seis2colTest, EpochTimesAndDigits) {
  TempDir dir("seis2col_epoch");
  // 0.25 ms after 2020-01-01T00:00:00 at 200 Hz: epoch times take 14
  // digits, to show a tenth of the 5 ms interval (0.00025 shows as 0.0003,
  // a hundredth of a sample off).
  std::vector<Trace> t = Station(3);
  for (Trace& c : t) {
    c.start_ns += 250'000;
    c.interval = 0.005;
  }
  Save(dir, "st.mseed", seisio::testing::MiniSeedBytes(t));
  const struct {
    std::vector<std::string> args;
    std::string first_line;
  } cases[] = {
      {{"--epoch", "st.mseed"}, "   1577836800.0003       -137.000000      -5.00000000       46.0000000    "},
      {{"--epoch", "--digits", "3", "st.mseed"}, "   1577836800.0003       -137.      -5.00       46.0    "},
      {{"--digits=17", "st.mseed"},
       "   0.0000000000000000       -137.00000000000000       -5.0000000000000000        46.000000000000000     "},
      // Fewer digits than the counts have round them.
      {{"--digits", "2", "st.mseed"}, "   0.0000      -1.4E+02  -5.0       46.    "},
  };
  for (const auto& c : cases) {
    const testsupport::Outcome o = Convert(dir, c.args);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Lines(o.out).at(0), c.first_line) << c.args[0] << " " << c.args[1];
  }
  const testsupport::Outcome epoch = Convert(dir, {"--epoch", "st.mseed"});
  EXPECT_EQ(Lines(epoch.out).at(2).substr(0, 22), "   1577836800.0103    ");
}

TEST(TimeDigitsTest, ShowTheLargestTimeToATenthOfTheInterval) {
  const struct {
    double largest;
    double interval;
    int digits;
    int expected;
  } cases[] = {
      {86400.0, 0.01, 9, 9},      // 5 + 3 = 8: the default suffices
      {1.6e9, 0.01, 9, 13},       // epoch at 100 Hz
      {1.6e9, 0.001, 9, 14},      // epoch at 1 kHz
      {1.6e9, 1.0, 9, 11},        // epoch at 1 Hz
      {864000.0, 0.0005, 9, 11},  // ten days at 2 kHz: 6 + 5
      {0.04, 0.01, 3, 4},         // "0.040": below 1, one digit before the point
      {9.99, 20.0, 9, 9},         // an interval of 20 s needs no decimal
      {1.6e9, 1e-9, 9, 17},       // held at 17
      {0.0, 0.01, 17, 17},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TimeDigits(c.largest, c.interval, c.digits), c.expected) << c.largest << " " << c.interval;
  }
}

TEST(Seis2colTest, OutputFileIsCreatedOnlyAfterTheRecordIsRead) {
  TempDir dir("seis2col_output");
  Save(dir, "st.mseed", seisio::testing::MiniSeedBytes(Station(10)));
  const testsupport::Outcome ok = Convert(dir, {"-o", "out.txt", "st.mseed"});
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(ok.out, "");
  EXPECT_EQ(Lines(dir.Read("out.txt")).size(), 10u);

  dir.Write("kept.txt", "old contents\n");
  const testsupport::Outcome failed = Convert(dir, {"--output", "kept.txt", "missing.mseed"});
  EXPECT_EQ(failed.status, 2);
  EXPECT_EQ(dir.Read("kept.txt"), "old contents\n");
}

TEST(Seis2colTest, FailuresAreOneLineNamingTheFile) {
  TempDir dir("seis2col_errors");
  std::vector<Trace> t = Station(100);
  Save(dir, "st.mseed", seisio::testing::MiniSeedBytes(t));
  Save(dir, "u.sac", seisio::testing::SacBytes(t[0]));
  Save(dir, "e.sac", seisio::testing::SacBytes(t[1]));
  Trace late = t[2];
  late.start_ns += 6'000'000;  // 0.6 sample late
  Save(dir, "late_n.sac", seisio::testing::SacBytes(late));
  Trace gap_second = t[0];
  gap_second.start_ns += 2'000'000'000;  // 1 s gap after the first 100 samples
  Save(dir, "gappy.mseed", seisio::testing::MiniSeedBytes({t[0], gap_second, t[1], t[2]}));
  dir.Write("columns.txt", " 0.0 1.0 2.0 3.0\n");
  std::filesystem::create_directory(dir.path() / "adir");

  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"missing.mseed"}, "seis2col: cannot open the input file \"missing.mseed\"\n"},
      {{"adir"}, "seis2col: cannot open the input file \"adir\"\n"},
      {{"columns.txt"}, "seis2col: columns.txt: neither SAC"},
      {{"u.sac"},
       "seis2col: u.sac: no channel whose code ends in E (the east (E) component); the file holds XX.ST01.00.HHZ (a "
       "file of one channel is given as one of three, u,e,n)\n"},
      {{"u.sac,e.sac,late_n.sac"},
       "seis2col: late_n.sac: XX.ST01.00.HHN (late_n.sac) starts at 2020-01-01T00:00:00.006000, XX.ST01.00.HHZ "
       "(u.sac) at 2020-01-01T00:00:00.000000: 0.006 s apart, not within half a sample (0.005 s)\n"},
      {{"e.sac", "u.sac", "st.mseed"}, "seis2col: e.sac: channel XX.ST01.00.HHE is the east (E) component"},
      {{"gappy.mseed"},
       "seis2col: gappy.mseed: XX.ST01.00.HHZ: gap in the samples: they end at 2020-01-01T00:00:00.990000 (last "
       "sample) and go on at 2020-01-01T00:00:02.000000\n"},
      {{"u.sac", "e.sac"},
       "seis2col: give one miniSEED file of the station's channels, or three files u,e,n (2 given)"},
      {{"u.sac,e.sac"}, "(2 given)"},
      {{"u.sac,,e.sac"}, "seis2col: an empty file name in the list u,e,n (see --help)\n"},
      {{}, "(0 given)"},
      {{"--digits", "0", "st.mseed"}, "seis2col: --digits: expected an integer from 1 to 17, got '0'\n"},
      {{"--digits", "x", "st.mseed"}, "--digits: expected an integer from 1 to 17, got 'x'"},
      {{"--bogus", "st.mseed"}, "unknown option '--bogus'"},
  };
  for (const auto& c : cases) {
    const testsupport::Outcome o = Convert(dir, c.args);
    EXPECT_EQ(o.status, 2) << c.message;
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(o.err, "seis2col")) << o.err;
    EXPECT_THAT(o.err, HasSubstr(c.message));
    EXPECT_EQ(o.out, "") << c.message;
  }
}

TEST(Seis2colTest, ChannelsEndingApartWriteWhatAllHoldAndSaySo) {
  TempDir dir("seis2col_lengths");
  std::vector<Trace> t = Station(50);
  t[1].samples.resize(47);
  Save(dir, "st.mseed", seisio::testing::MiniSeedBytes(t));
  const testsupport::Outcome o = Convert(dir, {"st.mseed"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(Lines(o.out).size(), 47u);
  EXPECT_EQ(o.err, "seis2col: the channels differ in length (u 50, e 47, n 50 samples): the first 47 are written\n");
}

TEST(Seis2colTest, SacThroughSac2mseedGivesTheSameText) {
  const std::string sac2mseed = seisio::testing::FindTool("sac2mseed");
  const std::string mseed2sac = seisio::testing::FindTool("mseed2sac");
  if (sac2mseed.empty() || mseed2sac.empty()) {
    GTEST_SKIP() << "sac2mseed or mseed2sac is not installed (apt-get install sac2mseed mseed2sac): untested";
  }
  TempDir dir("seis2col_interop");
  const std::vector<Trace> t = Station(3000);
  Save(dir, "u.sac", seisio::testing::SacBytes(t[0]));
  Save(dir, "e.sac", seisio::testing::SacBytes(t[1]));
  Save(dir, "n.sac", seisio::testing::SacBytes(t[2]));
  Save(dir, "st.mseed", seisio::testing::MiniSeedBytes(t));
  const std::string cd = "cd '" + dir.path().string() + "' && ";
  // The three SAC files into one miniSEED file, Steim 2 of the unscaled
  // counts; the miniSEED file into big-endian SAC files.
  ASSERT_EQ(std::system((cd + sac2mseed + " -e 11 -s 1 -o conv.mseed u.sac e.sac n.sac >log 2>&1").c_str()), 0);
  ASSERT_EQ(std::system((cd + "mkdir sac && cd sac && " + mseed2sac + " -f 4 ../st.mseed >log 2>&1").c_str()), 0);

  const testsupport::Outcome from_sac = Convert(dir, {"u.sac,e.sac,n.sac"});
  ASSERT_EQ(from_sac.status, 0) << from_sac.err;
  const testsupport::Outcome converted = Convert(dir, {"conv.mseed"});
  EXPECT_EQ(converted.status, 0) << converted.err;
  EXPECT_EQ(converted.out, from_sac.out);
  const std::string stem = "sac/XX.ST01.00.HH";
  const std::string tail = ".D.2020.001.000000.SAC";
  const testsupport::Outcome back = Convert(dir, {stem + "Z" + tail, stem + "E" + tail, stem + "N" + tail});
  EXPECT_EQ(back.status, 0) << back.err;
  EXPECT_EQ(back.out, from_sac.out);
}

}  // namespace
}  // namespace seis2col
