#include "textio/format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace textio {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct FieldCase {
  double value;
  const char* expected;
};

TEST(FormatTest, E15_7) {
  const FieldCase cases[] = {
      {0.61803398874989485, "  0.6180340E+00"},
      {-0.9999946e-40, " -0.9999946E-40"},
      {0.0, "  0.0000000E+00"},
      {-0.0, " -0.0000000E+00"},
      {1.0, "  0.1000000E+01"},
      {0.25, "  0.2500000E+00"},
      {9.99999999, "  0.1000000E+02"},  // rounding carries into the exponent
      {123456.75, "  0.1234568E+06"},
      {1.0e-100, "  0.1000000E-99"},
      {1.0e-101, "  0.1000000-100"},  // three exponent digits drop the letter
      {kInf, "       Infinity"},
      {-kInf, "      -Infinity"},
      {kNaN, "            NaN"},
  };
  for (const FieldCase& c : cases) EXPECT_EQ(E15_7(c.value), c.expected) << c.value;
}

TEST(FormatTest, G20_8) {
  const FieldCase cases[] = {
      {123.456, "       123.45600    "},      {0.001, "      0.10000000E-02"},      {0.0, "       0.0000000    "},
      {1.0e100, "      0.10000000+101"},      {0.5, "      0.50000000    "},        {-2.0, "      -2.0000000    "},
      {99999999.0, "       99999999.    "},   {99999999.5, "      0.10000000E+09"},  // rounds up out of the fixed range
      {0.0999999999, "      0.10000000    "},                                        // rounds up into the fixed range
      {0.0999999, "      0.99999900E-01"},    {-kInf, "           -Infinity"},
  };
  for (const FieldCase& c : cases) EXPECT_EQ(G20_8(c.value), c.expected) << c.value;
}

TEST(FormatTest, F10_4) {
  const FieldCase cases[] = {
      {3.14159, "    3.1416"},  {12345678.9, "**********"},  {-12345.6789, "**********"}, {0.5, "    0.5000"},
      {-0.00001, "   -0.0000"}, {99999.99994, "99999.9999"}, {-kInf, " -Infinity"},       {kNaN, "       NaN"},
  };
  for (const FieldCase& c : cases) EXPECT_EQ(F10_4(c.value), c.expected) << c.value;
}

TEST(FormatTest, I5) {
  EXPECT_EQ(I5(100), "  100");
  EXPECT_EQ(I5(99999), "99999");
  EXPECT_EQ(I5(-9999), "-9999");
  EXPECT_EQ(I5(100000), "*****");
  EXPECT_EQ(I5(-12345), "*****");
}

TEST(FormatTest, FreeReal32) {
  struct Case {
    float value;
    const char* expected;
  };
  const Case cases[] = {
      {1.0f, "  1.00000000    "},
      {0.5f, " 0.500000000    "},
      {1e-20f, "  9.99999968E-21"},
      {999.0f, "  999.000000    "},
      {0.0f, "  0.00000000    "},
      {-0.0f, " -0.00000000    "},
      {123456789.0f, "  123456792.    "},
      {1.0e9f, "  1.00000000E+09"},
      {0.0999999940f, "  9.99999940E-02"},
      {-3.4028235e38f, " -3.40282347E+38"},
      {1.0e-45f, "  1.40129846E-45"},
      {std::numeric_limits<float>::infinity(), "        Infinity"},
      {std::numeric_limits<float>::quiet_NaN(), "             NaN"},
  };
  for (const Case& c : cases) EXPECT_EQ(FreeReal(c.value), c.expected) << c.value;
}

TEST(FormatTest, FreeReal64) {
  const FieldCase cases[] = {
      {1.5, "  1.5000000000000000     "},
      {1.0e-5, "  1.0000000000000001E-005"},
      // The doubles nearest 1e-6 and 1e-7 lie just below the powers.
      {1.0e-6, "  9.9999999999999995E-007"},
      {-1.0e-7, " -9.9999999999999995E-008"},
      {0.0, "  0.0000000000000000     "},
      {0.1, " 0.10000000000000001     "},
      {1.0e17, "  1.0000000000000000E+017"},
      {-kInf, "                -Infinity"},
  };
  for (const FieldCase& c : cases) EXPECT_EQ(FreeReal(c.value), c.expected) << c.value;
}

// A chosen count of digits: 9 and 17 must give exactly the free-format
// fields of the two widths, other counts the same layout scaled.
TEST(FormatTest, RealWithDigits) {
  const float singles[] = {1.0f, 0.5f, 1e-20f, 999.0f, 0.0f, -0.0f, 123456789.0f, 1.0e9f, 0.0999999940f, -3.4e38f};
  for (float f : singles) EXPECT_EQ(Real(f, 9), FreeReal(f)) << f;
  const double doubles[] = {1.5, 1e-5, 0.0, 0.1, 1e17, -kInf, kNaN, 1577836800.01};
  for (double v : doubles) EXPECT_EQ(Real(v, 17), FreeReal(v)) << v;
  const struct {
    double value;
    int digits;
    const char* expected;
  } cases[] = {
      {1577836800.01, 13, "  1577836800.010     "},
      {1577836800.01, 9, "  1.57783680E+09"},
      {86400.01, 9, "  86400.0100    "},
      {0.25, 3, " 0.250    "},
      {12.0, 1, "  1.E+01"},
      {5.0, 1, "  5.    "},
      {0.0, 1, "  0.    "},
      {0.125, 2, " 0.12    "},          // ties to even on the exact value
      {1e-100, 9, "  1.00000000-100"},  // three exponent digits drop the letter
      {2147483647.0, 10, "  2147483647.     "},
      {1.0, 0, "  1.    "},                    // clamped to 1 digit
      {1.0, 40, "  1.0000000000000000     "},  // clamped to 17
  };
  for (const auto& c : cases) EXPECT_EQ(Real(c.value, c.digits), c.expected) << c.value << " " << c.digits;
}

TEST(FormatTest, FreeInt) {
  std::string s;
  AppendFreeInt(&s, 6);
  AppendFreeInt(&s, -2147483647 - 1);
  EXPECT_EQ(s, "          6-2147483648");
}

TEST(FormatTest, ScientificWithASignSlot) {
  struct Case {
    double v;
    int digits;
    const char* text;
  };
  const Case cases[] = {
      {0, 9, " 0.00000000e+00"},
      {-0.0, 9, "-0.00000000e+00"},
      {1, 9, " 1.00000000e+00"},
      {0.123456789012, 9, " 1.23456789e-01"},
      {-450, 9, "-4.50000000e+02"},
      {0.3, 17, " 2.9999999999999999e-01"},  // the binary value, exactly rounded
      {2.5, 1, " 2e+00"},                    // ties to even on the exact value
      {3.5, 1, " 4e+00"},
      {9.9996, 4, " 1.000e+01"},  // rounding carries into the exponent
      {1e-300, 3, " 1.00e-300"},
      {6.02214076e23, 5, " 6.0221e+23"},
      {kInf, 9, " inf"},
      {-kInf, 9, "-inf"},
      {kNaN, 9, " nan"},
  };
  for (const Case& c : cases) {
    std::string s = "x";
    AppendScientific(&s, c.v, c.digits);
    EXPECT_EQ(s, std::string("x") + c.text) << c.v << " with " << c.digits;
    EXPECT_EQ(Scientific(c.v, c.digits), c.text);
  }
}

// Values across the whole range of double: the edges, ties, subnormals,
// and random bit patterns (fixed seed).
std::vector<double> Doubles() {
  std::vector<double> v = {0.0,
                           -0.0,
                           1.0,
                           0.1,
                           0.3,
                           2.5,
                           0.125,
                           9.5,
                           99.5,
                           999999.5,
                           9.9996,
                           1e-300,
                           1e300,
                           6.02214076e23,
                           -1234.5678,
                           std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::lowest(),
                           std::numeric_limits<double>::epsilon(),
                           kInf,
                           -kInf,
                           kNaN,
                           std::copysign(kNaN, -1.0)};
  std::mt19937_64 random(20260412);
  for (int i = 0; i < 2000; ++i) {
    const uint64_t bits = random();
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    if (std::isfinite(d)) v.push_back(d);
  }
  // Everyday magnitudes too: samples, times and frequencies.
  std::uniform_real_distribution<double> everyday(-1000.0, 1000.0);
  for (int i = 0; i < 1000; ++i) v.push_back(everyday(random));
  return v;
}

TEST(FormatTest, ScientificEqualsPrintfAtEveryDigitCount) {
  const std::vector<double> values = Doubles();
  for (int digits = 1; digits <= kMaxSignificantDigits; ++digits) {
    for (double v : values) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "% .*e", digits - 1, v);
      ASSERT_EQ(Scientific(v, digits), expected) << "digits " << digits;
    }
  }
}

// Significant digits of a text: its digits without leading and trailing
// zeros ("1800" has 2, "0.0125" has 3).
int SignificantDigits(const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (c == 'e') break;
    if (c >= '0' && c <= '9') digits += c;
  }
  const size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 1;
  const size_t last = digits.find_last_not_of('0');
  return static_cast<int>(last - first + 1);
}

TEST(FormatTest, ShortestReadsBackWithTheFewestDigits) {
  const FieldCase cases[] = {
      {0.01, "0.01"},
      {1800, "1800"},
      {20.48, "20.48"},
      {1e-05, "1e-05"},
      {0.1 + 0.2, "0.30000000000000004"},
      {-0.0, "-0"},
      {1e22, "1e+22"},
      {123456789012.0, "123456789012"},
      {std::numeric_limits<double>::denorm_min(), "5e-324"},
      {kInf, "inf"},
      {-kInf, "-inf"},
      {kNaN, "nan"},
  };
  for (const FieldCase& c : cases) {
    std::string s = "x";
    AppendShortest(&s, c.value);
    EXPECT_EQ(s, std::string("x") + c.expected);
    EXPECT_EQ(Shortest(c.value), c.expected);
  }
  for (double v : Doubles()) {
    if (!std::isfinite(v)) continue;
    const std::string text = Shortest(v);
    ASSERT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    // The fewest significant digits that read back as v, and printf's
    // scientific text with them.
    int fewest = 1;
    char scientific[64];
    for (;; ++fewest) {
      std::snprintf(scientific, sizeof scientific, "%.*e", fewest - 1, v);
      if (std::strtod(scientific, nullptr) == v) break;
    }
    // Never longer than that; an integer in fixed notation may show its
    // exact digits when that is no longer ("-274916424141175776").
    ASSERT_LE(text.size(), std::strlen(scientific)) << text;
    if (text.find_first_of(".e") != std::string::npos) {
      ASSERT_EQ(SignificantDigits(text), fewest) << text;
    }
  }
}

}  // namespace
}  // namespace textio
