// The forward model against theory that shares none of its code: the
// Rayleigh cubic of a homogeneous half-space, Love's closed-form equation
// for one layer over a half-space, and the high- and low-frequency limits.

#include "profile_inversion/dispersion.h"

#include <cmath>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "profile_inversion/test_models.h"
#include "textio/errors.h"

namespace circinv {
namespace {

using testing::Model;
using testing::RayleighRatioFromCubic;
using testing::VpFromPoisson;

std::vector<double> Solve(Wave wave, const LayeredModel& model, const std::vector<double>& f) {
  DispersionSolver solver(wave);
  std::vector<double> c(f.size());
  solver.PhaseVelocities(model, f, c);
  return c;
}

// A homogeneous half-space, alone or under a stack of layers of its own
// material, carries the non-dispersive Rayleigh wave at every frequency.
TEST(DispersionTest, HomogeneousHalfSpaceFollowsTheRayleighCubic) {
  const std::vector<double> f = {0.01, 1, 7, 30, 300, 5000};
  for (double poisson : {0.0, 0.1, 0.2, 0.25, 0.3, 1.0 / 3, 0.4, 0.45, 0.49}) {
    SCOPED_TRACE(poisson);
    const double vs = 400, vp = VpFromPoisson(vs, poisson), rho = 1900;
    const double expected = vs * RayleighRatioFromCubic(poisson);
    for (const LayeredModel& model :
         {Model({{0, vp, vs, rho}}),
          Model({{3, vp, vs, rho}, {0.5, vp, vs, rho}, {40, vp, vs, rho}, {12, vp, vs, rho}, {0, vp, vs, rho}})}) {
      for (double c : Solve(Wave::kRayleigh, model, f)) EXPECT_NEAR(c / expected, 1, 1e-12);
    }
  }
}

// Love (1911): one layer (h, vs1, mu1) over a half-space (vs2, mu2); the
// fundamental mode solves k h nu1 = atan(mu2 nu2 / (mu1 nu1)) with
// nu1 = sqrt(c^2/vs1^2 - 1), nu2 = sqrt(1 - c^2/vs2^2), vs1 < c < vs2, where
// the left side grows and the right side falls with c: bisection.
double LoveOneLayer(double f, double h, double vs1, double rho1, double vs2, double rho2) {
  const double mu1 = rho1 * vs1 * vs1, mu2 = rho2 * vs2 * vs2;
  auto g = [&](double c) {
    const double nu1 = std::sqrt(c * c / (vs1 * vs1) - 1), nu2 = std::sqrt(1 - c * c / (vs2 * vs2));
    return 2 * std::numbers::pi * f / c * h * nu1 - std::atan(mu2 * nu2 / (mu1 * nu1));
  };
  double lo = vs1, hi = vs2;
  for (int i = 0; i < 200; ++i) {
    const double mid = (lo + hi) / 2;
    (g(mid) < 0 ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

TEST(DispersionTest, LoveOneLayerOverHalfSpaceFollowsTheClosedForm) {
  struct Case {
    double h, vs1, rho1, vs2, rho2;
  };
  for (const Case& m : {Case{10, 200, 1800, 500, 2000}, Case{3, 150, 1600, 1500, 2600},
                        Case{40, 1000, 2400, 1100, 2300}, Case{0.5, 300, 2000, 900, 2000}}) {
    const std::vector<double> f = {0.05, 0.5, 2, 5, 13, 30, 100, 1000};
    const std::vector<double> c =
        Solve(Wave::kLove, Model({{m.h, 2 * m.vs1, m.vs1, m.rho1}, {0, 2 * m.vs2, m.vs2, m.rho2}}), f);
    for (size_t i = 0; i < f.size(); ++i) {
      SCOPED_TRACE(f[i]);
      EXPECT_NEAR(c[i] / LoveOneLayer(f[i], m.h, m.vs1, m.rho1, m.vs2, m.rho2), 1, 1e-12);
    }
  }
}

// Velocities growing with depth: at high frequency the wave lives in the top
// layer (Rayleigh: its Rayleigh velocity; Love: its vs), at low frequency in
// the half-space (its Rayleigh velocity; its vs).
TEST(DispersionTest, LimitsOfANormallyDispersiveModel) {
  const LayeredModel model = Model({{4, VpFromPoisson(180, 0.45), 180, 1800},
                                    {10, VpFromPoisson(350, 0.4), 350, 1900},
                                    {25, VpFromPoisson(600, 0.3), 600, 2100},
                                    {0, VpFromPoisson(1100, 0.25), 1100, 2400}});
  const std::vector<double> f = {1e-5, 1e5};
  const std::vector<double> rayleigh = Solve(Wave::kRayleigh, model, f);
  EXPECT_NEAR(rayleigh[0] / (1100 * RayleighRatioFromCubic(0.25)), 1, 1e-6);
  EXPECT_NEAR(rayleigh[1] / (180 * RayleighRatioFromCubic(0.45)), 1, 1e-12);
  const std::vector<double> love = Solve(Wave::kLove, model, f);
  EXPECT_NEAR(love[0] / 1100, 1, 1e-9);
  EXPECT_NEAR(love[1] / 180, 1, 1e-6);
  EXPECT_GT(love[1], 180);
  EXPECT_LT(love[0], 1100);
}

// A buried low-velocity layer traps the high-frequency fundamental mode,
// which tends to that layer's vs from above (Rayleigh and Love alike); the
// stiff top layer's Rayleigh velocity is far above it.
TEST(DispersionTest, HighFrequencyLimitOfABuriedLowVelocityLayer) {
  const LayeredModel model = Model({{5, 1200, 500, 2000}, {8, 400, 150, 1700}, {0, 1800, 800, 2200}});
  for (Wave wave : {Wave::kRayleigh, Wave::kLove}) {
    const std::vector<double> c = Solve(wave, model, {2000, 20000});
    EXPECT_GT(c[0], 150);
    EXPECT_GT(c[1], 150);
    EXPECT_LT(c[1], c[0]);
    EXPECT_NEAR(c[1] / 150, 1, 1e-5);
  }
}

// A mode that leaves the trapped region (c above the half-space's vs) is
// not a surface wave: a stiff lid on a soft half-space has no Love mode and
// its Rayleigh mode exists only at high frequency.
TEST(DispersionTest, NoModeIsNaN) {
  const LayeredModel lid = Model({{5, 1200, 600, 2100}, {0, 700, 300, 1800}});
  const std::vector<double> love = Solve(Wave::kLove, lid, {1, 10, 100});
  for (double c : love) EXPECT_TRUE(std::isnan(c));
  const std::vector<double> rayleigh = Solve(Wave::kRayleigh, lid, {1, 1000});
  EXPECT_FALSE(std::isnan(rayleigh[0]));  // the half-space's own Rayleigh wave, barely dispersed
  EXPECT_TRUE(std::isnan(rayleigh[1]));   // the lid's Rayleigh velocity is above 300 m/s
}

TEST(DispersionTest, RefusesBadArguments) {
  DispersionSolver solver(Wave::kRayleigh);
  std::vector<double> c(1);
  const LayeredModel good = Model({{0, 1000, 500, 2000}});
  for (double f : {0.0, -1.0, std::nan(""), HUGE_VAL}) {
    const std::vector<double> fs = {f};
    EXPECT_THROW(solver.PhaseVelocities(good, fs, c), textio::RuntimeError);
  }
  const std::vector<double> one = {1.0};
  std::vector<double> two(2);
  EXPECT_THROW(solver.PhaseVelocities(good, one, two), textio::RuntimeError);
  EXPECT_THROW(solver.PhaseVelocities(Model({{0, 560, 500, 2000}}), one, c), textio::RuntimeError);
}

}  // namespace
}  // namespace circinv
