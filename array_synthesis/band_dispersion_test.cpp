#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "array_synthesis/band.h"
#include "array_synthesis/counter_rng.h"
#include "array_synthesis/dispersion.h"
#include "array_synthesis/sincos.h"

namespace circsim {
namespace {

using ::testing::HasSubstr;

TEST(Dispersion, DefaultCurve) {
  const DispersionCurve c;
  EXPECT_FALSE(c.is_table());
  struct Case {
    double f, c;
  };
  // 180 + 520 / (1 + (f/4)^2)
  for (const Case& k : {Case{0, 700}, Case{4, 440}, Case{8, 284}, Case{2, 596}, Case{1e6, 180}}) {
    EXPECT_NEAR(c.Velocity(k.f), k.c, 1e-9 * k.c) << "f = " << k.f;
  }
  EXPECT_NEAR(c.Scaled(0.9).Velocity(4), 396, 1e-9);
}

TEST(Dispersion, ACurveFilesPointsScaled) {
  const DispersionCurve c(curve::Curve{"c.txt", {{1, 100}, {4, 400}}});
  EXPECT_TRUE(c.is_table());
  EXPECT_NEAR(c.Velocity(2), 200, 1e-9);
  EXPECT_NEAR(c.Scaled(0.5).Velocity(2), 100, 1e-9);
}

TEST(Band, CosineTapersInLogFrequency) {
  const Band b{1, 40};
  const double r = Band::kTaperRatio;
  struct Case {
    double f, weight;
  };
  const Case cases[] = {
      {0.5, 0},
      {1, 0},               // below and at fmin
      {std::sqrt(r), 0.5},  // half way up the taper in log f: sin^2(pi/4)
      {std::pow(r, 0.25), std::pow(std::sin(std::numbers::pi / 8), 2)},
      {r, 1},
      {10, 1},
      {40 / r, 1},
      {40 / std::sqrt(r), 0.5},
      {40, 0},
      {50, 0},
  };
  for (const Case& k : cases) EXPECT_NEAR(b.Weight(k.f), k.weight, 1e-12) << "f = " << k.f;
  // A band narrower than the two tapers: they multiply.
  const Band narrow{1, 1.2};
  const double f = 1.1;
  EXPECT_NEAR(narrow.Weight(f),
              std::pow(std::sin(std::numbers::pi / 2 * std::log(f) / std::log(r)), 2) *
                  std::pow(std::sin(std::numbers::pi / 2 * std::log(1.2 / f) / std::log(r)), 2),
              1e-12);
  EXPECT_LT(narrow.Weight(f), 1);
}

TEST(CounterRng, SequenceDependsOnlyOnTheKey) {
  CounterRng a{1, 2, 3}, b{1, 2, 3}, c{1, 2, 4}, d{2, 1, 3};
  for (int i = 0; i < 100; ++i) {
    const uint64_t x = a.Next();
    EXPECT_EQ(x, b.Next());
    EXPECT_NE(x, c.Next());
    EXPECT_NE(x, d.Next());
  }
  EXPECT_NE(HashName("S1"), HashName("S2"));
  EXPECT_EQ(HashName("S1"), HashName(std::string("S1")));
}

TEST(CounterRng, UniformAndGaussianMoments) {
  // Moments from 200000 draws over many keys, within 4 standard errors.
  const int n = 200000;
  double su = 0, su2 = 0, sg = 0, sg2 = 0, sg4 = 0;
  for (int k = 0; k < n / 2; ++k) {
    CounterRng rng{7, static_cast<uint64_t>(k)};
    for (int j = 0; j < 2; ++j) {
      const double u = rng.Uniform();
      ASSERT_GE(u, 0);
      ASSERT_LT(u, 1);
      su += u;
      su2 += u * u;
    }
    const auto [g1, g2] = rng.GaussianPair();
    for (double g : {g1, g2}) {
      sg += g;
      sg2 += g * g;
      sg4 += g * g * g * g;
    }
  }
  EXPECT_NEAR(su / n, 0.5, 4 * std::sqrt(1.0 / 12 / n));
  EXPECT_NEAR(su2 / n, 1.0 / 3, 4 * std::sqrt(4.0 / 45 / n));
  EXPECT_NEAR(sg / n, 0, 4 * std::sqrt(1.0 / n));
  EXPECT_NEAR(sg2 / n, 1, 4 * std::sqrt(2.0 / n));
  EXPECT_NEAR(sg4 / n, 3, 4 * std::sqrt(96.0 / n));
}

TEST(SinCos, MatchesTheLibraryToAnUlpOrTwo) {
  // Across the range of phases the synthesis meets (|x| up to 1e5 rad),
  // near multiples of pi/2, and beyond the reduced range (library path).
  double worst = 0;
  CounterRng rng{11};
  auto check = [&](double x) {
    const SinCosValue v = SinCos(x);
    worst = std::max({worst, std::fabs(v.sin - std::sin(x)), std::fabs(v.cos - std::cos(x))});
  };
  for (int i = 0; i < 200000; ++i) check((rng.Uniform() - 0.5) * 2e5);
  for (int i = 0; i < 20000; ++i) check((rng.Uniform() - 0.5) * 20);
  for (int q = -1000; q <= 1000; ++q) {
    const double x = q * (std::numbers::pi / 2);
    check(x);
    check(std::nextafter(x, 1e9));
    check(std::nextafter(x, -1e9));
  }
  check(0);
  check(-0.0);
  check(1e7);
  check(-3e9);
  EXPECT_LT(worst, 3e-16);
  EXPECT_TRUE(std::isnan(SinCos(std::numeric_limits<double>::quiet_NaN()).sin));
}

}  // namespace
}  // namespace circsim
