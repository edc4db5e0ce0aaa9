#include "segment_extract/snippa.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace snippa {
namespace {

struct RunResult {
  int status;
  std::string out;
  std::string err;
};

RunResult RunSnippaOn(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out, err;
  int status = RunSnippa(in, out, err);
  return {status, out.str(), err.str()};
}

// A series file of the values first, first + 1, ..., with headers 0.5 and
// 1.25.
std::string Series(int count, int first = 1) {
  std::string text = std::to_string(count) + "\n0.5\n1.25\n";
  for (int i = 0; i < count; ++i) text += std::to_string(first + i) + "\n";
  return text;
}

// The expected output: count line, headers, values first..last.
std::string Segment(const std::string& count_field, int first, int last) {
  std::string text = count_field + "\n    0.5000\n    1.2500\n";
  for (int v = first; v <= last; ++v) {
    std::string field = std::to_string(v) + ".0000";
    text += std::string(10 - field.size(), ' ') + field + "\n";
  }
  return text;
}

TEST(SnippaTest, ChoosesTheSegment) {
  struct Case {
    const char* params;
    std::string want;
  } cases[] = {
      {"3 100", Segment("  100", 201, 300)},
      {"1 100", Segment("  100", 1, 100)},
      {"0 100", Segment("  100", 1, 100)},    // below 1 acts as 1
      {"10 100", Segment("  100", 901, 1000)},
      {"5 0", Segment(" 1000", 1, 1000)},     // 0: the whole series
      {"2 1000", Segment(" 1000", 1, 1000)},  // as long as the series
      {"3 -5", Segment("   -5", 1, 0)},       // negative: headers only
      {"3\n100", Segment("  100", 201, 300)}, // a record may span lines
  };
  for (const Case& c : cases) {
    RunResult r = RunSnippaOn(std::string(c.params) + "\n" + Series(1000));
    EXPECT_EQ(r.status, 0) << c.params;
    EXPECT_EQ(r.out, c.want) << c.params;
    EXPECT_EQ(r.err, "") << c.params;
  }
}

TEST(SnippaTest, FixedFieldsRoundOrOverflowToAsterisks) {
  RunResult r = RunSnippaOn("1 0\n4\n-1234.56789\n99999.99999\n3.14159\n12345678.9\n-2.5\n0.00004\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "    4\n"
            "-1234.5679\n"
            "**********\n"  // 100000.0000 needs 11 columns
            "    3.1416\n"
            "**********\n"
            "   -2.5000\n"
            "    0.0000\n");

  // A whole series of 100000 values cannot show its count in 5 columns.
  RunResult big = RunSnippaOn("1 0\n" + Series(100000));
  EXPECT_EQ(big.status, 0);
  EXPECT_EQ(big.out.substr(0, 6), "*****\n");
  EXPECT_EQ(big.out.size(), 6 + 11 * (2 + 100000u));
}

TEST(SnippaTest, SkippingCountsLinesReadingTakesNumbers) {
  struct Case {
    const char* what;
    const char* input;
    const char* want;
  } cases[] = {
      // The blank line is one of the two skipped "values".
      {"blank line skipped", "2 2\n5\n0\n0\n1\n\n2\n3\n4\n", "    2\n    0.0000\n    0.0000\n    2.0000\n    3.0000\n"},
      // A blank line among the copied values is passed over.
      {"blank line copied", "1 2\n5\n0\n0\n1\n\n2\n3\n", "    2\n    0.0000\n    0.0000\n    1.0000\n    2.0000\n"},
      // A skipped line counts once however many numbers it holds; a copied
      // one gives its first number only.
      {"two numbers per line", "2 2\n5\n0\n0\n1 9\n2\n3 8\n4\n", "    2\n    0.0000\n    0.0000\n    3.0000\n    4.0000\n"},
      // Values separated by commas, text after the value ignored.
      {"free format", "1,2\n5\n0, h\n0\n1, and\n2 more\n", "    2\n    0.0000\n    0.0000\n    1.0000\n    2.0000\n"},
  };
  for (const Case& c : cases) {
    RunResult r = RunSnippaOn(c.input);
    EXPECT_EQ(r.status, 0) << c.what;
    EXPECT_EQ(r.out, c.want) << c.what;
  }
}

TEST(SnippaTest, OutputFeedsBackIntoSnippa) {
  // Cut segment 3 of 20, then cut segment 2 of 2 out of that.
  RunResult first = RunSnippaOn("3 4\n" + Series(20));
  RunResult second = RunSnippaOn("2 2\n" + first.out);
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.out, Segment("    2", 11, 12));
}

TEST(SnippaTest, EarlyEndIsARuntimeErrorAfterTheLinesWritten) {
  struct Case {
    const char* what;
    std::string input;
    std::string out;
  } cases[] = {
      {"no input", "", ""},
      {"no series length", "1 2\n", ""},
      {"unreadable segment record", "one 2\n" + Series(5), ""},
      {"no second header", "1 2\n5\n0.5\n", ""},
      {"ends while skipping", "3 2\n" + Series(3), Segment("    2", 1, 0)},
      {"ends while copying", "2 2\n" + Series(3), Segment("    2", 3, 3)},
      {"unreadable value", "1 2\n5\n0.5\n1.25\n1\nx\n3\n", Segment("    2", 1, 1)},
      // (segno - 1) * seglen = 4294967292 lines: wrapped to 32 bits it would
      // be -4, and the first values would be copied as if they were there.
      {"huge segment number", "2147483647 2\n" + Series(10), Segment("    2", 1, 0)},
  };
  for (const Case& c : cases) {
    RunResult r = RunSnippaOn(c.input);
    EXPECT_EQ(r.status, 2) << c.what;
    EXPECT_EQ(r.out, c.out) << c.what;
    EXPECT_EQ(r.err.rfind("snippa: ", 0), 0u) << c.what << ": " << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.what;
  }
}

}  // namespace
}  // namespace snippa
