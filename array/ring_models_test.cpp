#include "array/ring_models.h"

#include <gtest/gtest.h>

#include <boost/math/special_functions/bessel.hpp>
#include <cmath>
#include <numbers>

namespace array {
namespace {

double J(int n, double x) { return boost::math::cyl_bessel_j(n, x); }

RingShape Regular(int n, double r, double first = 0.3) {
  RingShape s;
  for (int j = 0; j < n; ++j) {
    const double theta = first + 2 * std::numbers::pi * j / n;
    s.x.push_back(r * std::cos(theta));
    s.y.push_back(r * std::sin(theta));
    s.azimuth.push_back(theta);
  }
  return s;
}

// For N equally spaced stations the pair sums are the aliased circular
// orders of Graf's addition theorem: G0 = sum_m J_(mN)^2, G1 = sum_m
// J_(1+mN)^2, and the SPAC coefficient is J0(kr).
TEST(RingModel, RegularRingsGiveTheAliasedCircularOrders) {
  for (int n : {3, 4, 5, 7}) {
    const RingModel ring(Regular(n, 10));
    for (double x : {0.1, 0.7, 1.5, 2.4, 3.3, 5.0}) {
      const double k = x / 10;
      double g0 = 0, g1 = 0;
      for (int m = -8; m <= 8; ++m) {
        g0 += J(std::abs(m * n), x) * J(std::abs(m * n), x);
        g1 += J(std::abs(1 + m * n), x) * J(std::abs(1 + m * n), x);
      }
      EXPECT_NEAR(ring.Spac(k), J(0, x), 1e-14) << n << " " << x;
      EXPECT_NEAR(ring.G0(k), g0, 1e-13) << n << " " << x;
      EXPECT_NEAR(ring.G1(k), g1, 1e-13) << n << " " << x;
    }
    EXPECT_EQ(ring.radius(), 10);
  }
  // Two concentric regular rings of M and N stations, not aligned:
  // Re E[Z1 conj Z1'] = J1(kr) J1(kr') when no alias order falls between.
  const RingModel outer(Regular(5, 10)), inner(Regular(5, 5, 0.3));
  for (double x : {0.3, 1.0, 2.0}) EXPECT_NEAR(outer.CrossG1(inner, x / 10), J(1, x) * J(1, x / 2), 2e-3);
}

// quillon's worked case: noise ratio 0.618 on 4 stations gives k r about
// 1.06; without noise the limit is where J0^2/J1^2 no longer changes: none.
TEST(ResolutionLimitKr, FollowsTheNoiseRatio) {
  EXPECT_NEAR(ResolutionLimitKr(0.6180339887, 4), 1.06, 0.005);
  double previous = 0;
  for (double eps : {0.001, 0.01, 0.1, 1.0}) {  // more noise, a longer shortest resolvable k r
    const double x = ResolutionLimitKr(eps, 5);
    EXPECT_GT(x, previous) << eps;
    previous = x;
  }
}

}  // namespace
}  // namespace array
