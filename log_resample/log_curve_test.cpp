#include "log_resample/log_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

namespace resampa {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

LogCurve Read(const std::string& text, size_t capacity = kNmax) {
  std::istringstream in(text);
  return ReadLogCurve(in, capacity);
}

TEST(ReadLogCurveTest, StoresAbscissaeAndLogarithms) {
  LogCurve c = Read("1 10\n2, 100\n\n  3.5\t1e3 trailing text\n");
  EXPECT_EQ(c.records, 3);
  EXPECT_EQ(c.f, (std::vector<double>{1.0, 2.0, 3.5}));
  EXPECT_EQ(c.dat_dum, (std::vector<double>{1.0, 2.0, 3.0}));
}

TEST(ReadLogCurveTest, StopsAtTheFirstRecordWithoutTwoNumbers) {
  struct Case {
    const char* text;
    int64_t records;
  } cases[] = {
      {"", 0},
      {"1 10\n2 x\n3 1000\n", 1},
      {"1 10\n2 100\nend of data\n3 1000\n", 2},
      {"1 10\n2 100\n3\n", 2},  // the last record runs out of input
  };
  for (const Case& c : cases) {
    LogCurve curve = Read(c.text);
    EXPECT_EQ(curve.records, c.records) << c.text;
    EXPECT_EQ(curve.f.size(), static_cast<size_t>(c.records)) << c.text;
  }
}

TEST(ReadLogCurveTest, CountsButDoesNotStoreRecordsBeyondCapacity) {
  LogCurve c = Read("1 10\n2 100\n3 1000\n4 1e4\n5 1e5\nbad\n6 1e6\n", 3);
  EXPECT_EQ(c.records, 5);
  EXPECT_EQ(c.f, (std::vector<double>{1.0, 2.0, 3.0}));
  EXPECT_EQ(c.dat_dum.size(), 3u);
}

TEST(ReadLogCurveTest, NonPositiveValuesGiveMinusInfinityOrNaN) {
  LogCurve c = Read("1 0\n2 -5\n");
  EXPECT_EQ(c.dat_dum[0], -std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(c.dat_dum[1]));
}

TEST(FirstNonAscendingTest, NamesTheFirstOffendingRecord) {
  struct Case {
    std::vector<double> f;
    int64_t record;
  } cases[] = {
      {{}, 0},           {{5}, 0},          {{1, 2, 3}, 0},      {{1, 1}, 2},
      {{1, 3, 2, 0}, 3}, {{1, kNaN, 3}, 2}, {{-3, -2, -2.5}, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstNonAscending(c.f), c.record) << c.f.size();
  }
}

LogCurve Curve(std::vector<double> f, std::vector<double> d) {
  LogCurve c;
  c.f = std::move(f);
  c.dat_dum = std::move(d);
  c.records = static_cast<int64_t>(c.f.size());
  return c;
}

TEST(LogInterpolatorTest, InsideBelowAndAbove) {
  // Logarithms 0, 1, 3: the two brackets have slopes 1 and 2.
  const LogCurve c = Curve({1, 2, 3}, {0, 1, 3});
  struct Case {
    double x, value, distance;
  } cases[] = {
      {0.25, -0.75, 0.75},  // below: first segment extended
      {1.0, 0.0, 0.0},
      {1.25, 0.25, 0.25},
      {1.75, 0.75, 0.25},  // distance to the nearer (right) end
      {2.0, 1.0, 0.0},
      {2.5, 2.0, 0.5},
      {3.0, 3.0, 0.0},
      {4.5, 6.0, 1.5},  // above: last segment extended
  };
  LogInterpolator interpolator(c);
  for (const Case& k : cases) {
    GridValue g = interpolator.At(k.x);
    EXPECT_DOUBLE_EQ(g.value, k.value) << k.x;
    EXPECT_DOUBLE_EQ(g.distance, k.distance) << k.x;
  }
}

TEST(LogInterpolatorTest, FirstBracketWithinEpsWins) {
  const LogCurve c = Curve({1, 2, 3}, {0, 1, 3});
  {
    // Just above f(2), within eps: still the bracket that ends at 2, slope 1.
    LogInterpolator interpolator(c);
    GridValue g = interpolator.At(2.0 + 0.5e-6);
    EXPECT_DOUBLE_EQ(g.value, 1.0 + 0.5e-6);
  }
  {
    // Beyond eps: the next bracket, slope 2.
    LogInterpolator interpolator(c);
    GridValue g = interpolator.At(2.0 + 2e-6);
    EXPECT_DOUBLE_EQ(g.value, 1.0 + 4e-6);
  }
  {
    // The tolerance is absolute: a point 1e-6 inside eps of a bracket
    // with abscissae 1e-6 apart still takes the first one.
    const LogCurve close = Curve({0, 1e-6, 2e-6}, {0, 1, 3});
    LogInterpolator interpolator(close);
    EXPECT_DOUBLE_EQ(interpolator.At(1.5e-6).value, 1.5);
  }
}

TEST(LogInterpolatorTest, CursorOnlyMovesForward) {
  const LogCurve c = Curve({-3, -2, -1, 0}, {0, 1, 2, 3});
  LogInterpolator interpolator(c);
  EXPECT_DOUBLE_EQ(interpolator.At(-0.5).value, 2.5);
  // Once the cursor has passed a bracket it is never searched again: a grid
  // running backwards finds nothing and is reported as too far.
  GridValue back = interpolator.At(-2.5);
  EXPECT_TRUE(std::isnan(back.value));
  EXPECT_TRUE(std::isnan(back.distance));
  // The tolerance works below the cursor's bracket too: a point within eps
  // under its left end still belongs to it.
  LogInterpolator again(c);
  EXPECT_DOUBLE_EQ(again.At(-1.5).value, 1.5);
  EXPECT_DOUBLE_EQ(again.At(-2.0 - 0.5e-6).value, 1.0 - 0.5e-6);
  // Points outside the data do not need the cursor.
  EXPECT_DOUBLE_EQ(interpolator.At(-4.0).value, -1.0);
}

}  // namespace
}  // namespace resampa
