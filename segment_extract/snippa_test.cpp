#include "suite/programs.h"

#include <gtest/gtest.h>

#include <string>

#include "testsupport/run_program.h"

namespace snippa {
namespace {

// A series of the values first, first + 1, ... with headers 0.5 and 1.25.
std::string Series(int count, int first = 1) {
  std::string text = std::to_string(count) + "\n0.5\n1.25\n";
  for (int i = 0; i < count; ++i) text += std::to_string(first + i) + "\n";
  return text;
}

// The expected output: count field, headers, values first..last.
std::string Segment(const std::string& count_field, int first, int last) {
  std::string text = count_field + "\n    0.5000\n    1.2500\n";
  for (int v = first; v <= last; ++v) {
    const std::string field = std::to_string(v) + ".0000";
    text += std::string(10 - field.size(), ' ') + field + "\n";
  }
  return text;
}

// Status 2 comes with one "snippa: " line on standard error, after the
// lines already written.
TEST(SnippaTest, SegmentsFieldsAndEarlyEnds) {
  struct Case {
    const char* what;
    std::string input, out;
    int status;
  } cases[] = {
      {"third segment", "3 100\n" + Series(1000), Segment("  100", 201, 300), 0},
      {"below 1 acts as 1", "0 100\n" + Series(1000), Segment("  100", 1, 100), 0},
      {"last segment", "10 100\n" + Series(1000), Segment("  100", 901, 1000), 0},
      {"length 0: whole series", "5 0\n" + Series(1000), Segment(" 1000", 1, 1000), 0},
      {"not shorter than the series", "2 1000\n" + Series(1000), Segment(" 1000", 1, 1000), 0},
      {"negative length: headers only", "3 -5\n" + Series(1000), Segment("   -5", 1, 0), 0},
      {"record spans lines", "3\n100\n" + Series(1000), Segment("  100", 201, 300), 0},
      {"blank line is a skipped value", "2 2\n5\n0.5\n1.25\n1\n\n2\n3\n", Segment("    2", 2, 3), 0},
      {"blank copied line passed over", "1 2\n5\n0.5\n1.25\n1\n\n2\n", Segment("    2", 1, 2), 0},
      {"line skipped whole, copied line gives its first number", "2 2\n5\n0.5\n1.25\n1 9\n2\n3 8\n4\n",
       Segment("    2", 3, 4), 0},
      {"free format", "1,2\n5\n0.5, h\n1.25\n1, and\n2 more\n", Segment("    2", 1, 2), 0},
      {"fields round or overflow to asterisks",
       "1 0\n4\n-1234.56789\n99999.99999\n3.14159\n12345678.9\n-2.5\n0.00004\n",
       "    4\n-1234.5679\n**********\n    3.1416\n**********\n   -2.5000\n    0.0000\n", 0},
      {"no input", "", "", 2},
      {"unreadable segment record", "one 2\n" + Series(5), "", 2},
      {"no second header", "1 2\n5\n0.5\n", "", 2},
      {"ends while skipping", "3 2\n" + Series(3), Segment("    2", 1, 0), 2},
      {"ends while copying", "2 2\n" + Series(3), Segment("    2", 3, 3), 2},
      // Segment 2 of length 2 starts after 2 values; the count promises 5,
      // but input ends after one value of the segment, which stays copied.
      {"input ends inside the segment", "2 2\n5\n0.5\n1.25\n1\n2\n3\n", Segment("    2", 3, 3), 2},
      {"unreadable value", "1 2\n5\n0.5\n1.25\n1\nx\n3\n", Segment("    2", 1, 1), 2},
      // 4294967292 lines to skip: wrapped to 32 bits it would be -4, and
      // the first values would be copied as if they were the segment.
      {"huge segment number", "2147483647 2\n" + Series(10), Segment("    2", 1, 0), 2},
  };
  for (const Case& c : cases) {
    const testsupport::Outcome r = testsupport::RunInProcess(kProgram, c.input);
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_EQ(r.out, c.out) << c.what;
    EXPECT_TRUE(c.status ? testsupport::IsOneDiagnosticLine(r.err, "snippa") : r.err.empty())
        << c.what << ": " << r.err;
  }
  // A count of 100000 does not fit its 5 columns.
  const testsupport::Outcome wide = testsupport::RunInProcess(kProgram, "1 0\n" + Series(100000));
  EXPECT_EQ(wide.status, 0);
  EXPECT_EQ(wide.out.substr(0, 6), "*****\n");
}

}  // namespace
}  // namespace snippa
