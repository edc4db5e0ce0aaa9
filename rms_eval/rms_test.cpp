#include "rms_eval/rms.h"

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace gauger {
namespace {

std::vector<double> Line(int n, double a, double b) {
  std::vector<double> x(n);
  for (int i = 1; i <= n; ++i) x[i - 1] = a + b * i;
  return x;
}

TEST(DtrdTest, RemovesAStraightLineExactly) {
  struct Case {
    const char* what;
    std::vector<double> x;
    double slope;
    double mean;
  };
  const Case cases[] = {
      {"rising line", Line(500, 2.0, 0.5), 0.5, 127.25},
      {"falling line", Line(9, 1.0, -2.0), -2.0, -9.0},
      {"constant", std::vector<double>(500, 5.0), -0.0, 5.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<double> y(c.x.size(), 99.0);
    double slope = 0.0;
    double mean = 0.0;
    dtrd(c.x.data(), static_cast<int32_t>(c.x.size()), y.data(), 1, &slope, &mean);
    EXPECT_EQ(slope, c.slope);
    EXPECT_EQ(std::signbit(slope), std::signbit(c.slope));
    EXPECT_EQ(mean, c.mean);
    for (double r : y) ASSERT_EQ(r, 0.0);
  }
}

TEST(DtrdTest, SlopeIsTheLeastSquaresFitInPlace) {
  std::mt19937_64 gen(7);
  std::normal_distribution<double> noise(0.0, 1.0);
  const int n = 1001;
  std::vector<double> x(n);
  for (int i = 1; i <= n; ++i) x[i - 1] = 3.0 - 0.01 * i + noise(gen);

  // Least squares by the textbook formula, in long double.
  long double si = 0, sx = 0, sii = 0, six = 0;
  for (int i = 1; i <= n; ++i) {
    si += i;
    sx += x[i - 1];
    sii += static_cast<long double>(i) * i;
    six += i * static_cast<long double>(x[i - 1]);
  }
  const long double b = (n * six - si * sx) / (n * sii - si * si);
  const long double a = (sx - b * si) / n;

  std::vector<double> y = x;
  double slope = 0.0;
  double mean = 0.0;
  dtrd(y.data(), n, y.data(), 1, &slope, &mean);  // in place
  EXPECT_NEAR(slope, static_cast<double>(b), 1e-12);
  EXPECT_NEAR(mean, static_cast<double>(sx / n), 1e-12);
  double sum = 0.0;
  for (int i = 1; i <= n; ++i) {
    EXPECT_NEAR(y[i - 1], static_cast<double>(x[i - 1] - (a + b * i)), 1e-9) << i;
    sum += y[i - 1];
  }
  EXPECT_NEAR(sum, 0.0, 1e-9);
}

TEST(DtrdTest, ModesBelowOneFitNoLine) {
  const std::vector<double> x = {1.0, 2.0, 6.0};
  struct Case {
    int32_t mode;
    std::vector<double> y;
    double mean;
  };
  const Case cases[] = {
      {0, {-2.0, -1.0, 3.0}, 3.0},   // the mean alone is removed
      {-1, {7.0, 7.0, 7.0}, -5.0},   // nothing changes but the slope marker
      {-9, {7.0, 7.0, 7.0}, -5.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    std::vector<double> y(3, 7.0);
    double slope = 0.0;
    double mean = -5.0;
    dtrd(x.data(), 3, y.data(), c.mode, &slope, &mean);
    EXPECT_EQ(slope, kNoSlope);
    EXPECT_EQ(mean, c.mean);
    EXPECT_EQ(y, c.y);
  }
}

TEST(DtrdTest, NoSamplesAreWrittenForAnEmptyRecord) {
  for (int32_t n : {0, -3}) {
    double y = 7.0;
    double slope = 0.0;
    double mean = 0.0;
    dtrd(&y, n, &y, 1, &slope, &mean);
    EXPECT_EQ(y, 7.0) << n;
  }
}

TEST(RmsTest, NormalisesByTheSpanBetweenFirstAndLastSample) {
  Datblk store;
  store.samples = {0.0, 3.0, 4.0, 0.0, 12.0};  // samples 1 .. 4
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Case {
    double dt;
    int64_t first;
    int64_t last;
    double expected;
  };
  const Case cases[] = {
      {0.5, 1, 2, std::sqrt(25.0 / 0.5)},
      {0.5, 1, 4, std::sqrt(169.0 / 1.5)},
      {2.0, 2, 4, std::sqrt(160.0 / 4.0)},
      {1.0, 4, 4, kInf},  // one sample spans no time
      {1.0, 5, 4, 0.0},   // empty range: a zero
      {1.0, 1, -2, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << ".." << c.last);
    EXPECT_EQ(rms(store, c.dt, c.first, c.last), c.expected);
  }
  EXPECT_TRUE(std::isnan(rms(store, 1.0, 3, 3))) << "one zero sample: 0/0";
}

}  // namespace
}  // namespace gauger
