#include "profile_inversion/parameterisation.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "profile_inversion/elastic_relations.h"
#include "profile_inversion/misfit.h"
#include "profile_inversion/neighbourhood.h"
#include "textio/errors.h"

namespace circinv {
namespace {

ObservedCurve Curve(Wave wave, std::vector<double> f, std::vector<double> c, std::vector<double> sigma) {
  return {wave, std::move(f), std::move(c), std::move(sigma)};
}

TEST(ElasticRelations, VpVsRatioAndItsInverse) {
  // nu = 0.25: vp / vs = sqrt(3); nu = 1/3: 2; nu = 0.4: sqrt(6).
  const std::pair<double, double> cases[] = {{0.25, std::sqrt(3.0)}, {1.0 / 3.0, 2.0}, {0.4, std::sqrt(6.0)}};
  for (const auto& [nu, r] : cases) {
    EXPECT_NEAR(VpVsRatio(nu), r, 1e-14) << nu;
    EXPECT_NEAR(PoissonOfVpVsRatio(r), nu, 1e-14) << nu;
  }
  // Gardner: 1741 kg/m^3 at 1 km/s would be below the relation's range; at
  // 1.5 km/s and below 1741 * 1.5^0.25; at 4 km/s 1741 * sqrt(2).
  EXPECT_NEAR(GardnerDensity(300), 1741 * std::pow(1.5, 0.25), 1e-9);
  EXPECT_NEAR(GardnerDensity(1500), 1741 * std::pow(1.5, 0.25), 1e-9);
  EXPECT_NEAR(GardnerDensity(4000), 1741 * std::sqrt(2.0), 1e-9);
}

TEST(DefaultParameterSpace, RangesFromTheData) {
  // Wavelengths: 200/2 = 100, 150/10 = 15, 120/20 = 6 (Rayleigh); 90/30 = 3 (Love).
  const std::vector<ObservedCurve> curves = {Curve(Wave::kRayleigh, {2, 10, 20}, {200, 150, 120}, {5, 5, 5}),
                                             Curve(Wave::kLove, {30}, {90}, {3})};
  const ParameterSpace space = DefaultParameterSpace(curves, 3);
  ASSERT_EQ(space.layers.size(), 4u);
  EXPECT_FALSE(space.increasing);
  // Depth of the half-space from 3/3 = 1 m to 100/2 = 50 m, shared 1:2:4.
  const double w[] = {1.0 / 7, 2.0 / 7, 4.0 / 7};
  double min_sum = 0, max_sum = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(space.layers[i].thickness.min, w[i] * 1.0);
    EXPECT_DOUBLE_EQ(space.layers[i].thickness.max, w[i] * 50.0);
    min_sum += space.layers[i].thickness.min;
    max_sum += space.layers[i].thickness.max;
  }
  EXPECT_NEAR(min_sum, 1.0, 1e-14);
  EXPECT_NEAR(max_sum, 50.0, 1e-13);
  for (const LayerRanges& layer : space.layers) {
    EXPECT_DOUBLE_EQ(layer.vs.min, 0.8 * 90);
    EXPECT_DOUBLE_EQ(layer.vs.max, 1.5 * 200);
    EXPECT_EQ(layer.poisson.min, 0.2);
    EXPECT_EQ(layer.poisson.max, 0.49);
    EXPECT_EQ(layer.density, 0);
  }
  EXPECT_EQ(space.layers.back().thickness.max, 0);
  EXPECT_EQ(Parameterisation(space).dimension(), 3 * 3 + 2);
}

TEST(DefaultParameterSpace, RefusesBadCurves) {
  const std::vector<std::vector<ObservedCurve>> cases = {
      {},
      {Curve(Wave::kRayleigh, {}, {}, {})},
      {Curve(Wave::kRayleigh, {1, 2}, {100}, {1, 1})},
      {Curve(Wave::kRayleigh, {1, 2}, {100, 90}, {1, 0})},
      {Curve(Wave::kRayleigh, {1, -2}, {100, 90}, {1, 1})},
      {Curve(Wave::kRayleigh, {1, 2}, {100, NAN}, {1, 1})},
      {Curve(Wave::kRayleigh, {1, 2}, {100, 90}, {1, 1}), Curve(Wave::kRayleigh, {3}, {80}, {1})},
  };
  for (size_t k = 0; k < cases.size(); ++k) {
    EXPECT_THROW(DefaultParameterSpace(cases[k]), textio::InputError) << "case " << k;
  }
}

// Two layers over a half-space, every parameter free.
ParameterSpace ThreeLayers(bool increasing) {
  return {{{{1, 10}, {100, 400}, {0.2, 0.45}, 0},
           {{2, 20}, {150, 600}, {0.2, 0.45}, 2100},
           {{0, 0}, {300, 1200}, {0.2, 0.45}, 0}},
          increasing};
}

TEST(Parameterisation, MapsTheCubeOntoTheRanges) {
  const Parameterisation p(ThreeLayers(false));
  ASSERT_EQ(p.dimension(), 8);
  const LayeredModel low = p.ModelAt(std::vector<double>(8, 0.0));
  const LayeredModel high = p.ModelAt(std::vector<double>(8, 1.0));
  const LayeredModel mid = p.ModelAt(std::vector<double>(8, 0.5));
  ASSERT_EQ(low.layers.size(), 3u);
  EXPECT_EQ(low.layers[0].thickness, 1);
  EXPECT_NEAR(high.layers[0].thickness, 10, 1e-12);
  EXPECT_NEAR(mid.layers[0].thickness, std::sqrt(10.0), 1e-12);  // logarithmic axis
  EXPECT_NEAR(mid.layers[1].vs, 300, 1e-12);
  EXPECT_NEAR(mid.layers[2].vs, 600, 1e-12);
  EXPECT_EQ(mid.layers[2].thickness, 0);
  // Poisson's ratio on a linear axis: 0.325 in the middle.
  EXPECT_NEAR(mid.layers[0].vp / mid.layers[0].vs, VpVsRatio(0.325), 1e-12);
  EXPECT_NEAR(low.layers[0].vp, 100 * VpVsRatio(0.2), 1e-12);
  // Density: from Gardner's relation, or as given.
  EXPECT_EQ(high.layers[2].density, GardnerDensity(high.layers[2].vp));
  EXPECT_EQ(mid.layers[1].density, 2100);
  // Fixed parameters are no axes.
  ParameterSpace fixed = ThreeLayers(false);
  fixed.layers[0].thickness = {4, 4};
  fixed.layers[2].poisson = {0.3, 0.3};
  const Parameterisation f(fixed);
  EXPECT_EQ(f.dimension(), 6);
  EXPECT_EQ(f.ModelAt(std::vector<double>(6, 0.7)).layers[0].thickness, 4);
}

bool Increasing(const LayeredModel& m) {
  for (size_t i = 1; i < m.layers.size(); ++i) {
    if (m.layers[i].vs < m.layers[i - 1].vs || m.layers[i].vp < m.layers[i - 1].vp) return false;
  }
  return true;
}

TEST(Parameterisation, IncreasingVelocitiesHoldForEverySearchedModel) {
  const Parameterisation p(ThreeLayers(true));
  SearchProblem problem;
  problem.dimension = p.dimension();
  problem.limits = p.Limits();
  problem.feasible_start = p.FeasibleStart();
  ASSERT_TRUE(Increasing(p.ModelAt(problem.feasible_start)));
  // A misfit that pulls towards a decreasing profile: the search must stop
  // at the constraint, not cross it.
  problem.misfit = [&](std::span<const double> x) {
    const LayeredModel m = p.ModelAt(x);
    return std::abs(m.layers[0].vs - 390) + std::abs(m.layers[1].vs - 160);
  };
  NeighbourhoodSettings settings;
  settings.models = 2000;
  settings.chains = 1;
  const SearchResult r = NeighbourhoodSearch(problem, settings);
  for (int64_t m = 0; m < r.size(); ++m) ASSERT_TRUE(Increasing(p.ModelAt(r.point(m)))) << "model " << m;
  const LayeredModel best = p.ModelAt(r.point(r.best()));
  // The best admissible: equal velocities somewhere between 160 and 390.
  EXPECT_NEAR(best.layers[0].vs, best.layers[1].vs, 10);
}

TEST(Parameterisation, RefusesRangesThatCannotIncrease) {
  ParameterSpace space = ThreeLayers(true);
  space.layers[2].vs = {50, 90};  // the half-space slower than the top layer can be
  EXPECT_THROW(Parameterisation{space}, textio::InputError);
  // vs can increase but vp cannot: the top layer's vp is at least
  // 150 * r(0.44) = 458 m/s, the next one's at most 160 * r(0.2) = 261 m/s.
  space = ThreeLayers(true);
  space.layers[0] = {{1, 10}, {150, 160}, {0.44, 0.45}, 0};
  space.layers[1] = {{1, 10}, {150, 160}, {0.1, 0.2}, 0};
  EXPECT_THROW(Parameterisation{space}, textio::InputError);
  space.increasing = false;
  EXPECT_NO_THROW(Parameterisation{space});
}

// Ranges that would make models beyond the forward model's limits: a vs
// range outside 0.001 to 1e6 m/s, vs ranges spanning more than a factor
// 1000 over the model, a density given as 1 kg/m^3 beside Gardner's soils.
TEST(Parameterisation, RefusesRangesBeyondTheMaterialLimits) {
  const auto refused = [](void (*change)(ParameterSpace*)) {
    ParameterSpace space = ThreeLayers(false);
    change(&space);
    try {
      Parameterisation{space};
    } catch (const textio::InputError&) {
      return true;
    }
    return false;
  };
  EXPECT_FALSE(refused([](ParameterSpace*) {}));
  EXPECT_TRUE(refused([](ParameterSpace* s) { s->layers[0].vs = {1e-4, 100}; }));
  EXPECT_TRUE(refused([](ParameterSpace* s) { s->layers[2].vs = {500, 2e6}; }));
  EXPECT_TRUE(refused([](ParameterSpace* s) { s->layers[0].vs = {0.1, 160}; }));
  EXPECT_TRUE(refused([](ParameterSpace* s) { s->layers[1].density = 1; }));
  EXPECT_TRUE(refused([](ParameterSpace* s) { s->layers[1].density = 1e-3; }));
  // vs within its limit, but vp beyond it at the largest Poisson's ratio.
  EXPECT_TRUE(refused([](ParameterSpace* s) {
    for (LayerRanges& layer : s->layers) layer.vs = {9e5, 9e5};
  }));
}

TEST(Misfit, RootMeanSquareOfNormalisedResiduals) {
  const std::vector<ObservedCurve> curves = {Curve(Wave::kRayleigh, {1, 2, 3}, {100, 200, 300}, {10, 10, 20}),
                                             Curve(Wave::kLove, {4}, {400}, {4})};
  struct Case {
    const char* name;
    std::vector<std::vector<double>> predicted;
    double misfit;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"exact", {{100, 200, 300}, {400}}, 0},
      // residuals 1, -2, 0.5, 0: sqrt((1 + 4 + 0.25) / 4)
      {"residuals", {{90, 220, 290}, {400}}, std::sqrt(5.25 / 4)},
      // residuals 0, 0, 0 and a missing mode: sqrt(100^2 / 4) = 50
      {"missing Love mode", {{100, 200, 300}, {nan}}, 50},
      {"infinite", {{100, 200, std::numeric_limits<double>::infinity()}, {404}}, std::sqrt((1e4 + 1) / 4)},
  };
  for (const Case& c : cases) EXPECT_NEAR(Misfit(curves, c.predicted), c.misfit, 1e-12) << c.name;
  // Through forward models, one per curve, each given its own frequencies.
  std::vector<ForwardFunction> forward;
  for (const double scale : {1.1, 1.0}) {
    forward.push_back([scale](const LayeredModel&, std::span<const double> f, std::span<double> c) {
      for (size_t i = 0; i < f.size(); ++i) c[i] = scale * 100 * f[i];
    });
  }
  MisfitFunction misfit(curves, forward);
  // residuals -1, -2, -1.5, 0
  EXPECT_NEAR(misfit(LayeredModel{}), std::sqrt(7.25 / 4), 1e-12);
  forward.pop_back();
  EXPECT_THROW(MisfitFunction(curves, forward), std::invalid_argument);
}

}  // namespace
}  // namespace circinv
