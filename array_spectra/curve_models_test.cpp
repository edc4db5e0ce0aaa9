#include "array_spectra/curve_models.h"

#include <gtest/gtest.h>

#include <boost/math/special_functions/bessel.hpp>
#include <cmath>
#include <sstream>
#include <string>

#include "array/layout.h"
#include "array/rings.h"
#include "array_spectra/smoothing.h"
#include "array_spectra/smoothing_moments.h"

namespace circspec {
namespace {

double J(int n, double x) { return boost::math::cyl_bessel_j(n, x); }

constexpr double kRadius = 10;

// A centre and n stations on a circle of 10 m at the given azimuths
// (degrees), or equally spaced from 90 degrees.
ArrayGeometry Ring(int n, std::vector<double> azimuths = {}) {
  if (azimuths.empty()) {
    for (int j = 0; j < n; ++j) azimuths.push_back(90 + 360.0 * j / n);
  }
  std::ostringstream text;
  text << "C 0 0 c.txt\n";
  for (size_t j = 0; j < azimuths.size(); ++j)
    text << "S" << j << " " << azimuths[j] << " " << kRadius << " s" << j << ".txt\n";
  std::istringstream in(text.str());
  const array::Layout layout = array::ParseLayout(in, "layout.txt", ".");
  return GeometryOf(layout, array::FormRings(layout, array::kDefaultRingTolerance));
}

double Kr(const BranchRoot& root) { return root.k * kRadius; }

// A ring of 24 stations is a circle to double precision for k r < 5 (its
// first aliased order, J_23, is below 1e-13): the models must invert
// the closed forms of a circle, J0 for SPAC and J0^2/J1^2 for CCA, which
// share no code with the pair sums of the station positions.
TEST(CurveModels, ACircleInvertsTheClosedForms) {
  const CurveModels models(Ring(24), 0);
  const CurveModels::Smoothed circle = models.With({});
  for (double x : {0.05, 0.3, 1.0, 2.0, 3.0, 3.7}) {
    const BranchRoot root = circle.Spac(J(0, x));
    ASSERT_EQ(root.side, BranchRoot::Side::kOn) << x;
    EXPECT_NEAR(Kr(root), x, 1e-9 * x) << x;
  }
  for (double x : {0.05, 0.3, 1.0, 2.0, 2.35}) {
    const double j0 = J(0, x), j1 = J(1, x);
    EXPECT_NEAR(Kr(circle.Cca(j0 * j0 / (j1 * j1), 0)), x, 1e-9 * x) << x;
    const double e = 0.01 / 24;
    EXPECT_NEAR(Kr(circle.Cca((j0 * j0 + e) / (j1 * j1 + e), e)), x, 1e-8 * x) << x;
  }
  // The branches end at the first zeros of J1 and J0, to the table step.
  EXPECT_NEAR(circle.spac_end() * kRadius, 3.8317, 1e-3);
  EXPECT_NEAR(circle.cca_end(0) * kRadius, 2.4048, 1e-3);
  EXPECT_LT(circle.cca_end(0.01), circle.cca_end(0));
  // Beyond the start (a coefficient above 1) and beyond the end (below
  // the minimum of J0, -0.4028).
  EXPECT_EQ(circle.Spac(1.01).side, BranchRoot::Side::kBefore);
  EXPECT_EQ(circle.Spac(-0.41).side, BranchRoot::Side::kBeyond);
  EXPECT_EQ(circle.Cca(-0.1, 0).side, BranchRoot::Side::kBeyond);
}

// The noise ratio from the SPAC coefficient and the coherence of a
// circle with noise: spac = J0/(1 + eps), coh = J0^2 / ((1 + eps)(J0^2 +
// eps/N)).
TEST(CurveModels, TheNoiseRatioOfACircleIsRecovered) {
  const CurveModels models(Ring(24), 0);
  const CurveModels::Smoothed circle = models.With({});
  for (double x : {0.2, 1.0, 2.0}) {
    for (double eps : {0.0, 0.001, 0.05, 0.3}) {
      const double j0 = J(0, x);
      const double spac = j0 / (1 + eps), coh = j0 * j0 / ((1 + eps) * (j0 * j0 + eps / 24));
      const std::optional<double> found = circle.NoiseRatio(spac, coh);
      ASSERT_TRUE(found) << x << ' ' << eps;
      EXPECT_NEAR(*found, eps, 1e-7 * (1 + eps)) << x;
    }
  }
  EXPECT_FALSE(circle.NoiseRatio(std::nan(""), 0.9));
}

// Five stations alias the orders 5, 10, ... onto the ring's average
// (Graf's addition theorem): G0 = sum_m J_(5m)^2, G1 = sum_m J_(1+5m)^2.
// The models hold them through the pair sums; the aliasing limit is where
// |J_5| reaches 0.025.
TEST(CurveModels, FiveStationsAliasAsGrafsTheoremSays) {
  const CurveModels models(Ring(5), 0);
  const CurveModels::Smoothed ring = models.With({});
  for (double x : {0.5, 1.5, 2.2}) {
    double g0 = 0, g1 = 0;
    for (int m = -4; m <= 4; ++m) {
      g0 += J(std::abs(5 * m), x) * J(std::abs(5 * m), x);
      g1 += J(std::abs(1 + 5 * m), x) * J(std::abs(1 + 5 * m), x);
    }
    EXPECT_NEAR(Kr(ring.Cca(g0 / g1, 0)), x, 1e-8 * x) << x;
  }
  EXPECT_EQ(models.alias_order(), 5);
  EXPECT_NEAR(J(5, models.alias_end() * kRadius), 0.025, 1e-9);
  // A ring with a gap of 150 degrees cancels no order above 2.
  EXPECT_EQ(CurveModels(Ring(4, {0, 70, 140, 210}), 0).alias_order(), 2);
}

// The smoothing correction against the smoothed model summed bin by bin:
// a Konno-Ohmachi window (main lobe) at 5 Hz over bins of 1/20.48 Hz, a
// dispersive wave (p = 1.5) and a power falling as 1/f.
TEST(CurveModels, TheSmoothingCorrectionMatchesTheSmoothedModel) {
  const CurveModels models(Ring(24), 0);
  const double df = 1 / 20.48, f = 5, p = 1.5;
  const std::vector<double> grid = {4, f, 6};
  const Smoother smoother({SmoothingChoice::Kind::kKonnoOhmachi, 40, true}, grid, df, 1024);
  const std::vector<SmoothingMoments> moments = MomentsOf(smoother, df, grid, {1 / 4.0, 1 / f, 1 / 6.0}, {p, p, p});
  for (double x : {0.5, 1.5, 2.4, 3.2}) {
    double sum = 0, weights = 0;
    for (size_t b = smoother.first_bin(); b < smoother.first_bin() + smoother.bins(); ++b) {
      const double fb = static_cast<double>(b) * df, w = smoother.Weight(1, b) / fb;
      sum += w * J(0, x * std::pow(fb / f, p));
      weights += w;
    }
    const double smoothed = sum / weights;
    const double plain = Kr(models.With({}).Spac(smoothed));
    const double corrected = Kr(models.With(moments[1]).Spac(smoothed));
    // Without the correction the root is off by up to 1 % of k r; with
    // it, by the next order of the expansion.
    EXPECT_NEAR(corrected, x, 1e-4 * x) << x;
    if (std::fabs(plain - x) > 1e-3 * x) {
      EXPECT_GT(std::fabs(plain - x), 10 * std::fabs(corrected - x)) << x;
    }
  }
}

}  // namespace
}  // namespace circspec
