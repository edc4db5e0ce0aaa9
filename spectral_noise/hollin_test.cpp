#include "spectral_noise/hollin.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "textio/output.h"

namespace hollin {
namespace {

struct RunResult {
  int status;
  std::string out;
  std::string err;
};

RunResult RunHollinOn(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out, err;
  int status = RunHollin(in, out, err);
  return {status, out.str(), err.str()};
}

// One record in text, one group (abscissa, Re, Im, fourth) per line.
// `re` lists the real parts of G0, G1, ...; imaginary parts are 0.
std::string Record(float freq, const std::vector<std::string>& re) {
  std::string text;
  for (size_t g = 0; g < re.size(); ++g) {
    text += (g == 0 ? std::to_string(freq) : "9") + " " + re[g] + " 0 5\n";
  }
  return text;
}

const std::vector<std::string> kMode1Example = {"1", "1", "0.5", "1", "1", "0.1", "1"};
const std::vector<std::string> kMode2Example = {"1",   "1",   "0.25", "1",    "0.5", "0.05", "0.5", "1",
                                                "0",   "1",   "1",    "0.25", "0.5", "0.5",  "0.05"};
// Every G equal to 1: epsilon is 0 and nothing is written.
const std::vector<std::string> kAllOnes(7, "1");

std::string ExampleLine(float freq) {
  std::string line;
  textio::FreeLine(&line).Add(freq).Add(0.1f / ((1.0f - 0.1f) + 1.0f)).End();
  return line;
}

TEST(HollinTest, WorkedExamplesGiveTheSameLineInBothModes) {
  RunResult r1 = RunHollinOn("1 2\n" + Record(0.75f, kMode1Example));
  RunResult r2 = RunHollinOn("2 4\n" + Record(0.75f, kMode2Example));
  EXPECT_EQ(r1.status, 0);
  EXPECT_EQ(r1.out, "  0.750000000       5.26315793E-02\n");
  EXPECT_EQ(r2.status, 0);
  EXPECT_EQ(r2.out, r1.out);
  EXPECT_EQ(r1.err + r2.err, "");
}

TEST(HollinTest, OutputRuleSkipsInvalidAndNonPositiveRecords) {
  std::vector<std::string> g1_zero = kMode1Example;
  g1_zero[1] = "0";
  std::vector<std::string> negative = kMode1Example;
  negative[5] = "-0.5";  // Z = -0.5, E = 1.5
  std::vector<std::string> nan_ratio = kMode1Example;
  nan_ratio[2] = "NaN";
  std::vector<std::string> zero_e(7, "1");
  zero_e[5] = "3";  // E = 2 - 3 + 1 = 0

  struct Case {
    const char* what;
    std::vector<std::string> record;
  } cases[] = {
      {"epsilon 0", kAllOnes}, {"zero divisor G1", g1_zero}, {"negative epsilon", negative},
      {"NaN epsilon", nan_ratio}, {"zero denominator", zero_e},
  };
  for (const Case& c : cases) {
    // The skipped record sits between two good ones: processing goes on.
    RunResult r = RunHollinOn("1 2\n" + Record(1.0f, kMode1Example) + Record(2.0f, c.record) +
                      Record(3.0f, kMode1Example));
    EXPECT_EQ(r.status, 0) << c.what;
    EXPECT_EQ(r.out, ExampleLine(1.0f) + ExampleLine(3.0f)) << c.what;
  }
}

TEST(HollinTest, EndOfDataStopsQuietly) {
  struct Case {
    const char* what;
    std::string tail;
  } cases[] = {
      {"no more records", ""},
      {"partial record", "7 1 0 0 7 1 0\n"},
      {"unreadable value", "7 1 0 0 7 oops 0 0\n" + Record(4.0f, kMode1Example)},
  };
  for (const Case& c : cases) {
    RunResult r = RunHollinOn("1 2\n" + Record(1.0f, kMode1Example) + c.tail);
    EXPECT_EQ(r.status, 0) << c.what;
    EXPECT_EQ(r.out, ExampleLine(1.0f)) << c.what;
    EXPECT_EQ(r.err, "") << c.what;
  }
}

TEST(HollinTest, UnknownModeIsRefusedAtStart) {
  for (const char* mode : {"0", "3", "-1"}) {
    RunResult r = RunHollinOn(std::string(mode) + " 2\n" + Record(1.0f, kMode1Example));
    std::string want;
    textio::FreeLine(&want).Add("ERROR: no equation for mode ").Add(std::stoi(mode)).End();
    EXPECT_EQ(r.status, 0) << mode;
    EXPECT_EQ(r.out, want) << mode;
    EXPECT_EQ(r.err, "") << mode;
  }
  EXPECT_EQ(RunHollinOn("3 2\n").out, " ERROR: no equation for mode            3\n");
}

TEST(HollinTest, UnreadableFirstRecordIsARuntimeError) {
  for (const char* input : {"", "1\n", "1.5 2\n", "one 2\n"}) {
    RunResult r = RunHollinOn(input);
    EXPECT_NE(r.status, 0) << input;
    EXPECT_EQ(r.out, "") << input;
    EXPECT_EQ(r.err.rfind("hollin: ", 0), 0u) << input;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << input;
  }
}

}  // namespace
}  // namespace hollin
