// Inputs at and one past the largest size a program handles, generated
// here rather than stored: 5,000,000 and 5,000,001 records.
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "rms_eval/gauger.h"
#include "suite/programs.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"

namespace hardening {
namespace {

using testsupport::Lines;
using testsupport::Outcome;
using testsupport::TempDir;

// Writes `records` lines "i<tail(i)>", i = 1, 2, ..., to `stem`_<records>.d
// in chunks of a megabyte; returns the file's path.
template <typename Tail>
std::string WriteNumberedLines(const TempDir& dir, const std::string& stem, long records, Tail tail) {
  const std::filesystem::path path = dir.path() / (stem + "_" + std::to_string(records) + ".d");
  std::ofstream f(path, std::ios::binary);
  std::string chunk;
  for (long i = 1; i <= records; ++i) {
    chunk += std::to_string(i);
    chunk += tail(i);
    if (chunk.size() > (1 << 20)) {
      f << chunk;
      chunk.clear();
    }
  }
  f << chunk;
  f.close();
  EXPECT_TRUE(f.good());
  return path.string();
}

// Pairs "i 10" for i = 1 .. records, except that the last value is 1000.
std::string WritePairs(const TempDir& dir, long records) {
  return WriteNumberedLines(dir, "pairs", records, [records](long i) { return i == records ? " 1000\n" : " 10\n"; });
}

// The standard output lines of resampa on `records` pairs and a grid of
// five points 1,000,000 apart; the run itself must end normally.
std::vector<std::string> ResampaLines(long records) {
  TempDir dir("hardening_resampa_" + std::to_string(records));
  const Outcome o = testsupport::RunInProcess(resampa::kProgram, WritePairs(dir, records) + "\n5000000\n1000000\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  return Lines(o.out);
}

TEST(HugeInputTest, ResampaTakesFiveMillionPairs) {
  const std::vector<std::string> lines = ResampaLines(5000000);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "   1000000.0000000000        10.000000000000000     ");
  EXPECT_EQ(lines[4], "   5000000.0000000000        1000.0000000000000     ");  // the last pair counts
}

TEST(HugeInputTest, ResampaRefusesFiveMillionAndOnePairs) {
  const std::vector<std::string> lines = ResampaLines(5000001);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], " Program resampa");
  EXPECT_EQ(lines[1].find(" ERROR(ndata>nmax) in rmkd:"), 0u) << lines[1];
  EXPECT_NE(lines[1].find("5000001"), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find("5000000"), std::string::npos) << lines[1];
}

// A column file of `records` lines "t u 0 0", u alternating +1 / -1.
std::string WriteColumns(const TempDir& dir, long records) {
  return WriteNumberedLines(dir, "columns", records, [](long i) { return i % 2 == 0 ? " 1 0 0\n" : " -1 0 0\n"; });
}

// What gauger leaves on a column file of `records` samples: its standard
// output, and its result file if it made one. The run must end normally.
// Windows of 1,000,000 samples every 1,000,000: five of them fill a
// 5,000,000-sample record exactly, the last ending at its last sample.
std::pair<std::string, std::optional<std::string>> GaugerOnColumns(long records) {
  TempDir dir("hardening_gauger_" + std::to_string(records));
  const Outcome o = testsupport::RunInProcess(
      gauger::kProgram, "1000000\n1\n1\n0\n0\nu\n" + WriteColumns(dir, records) + "\n" + (dir / "rms.d") + "\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  if (!std::filesystem::exists(dir / "rms.d")) return {o.out, std::nullopt};
  return {o.out, dir.Read("rms.d")};
}

TEST(HugeInputTest, GaugerTakesFiveMillionSamples) {
  const auto [out, result] = GaugerOnColumns(5000000);
  EXPECT_EQ(out, "");
  ASSERT_TRUE(result.has_value());
  const std::vector<std::string> lines = Lines(*result);
  ASSERT_EQ(lines.size(), 6u);  // the parameter line and five windows
  // The fifth window ends at the 5,000,000th sample; detrending leaves
  // its RMS a hair above the record's.
  EXPECT_EQ(lines[5].substr(0, 21), "   4000001.0000000000");
  EXPECT_NEAR(std::stod(lines[5].substr(21)), 1.0, 1e-5) << lines[5];
}

TEST(HugeInputTest, GaugerRefusesFiveMillionAndOneSamples) {
  const auto [out, result] = GaugerOnColumns(5000001);
  EXPECT_EQ(out, " ERROR: record longer than the sample store of     5000000 samples\n");
  EXPECT_FALSE(result.has_value());  // refused before the result file is made
}

}  // namespace
}  // namespace hardening
