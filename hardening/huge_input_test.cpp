// Inputs at and one past the largest size a program handles, generated
// here rather than stored: 5,000,000 and 5,000,001 records.
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "hardening/support.h"
#include "log_resample/resampa.h"
#include "rms_eval/gauger.h"

namespace hardening {
namespace {

// Pairs "i 10" for i = 1 .. records, except that the last value is 1000.
std::string WritePairs(const TempDir& dir, long records) {
  const std::filesystem::path path = dir.path() / ("pairs_" + std::to_string(records) + ".d");
  std::ofstream f(path, std::ios::binary);
  std::string chunk;
  for (long i = 1; i <= records; ++i) {
    chunk += std::to_string(i);
    chunk += i == records ? " 1000\n" : " 10\n";
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

TEST(HugeInputTest, ResampaTakesFiveMillionPairs) {
  TempDir dir("resampa_5m");
  const std::string pairs = WritePairs(dir, 5000000);
  const Outcome o = RunOn(resampa::RunResampa, pairs + "\n5000000\n1000000\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  const std::vector<std::string> lines = Lines(o.out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "   1000000.0000000000        10.000000000000000     ");
  EXPECT_EQ(lines[4], "   5000000.0000000000        1000.0000000000000     ");  // the last pair counts
}

TEST(HugeInputTest, ResampaRefusesFiveMillionAndOnePairs) {
  TempDir dir("resampa_5m1");
  const std::string pairs = WritePairs(dir, 5000001);
  const Outcome o = RunOn(resampa::RunResampa, pairs + "\n5000000\n1000000\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  const std::vector<std::string> lines = Lines(o.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], " Program resampa");
  EXPECT_EQ(lines[1].find(" ERROR(ndata>nmax) in rmkd:"), 0u) << lines[1];
  EXPECT_NE(lines[1].find("5000001"), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find("5000000"), std::string::npos) << lines[1];
}

// A column file of `records` lines "t u 0 0", u alternating +1 / -1.
std::string WriteColumns(const TempDir& dir, long records) {
  const std::filesystem::path path = dir.path() / ("columns_" + std::to_string(records) + ".d");
  std::ofstream f(path, std::ios::binary);
  std::string chunk;
  for (long i = 1; i <= records; ++i) {
    chunk += std::to_string(i);
    chunk += i % 2 == 0 ? " 1 0 0\n" : " -1 0 0\n";
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

// Windows of 1,000,000 samples every 1,000,000: five of them fill the
// record exactly, the last ending at its last sample.
std::string GaugerInput(const std::string& record, const std::string& result) {
  return "1000000\n1\n1\n0\n0\nu\n" + record + "\n" + result + "\n";
}

TEST(HugeInputTest, GaugerTakesFiveMillionSamples) {
  TempDir dir("gauger_5m");
  const std::string result = (dir.path() / "rms.d").string();
  const Outcome o = RunOn(gauger::RunGauger, GaugerInput(WriteColumns(dir, 5000000), result));
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "");
  const std::vector<std::string> lines = Lines(ReadFile(result));
  ASSERT_EQ(lines.size(), 6u);  // the parameter line and five windows
  // The fifth window ends at the 5,000,000th sample; detrending leaves
  // its RMS a hair above the record's.
  EXPECT_EQ(lines[5].substr(0, 21), "   4000001.0000000000");
  EXPECT_NEAR(std::stod(lines[5].substr(21)), 1.0, 1e-5) << lines[5];
}

TEST(HugeInputTest, GaugerRefusesFiveMillionAndOneSamples) {
  TempDir dir("gauger_5m1");
  const std::string result = (dir.path() / "rms.d").string();
  const Outcome o = RunOn(gauger::RunGauger, GaugerInput(WriteColumns(dir, 5000001), result));
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out, " ERROR: record longer than the sample store of     5000000 samples\n");
  EXPECT_FALSE(std::filesystem::exists(result));  // refused before the result file is made
}

}  // namespace
}  // namespace hardening
