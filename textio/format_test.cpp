#include "textio/format.h"

#include <cmath>
#include <limits>

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
      {1.5, "  1.5000000000000000     "}, {1.0e-5, "  1.0000000000000001E-005"}, {0.0, "  0.0000000000000000     "},
      {0.1, " 0.10000000000000001     "}, {1.0e17, "  1.0000000000000000E+017"}, {-kInf, "                -Infinity"},
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

}  // namespace
}  // namespace textio
