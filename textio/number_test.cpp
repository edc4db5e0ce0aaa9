#include "textio/number.h"

#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace textio {
namespace {

TEST(ParseRealTest, AcceptedSpellings) {
  struct Case {
    const char* token;
    double expected;
  };
  const Case cases[] = {
      {"5.", 5.0},        {".5", 0.5},       {"-.5", -0.5},      {"+2", 2.0},       {"1.5e3", 1500.0},
      {"1.5E3", 1500.0},  {"1.5d3", 1500.0}, {"1.5D-3", 0.0015}, {"1.5+3", 1500.0}, {"1.5-3", 0.0015},
      {"-1.5e+3", -1500}, {"007", 7.0},      {"1e0", 1.0},       {"+.25E+1", 2.5},
  };
  for (const Case& c : cases) {
    double d = -1;
    float f = -1;
    ASSERT_TRUE(ParseDouble(c.token, &d)) << c.token;
    ASSERT_TRUE(ParseFloat(c.token, &f)) << c.token;
    EXPECT_EQ(d, c.expected) << c.token;
    EXPECT_EQ(f, static_cast<float>(c.expected)) << c.token;
  }
}

TEST(ParseRealTest, NonFiniteWordsInAnyCase) {
  const char* infinities[] = {"Inf", "inf", "INFINITY", "Infinity", "+inf"};
  for (const char* t : infinities) {
    float f = 0;
    ASSERT_TRUE(ParseFloat(t, &f)) << t;
    EXPECT_EQ(f, std::numeric_limits<float>::infinity()) << t;
  }
  double d = 0;
  ASSERT_TRUE(ParseDouble("-Infinity", &d));
  EXPECT_EQ(d, -std::numeric_limits<double>::infinity());
  ASSERT_TRUE(ParseDouble("nAn", &d));
  EXPECT_TRUE(std::isnan(d));
}

TEST(ParseRealTest, RejectsMalformedTokensAndKeepsTarget) {
  const char* bad[] = {"1.5e3x", "1.0e", "1.0e+",  "e5",      ".",   "-",   "+",   "",      "1..2",
                       "1.2.3",  "0x10", "nan(1)", "infinit", "1,5", "12a", "--1", "1e5.0", "1 2"};
  for (const char* t : bad) {
    float f = 42.0f;
    double d = 42.0;
    EXPECT_FALSE(ParseFloat(t, &f)) << t;
    EXPECT_FALSE(ParseDouble(t, &d)) << t;
    EXPECT_EQ(f, 42.0f) << t;
    EXPECT_EQ(d, 42.0) << t;
  }
}

// A float must come from the text directly: going through double first
// rounds twice and can land on the wrong neighbour.
TEST(ParseRealTest, FloatIsRoundedOnceFromText) {
  // Halfway between the floats 1 and 1+2^-23 plus a hair: rounds up when
  // rounded once, but to 1.0 when first rounded to double.
  const char* text = "1.00000005960464477539062500000000001";
  float f = 0;
  ASSERT_TRUE(ParseFloat(text, &f));
  EXPECT_EQ(f, 1.0f + std::numeric_limits<float>::epsilon());
  EXPECT_EQ(static_cast<float>(std::strtod(text, nullptr)), 1.0f);
}

TEST(ParseRealTest, OutOfRangeSaturates) {
  float f = 0;
  ASSERT_TRUE(ParseFloat("1e39", &f));
  EXPECT_EQ(f, std::numeric_limits<float>::infinity());
  ASSERT_TRUE(ParseFloat("-1d99999999999", &f));
  EXPECT_EQ(f, -std::numeric_limits<float>::infinity());
  ASSERT_TRUE(ParseFloat("-1e-60", &f));
  EXPECT_EQ(f, 0.0f);
  EXPECT_TRUE(std::signbit(f));
  ASSERT_TRUE(ParseFloat("1e-45", &f));  // the smallest subnormal
  EXPECT_EQ(f, std::numeric_limits<float>::denorm_min());
  double d = 0;
  ASSERT_TRUE(ParseDouble("0.000001e-400", &d));
  EXPECT_EQ(d, 0.0);
  ASSERT_TRUE(ParseDouble("0.0e999", &d));
  EXPECT_EQ(d, 0.0);
}

TEST(ParseInt32Test, DigitsOnly) {
  struct Case {
    const char* token;
    bool ok;
    int32_t value;
  };
  const Case cases[] = {
      {"7", true, 7},
      {"-12", true, -12},
      {"+3", true, 3},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},
      {"99999999999999999999", false, 0},
      {"1.5", false, 0},
      {"7.", false, 0},
      {"1e3", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"3x", false, 0},
  };
  for (const Case& c : cases) {
    int32_t v = 99;
    EXPECT_EQ(ParseInt32(c.token, &v), c.ok) << c.token;
    EXPECT_EQ(v, c.ok ? c.value : 99) << c.token;
  }
}

}  // namespace
}  // namespace textio
