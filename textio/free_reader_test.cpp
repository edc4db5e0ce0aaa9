#include "textio/free_reader.h"

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "textio/names.h"
#include "textio/require.h"

namespace textio {
namespace {

// A FreeReader over a string of its own, read as a file of that content.
struct TextStream {
  std::istringstream in;
};
class TextReader : private TextStream, public FreeReader {
 public:
  explicit TextReader(const std::string& text) : TextStream{std::istringstream(text)}, FreeReader(in) {}
};

TEST(FreeReaderTest, EachReadStartsOnANewLineAndDropsTheRest) {
  TextReader r("1 2 3\n4 5\n\n\n6\n");
  float a = 0, b = 0;
  ASSERT_TRUE(r.Read({a}).ok());
  EXPECT_EQ(a, 1);
  ASSERT_TRUE(r.Read({a, b}).ok());  // 2 and 3 were dropped with their line
  EXPECT_EQ(a, 4);
  EXPECT_EQ(b, 5);
  ASSERT_TRUE(r.Read({a}).ok());  // blank lines are passed over
  EXPECT_EQ(a, 6);
  EXPECT_EQ(r.line_number(), 5);
  ReadResult end = r.Read({a});
  EXPECT_EQ(end.status, ReadStatus::kEnd);
  EXPECT_EQ(a, 6);
}

TEST(FreeReaderTest, ARecordContinuesOnFollowingLines) {
  TextReader r("1\n\n2,\n3 tail ignored\n9\n");
  int32_t i = 0;
  double d = 0;
  float f = 0;
  ASSERT_TRUE(r.Read({i, d, f}).ok());
  EXPECT_EQ(i, 1);
  EXPECT_EQ(d, 2.0);
  EXPECT_EQ(f, 3.0f);
  ASSERT_TRUE(r.Read({f}).ok());
  EXPECT_EQ(f, 9.0f);
}

TEST(FreeReaderTest, SeparatorsNullValuesRepeatsAndSlash) {
  struct Case {
    const char* input;
    ReadStatus status;
    float expected[4];  // targets start at -1
  };
  const Case cases[] = {
      {"1\t2,3 ,  4\n", ReadStatus::kDone, {1, 2, 3, 4}},
      {"1\r\n2 3 4\r\n", ReadStatus::kDone, {1, 2, 3, 4}},  // CR is a separator
      {"1,,3,4\n", ReadStatus::kDone, {1, -1, 3, 4}},       // null value
      {"1, ,3,4\n", ReadStatus::kDone, {1, -1, 3, 4}},
      {",2,3,4\n", ReadStatus::kDone, {-1, 2, 3, 4}},  // comma opening a read
      {"1\n,2 3\n", ReadStatus::kDone, {1, -1, 2, 3}},
      {"1 2 /\n5 6\n", ReadStatus::kDone, {1, 2, -1, -1}},  // slash stops the read
      {"1 2/3 4\n", ReadStatus::kDone, {1, 2, -1, -1}},
      {"3*7 8\n", ReadStatus::kDone, {7, 7, 7, 8}},
      {"2*,5,6\n", ReadStatus::kDone, {-1, -1, 5, 6}},  // r* is r null values
      {"1 2*0.5 9 10\n", ReadStatus::kDone, {1, 0.5, 0.5, 9}},
      {"1 2\n", ReadStatus::kEnd, {1, 2, -1, -1}},
      {"1 x 3 4\n", ReadStatus::kUnreadable, {1, -1, -1, -1}},
      {"1 2 3 4e\n", ReadStatus::kUnreadable, {1, 2, 3, -1}},
      {"", ReadStatus::kEnd, {-1, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    TextReader r(c.input);
    float v[4] = {-1, -1, -1, -1};
    ReadResult res = r.Read({v[0], v[1], v[2], v[3]});
    EXPECT_EQ(res.status, c.status) << c.input;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(v[i], c.expected[i]) << c.input << " item " << i;
  }
}

// Every numeric read of the reader: Read() into float, double or int32_t
// targets, and the array reads ReadFloats() and ReadDoubles().
enum class NumericRead { kFloatTargets, kDoubleTargets, kIntTargets, kFloats, kDoubles };
constexpr struct {
  NumericRead how;
  const char* name;
} kNumericReads[] = {{NumericRead::kFloatTargets, "Read(float)"},
                     {NumericRead::kDoubleTargets, "Read(double)"},
                     {NumericRead::kIntTargets, "Read(int32_t)"},
                     {NumericRead::kFloats, "ReadFloats"},
                     {NumericRead::kDoubles, "ReadDoubles"}};

// Three targets of the chosen kind, keeping their values from one read to
// the next as a program's variables do.
class NumericTargets {
 public:
  explicit NumericTargets(NumericRead how) : how_(how) {}

  ReadResult ReadFrom(FreeReader& r) {
    switch (how_) {
      case NumericRead::kFloatTargets:
        return r.Read({f_[0], f_[1], f_[2]});
      case NumericRead::kDoubleTargets:
        return r.Read({d_[0], d_[1], d_[2]});
      case NumericRead::kIntTargets:
        return r.Read({i_[0], i_[1], i_[2]});
      case NumericRead::kFloats:
        return r.ReadFloats(f_);
      case NumericRead::kDoubles:
        return r.ReadDoubles(d_);
    }
    return {};
  }

  double value(int k) const {
    switch (how_) {
      case NumericRead::kFloatTargets:
      case NumericRead::kFloats:
        return f_[k];
      case NumericRead::kDoubleTargets:
      case NumericRead::kDoubles:
        return d_[k];
      case NumericRead::kIntTargets:
        return i_[k];
    }
    return 0;
  }

 private:
  NumericRead how_;
  float f_[3] = {-7, -7, -7};
  double d_[3] = {-7, -7, -7};
  int32_t i_[3] = {-7, -7, -7};
};

// Reads of three numbers, each case through every numeric read. The
// targets start at -7; where a case has two reads, the first one fills
// them and the second shows what a null value or a slash leaves.
TEST(FreeReaderTest, QuotedTokensNullValuesAndSlashInEveryNumericRead) {
  struct Case {
    const char* input;
    int reads;
    ReadStatus status;   // of the last read
    double expected[3];  // after the last read
    const char* text;    // the offending token, as written
  };
  const Case cases[] = {
      // A quoted token is text, never a number.
      {"'3' 4 5\n", 1, ReadStatus::kUnreadable, {-7, -7, -7}, "'3'"},
      {"1 \"2\" 3\n", 1, ReadStatus::kUnreadable, {1, -7, -7}, "\"2\""},
      {"1\n2,'3'\n", 1, ReadStatus::kUnreadable, {1, 2, -7}, "'3'"},
      {"'2*5' 1 1\n", 1, ReadStatus::kUnreadable, {-7, -7, -7}, "'2*5'"},  // no repeat either
      {"'' 1 1\n", 1, ReadStatus::kUnreadable, {-7, -7, -7}, "''"},
      {"1 '3\n", 1, ReadStatus::kUnreadable, {1, -7, -7}, "'3"},  // unclosed at the line end
      // Null values and a slash leave their targets as they were.
      {"1,,3\n", 1, ReadStatus::kDone, {1, -7, 3}, ""},
      {",2,3\n", 1, ReadStatus::kDone, {-7, 2, 3}, ""},
      {"2*,3\n", 1, ReadStatus::kDone, {-7, -7, 3}, ""},
      {"1 2*\n", 1, ReadStatus::kDone, {1, -7, -7}, ""},
      {"1 /\n", 1, ReadStatus::kDone, {1, -7, -7}, ""},
      {"4 5 6\n,,9\n", 2, ReadStatus::kDone, {4, 5, 9}, ""},
      {"4 5 6\n,8\n9\n", 2, ReadStatus::kDone, {4, 8, 9}, ""},
      {"4 5 6\n2* 8\n", 2, ReadStatus::kDone, {4, 5, 8}, ""},
      {"4 5 6\n3*\n", 2, ReadStatus::kDone, {4, 5, 6}, ""},
      {"4 5 6\n/\n", 2, ReadStatus::kDone, {4, 5, 6}, ""},
      {"4 5 6\n1/\n", 2, ReadStatus::kDone, {1, 5, 6}, ""},
      {"4 5 6\n1 2 /", 2, ReadStatus::kDone, {1, 2, 6}, ""},  // slash on a last line without newline
      {"4 5 6\n'1' 2 3\n", 2, ReadStatus::kUnreadable, {4, 5, 6}, "'1'"},
      // Unreadable as before: ';' is no separator, no q exponents, no NaN(...).
      {"1;2 3 4\n", 1, ReadStatus::kUnreadable, {-7, -7, -7}, "1;2"},
      {"1 2q0 3\n", 1, ReadStatus::kUnreadable, {1, -7, -7}, "2q0"},
      {"NaN(1) 2 3\n", 1, ReadStatus::kUnreadable, {-7, -7, -7}, "NaN(1)"},
  };
  for (const auto& read : kNumericReads) {
    for (const Case& c : cases) {
      const std::string where = std::string(read.name) + " of " + c.input;
      TextReader r(c.input);
      NumericTargets targets(read.how);
      ReadResult res;
      for (int k = 0; k < c.reads; ++k) res = targets.ReadFrom(r);
      EXPECT_EQ(res.status, c.status) << where;
      EXPECT_EQ(res.text, c.text) << where;
      for (int k = 0; k < 3; ++k) EXPECT_EQ(targets.value(k), c.expected[k]) << where << " item " << k;
    }
  }
}

TEST(FreeReaderTest, QuotedTokensAreTextForTextTargets) {
  TextReader r("'3' '4'\n\"2*5\" 6\n");
  std::string label;
  float x = -1;
  ReadResult res = r.Read({Target::Text(label, 80), x});
  EXPECT_EQ(res.status, ReadStatus::kUnreadable);  // the label takes '3', the number refuses '4'
  EXPECT_EQ(label, "3");
  EXPECT_EQ(res.text, "'4'");
  EXPECT_EQ(x, -1.0f);
  ASSERT_TRUE(r.Read({Target::Text(label, 80), x}).ok());
  EXPECT_EQ(label, "2*5");  // quoted, so no repeat
  EXPECT_EQ(x, 6.0f);
  EXPECT_EQ(DescribeFailure(res, "the pair"), "line 1: cannot read the pair: unreadable value ''4''");
}

TEST(FreeReaderTest, UnreadableReportsLineAndToken) {
  TextReader r("1 2\n\n3 1.5e3x\n");
  float a, b;
  ASSERT_TRUE(r.Read({a, b}).ok());
  ReadResult res = r.Read({a, b});
  EXPECT_EQ(res.status, ReadStatus::kUnreadable);
  EXPECT_EQ(res.line, 3);
  EXPECT_EQ(res.text, "1.5e3x");
  EXPECT_EQ(DescribeFailure(res, "the pair"), "line 3: cannot read the pair: unreadable value '1.5e3x'");
}

TEST(FreeReaderTest, IntegerTargetsRefuseReals) {
  for (const char* text : {"1.5\n", "7.\n", "1e3\n"}) {
    TextReader r(text);
    int32_t i = 5;
    EXPECT_EQ(r.Read({i}).status, ReadStatus::kUnreadable) << text;
    EXPECT_EQ(i, 5);
  }
}

TEST(FreeReaderTest, TextFields) {
  TextReader r(
      "12:00:01 1.5 2.5\n"
      "'a b, c' 3\n"
      "\"it\"\"s\" 4\n"
      "2024/01/01 7 8\n"
      "abcdefghij 5\n");
  std::string label;
  float x = 0, y = 0;
  ASSERT_TRUE(r.Read({Target::Text(label, 80), x, y}).ok());
  EXPECT_EQ(label, "12:00:01");
  EXPECT_EQ(y, 2.5f);
  ASSERT_TRUE(r.Read({Target::Text(label, 80), x}).ok());
  EXPECT_EQ(label, "a b, c");
  EXPECT_EQ(x, 3.0f);
  ASSERT_TRUE(r.Read({Target::Text(label, 80), x}).ok());
  EXPECT_EQ(label, "it\"s");
  EXPECT_EQ(x, 4.0f);
  // A slash inside an unquoted label ends the record there.
  x = -1;
  y = -1;
  ASSERT_TRUE(r.Read({Target::Text(label, 80), x, y}).ok());
  EXPECT_EQ(label, "2024");
  EXPECT_EQ(x, -1.0f);
  ASSERT_TRUE(r.Read({Target::Text(label, 4), x}).ok());
  EXPECT_EQ(label, "abcd");  // cut to the declared width
  EXPECT_EQ(x, 5.0f);
}

TEST(FreeReaderTest, SkipLineConsumesExactlyOneLine) {
  TextReader r("1\n\n2\n3");
  float a = 0;
  ASSERT_TRUE(r.SkipLine().ok());
  ASSERT_TRUE(r.SkipLine().ok());  // the blank line counts
  ASSERT_TRUE(r.Read({a}).ok());
  EXPECT_EQ(a, 2);
  ASSERT_TRUE(r.Read({a}).ok());  // last line without a newline
  EXPECT_EQ(a, 3);
  EXPECT_EQ(r.SkipLine().status, ReadStatus::kEnd);
}

TEST(FreeReaderTest, WholeLineNames) {
  std::string long_name(250, 'x');
  TextReader r("3 rest\nmy data.txt   \n\n  lead\r\n" + long_name + "\nlast");
  std::string name;
  int32_t n = 0;
  ASSERT_TRUE(r.Read({n}).ok());
  ASSERT_TRUE(r.ReadLine(&name).ok());  // the line after the number's line
  EXPECT_EQ(name, "my data.txt");       // inner blanks stay, trailing go
  ASSERT_TRUE(r.ReadLine(&name).ok());
  EXPECT_EQ(name, "");  // a blank line is a (blank) name, not skipped
  ASSERT_TRUE(r.ReadLine(&name).ok());
  EXPECT_EQ(name, "  lead");  // leading blanks stay, the CR goes
  ASSERT_TRUE(r.ReadLine(&name).ok());
  EXPECT_EQ(name, std::string(200, 'x'));
  ASSERT_TRUE(r.ReadLine(&name, 1).ok());
  EXPECT_EQ(name, "l");
  EXPECT_EQ(r.ReadLine(&name).status, ReadStatus::kEnd);
}

TEST(FreeReaderTest, LinesLongerThanTheBuffer) {
  std::string big(300000, ' ');
  big += "7";
  TextReader r(big + "\n" + std::string(200000, 'y') + "\n8\n");
  float a = 0;
  ASSERT_TRUE(r.Read({a}).ok());
  EXPECT_EQ(a, 7.0f);
  std::string name;
  ASSERT_TRUE(r.ReadLine(&name).ok());
  EXPECT_EQ(name, std::string(200, 'y'));
  ASSERT_TRUE(r.Read({a}).ok());
  EXPECT_EQ(a, 8.0f);
  EXPECT_EQ(r.line_number(), 3);
}

TEST(NamesTest, CutAtFirstBlank) {
  EXPECT_EQ(CutAtFirstBlank("site01 comment"), "site01");
  EXPECT_EQ(CutAtFirstBlank("data.txt"), "data.txt");
  EXPECT_EQ(CutAtFirstBlank(" lead"), "");
  EXPECT_EQ(CutAtFirstBlank(""), "");
  EXPECT_EQ(CutAtFirstBlank(std::string(199, 'a')), std::string(199, 'a'));
  EXPECT_EQ(CutAtFirstBlank(std::string(200, 'a')), "");  // no room for a blank
  EXPECT_EQ(CutAtFirstBlank(std::string(250, 'a') + " b"), "");
}

}  // namespace
}  // namespace textio
