// The dispersion-curve file, its interpolation and the frequency grids.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>

#include "curve/curve_file.h"
#include "curve/frequency_grid.h"
#include "testsupport/temp_dir.h"
#include "testsupport/test_context.h"
#include "textio/errors.h"

namespace curve {
namespace {

using ::testing::HasSubstr;

Curve Parse(const std::string& text, StandardErrors se = StandardErrors::kIgnored) {
  std::istringstream in(text);
  return ParseCurve(in, "c.txt", se);
}

TEST(CurveFile, CommentsBlankLinesSeparatorsAndAnyOrder) {
  // The header of circspec --for curve, a frequency without an estimate,
  // commas, extra columns, frequencies descending.
  const Curve c = Parse("# freq c c_se method\n\n8 300 12 spac # a comment\n4,440,20\n6 nan nan -\n2\t600 30.5\n");
  ASSERT_EQ(c.points.size(), 3u);
  EXPECT_EQ(c.points[0].f, 2);
  EXPECT_EQ(c.points[0].line, 6);
  EXPECT_EQ(c.points[2].c, 300);
  EXPECT_TRUE(std::isnan(c.points[2].se));  // not asked for
  EXPECT_EQ(c.without_estimate, 1);
  ASSERT_EQ(c.unestimated.size(), 1u);
  EXPECT_EQ(c.unestimated[0].f, 6);
  EXPECT_EQ(c.unestimated[0].line, 5);
  const Curve with_se = Parse("4 440 20\n2 600 30.5\n6 nan nan\n", StandardErrors::kRequired);
  EXPECT_EQ(with_se.points[0].se, 30.5);
  EXPECT_EQ(with_se.points[1].se, 20);
}

TEST(CurveFile, RefusalsNameTheFileAndTheLine) {
  struct Case {
    const char* text;
    StandardErrors se;
    const char* message;
  };
  constexpr StandardErrors kIgnored = StandardErrors::kIgnored, kRequired = StandardErrors::kRequired;
  const Case cases[] = {
      {"1 100\n2 abc\n", kIgnored, "c.txt line 2: expected a number for the velocity, got 'abc'"},
      {"1 100\n2\n", kIgnored, "c.txt line 2: expected 'frequency velocity', got 1 field"},
      {"2 100\n# x\n2.0 200\n", kIgnored, "c.txt line 3: frequency 2 Hz is given twice (also on line 1)"},
      {"4 nan\n2 100\n4.0 300\n", kIgnored, "c.txt line 3: frequency 4 Hz is given twice (also on line 1)"},
      {"2 100\n4 nan\n4 nan\n", kIgnored, "c.txt line 3: frequency 4 Hz is given twice (also on line 2)"},
      {"0 100\n", kIgnored, "c.txt line 1: the frequency must be positive, got '0'"},
      {"nan 100\n", kIgnored, "c.txt line 1: the frequency must be positive, got 'nan'"},
      {"1 -100\n", kIgnored, "c.txt line 1: the velocity must be positive, got '-100'"},
      {"1 inf\n", kIgnored, "c.txt line 1: the velocity must be positive, got 'inf'"},
      {"1 100\n", kRequired,
       "c.txt line 1: expected 'frequency velocity standard_error', got 2 fields (a standard error is needed in "
       "the third column)"},
      {"1 100 0\n", kRequired, "c.txt line 1: the standard error must be positive, got '0'"},
      {"1 100 nan\n", kRequired, "c.txt line 1: the standard error must be positive, got 'nan'"},
      {"\n# only a header\n", kIgnored, "c.txt: no points 'frequency velocity'"},
      {"1 nan\n", kIgnored, "c.txt: no points 'frequency velocity' with a velocity (every one is nan)"},
  };
  for (const Case& k : cases) {
    try {
      Parse(k.text, k.se);
      ADD_FAILURE() << "accepted: " << k.text;
    } catch (const textio::InputError& e) {
      EXPECT_EQ(std::string(e.what()), k.message) << k.text;
    }
  }
}

TEST(CurveFile, ReadThroughTheRunsContext) {
  testsupport::TempDir dir("curve_file");
  dir.Write("c.txt", "16 200\n1 100\n4 400\n");
  testsupport::TestContext context(dir.path());
  EXPECT_EQ(ReadCurve(context, "c.txt").points.size(), 3u);
  EXPECT_THAT([&] { ReadCurve(context, "missing.txt"); },
              ::testing::ThrowsMessage<textio::InputError>(HasSubstr("missing.txt")));
}

TEST(CurveFile, VelocityIsLinearInLogLogAndHeldBeyondTheEnds) {
  // Between (1, 100) and (4, 400) c grows as f (a power law of exponent 1),
  // between (4, 400) and (16, 200) as f^-1/2.
  const Curve c = Parse("1 100\n4 400\n16 200\n");
  struct Case {
    double f, c;
  };
  for (const Case& k : {Case{0.01, 100}, Case{0, 100}, Case{1, 100}, Case{2, 200}, Case{3, 300}, Case{4, 400},
                        Case{8, 400 / std::numbers::sqrt2}, Case{16, 200}, Case{100, 200}}) {
    EXPECT_NEAR(c.VelocityAt(k.f), k.c, 1e-9 * k.c) << "f = " << k.f;
  }
  const Curve one = Parse("5 321\n");  // one point: a constant
  EXPECT_EQ(one.VelocityAt(0.1), 321);
  EXPECT_EQ(one.VelocityAt(50), 321);
}

TEST(FrequencyGrid, SpansFminToFmaxInLogOrLinearSteps) {
  const std::vector<double> log = MakeGrid({0.5, 40, 5, GridKind::kLog});
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log.front(), 0.5);
  EXPECT_EQ(log.back(), 40);
  for (size_t i = 1; i < log.size(); ++i) EXPECT_NEAR(log[i] / log[i - 1], std::pow(80, 0.25), 1e-12);
  const std::vector<double> lin = MakeGrid({1, 3, 5, GridKind::kLinear});
  EXPECT_EQ(lin, (std::vector<double>{1, 1.5, 2, 2.5, 3}));
  EXPECT_EQ(MakeGrid({2, 3, 1, GridKind::kLog}), std::vector<double>{2});
}

}  // namespace
}  // namespace curve
