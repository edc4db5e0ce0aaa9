#include "profile_inversion/appraisal.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "profile_inversion/random_stream.h"

namespace circinv {
namespace {

LayeredModel Profile(std::vector<std::pair<double, double>> thickness_vs) {
  LayeredModel model;
  for (const auto& [h, vs] : thickness_vs) model.layers.push_back({h, 2 * vs, vs, 2000});
  return model;
}

TEST(Vs30, OfClosedFormProfiles) {
  struct Case {
    const char* name;
    LayeredModel model;
    double vs30;
  };
  const Case cases[] = {
      {"uniform half-space", Profile({{0, 350}}), 350},
      {"uniform layers", Profile({{10, 400}, {25, 400}, {0, 400}}), 400},
      // 30 / (10/200 + 20/600) = 30 / (1/20 + 1/30) = 360
      {"two layers, interface at 10 m", Profile({{10, 200}, {20, 600}, {0, 1200}}), 360},
      // The half-space shallower than 30 m: 30 / (12/150 + 18/900) = 30 / 0.1 = 300
      {"half-space at 12 m", Profile({{12, 150}, {0, 900}}), 300},
      // The layers go deeper than 30 m: only 30 m of them count. 30 / (5/100 + 25/500) = 300
      {"second layer reaching below 30 m", Profile({{5, 100}, {40, 500}, {0, 2000}}), 300},
      // An interface at exactly 30 m: the layer below does not count.
      {"interface at 30 m", Profile({{30, 250}, {0, 5000}}), 250},
  };
  for (const Case& c : cases) EXPECT_NEAR(Vs30(c.model), c.vs30, 1e-9 * c.vs30) << c.name;
}

TEST(VsAtDepth, TakesTheLayerBelowAnInterface) {
  const LayeredModel model = Profile({{10, 200}, {20, 600}, {0, 1200}});
  const std::pair<double, double> cases[] = {{0, 200}, {9.999, 200}, {10, 600}, {29.99, 600}, {30, 1200}, {500, 1200}};
  for (const auto& [z, vs] : cases) EXPECT_EQ(VsAtDepth(model, z), vs) << z;
}

TEST(Quantile, InterpolatesBetweenOrderStatistics) {
  struct Case {
    std::vector<double> sorted;
    double p, expected;
  };
  const Case cases[] = {
      {{7}, 0.1, 7},
      {{7}, 0.9, 7},
      {{1, 2, 3, 4, 5}, 0.5, 3},
      {{1, 2, 3, 4, 5}, 0.1, 1.4},  // h = 0.4
      {{1, 2, 3, 4, 5}, 0.9, 4.6},  // h = 3.6
      {{1, 2, 3, 4}, 0.5, 2.5},     // the mean of the middle two
      {{10, 20}, 0.9, 19},
      {{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}, 0.1, 10},  // exactly an order statistic
      {{2, 4, 4, 4, 5, 5, 7, 9}, 0.9, 7.6},                     // h = 6.3
      {{3, 5}, 0, 3},
      {{3, 5}, 1, 5},
  };
  for (const Case& c : cases) EXPECT_NEAR(Quantile(c.sorted, c.p), c.expected, 1e-12) << c.p;
  EXPECT_TRUE(std::isnan(Quantile({}, 0.5)));
}

TEST(PotentialScaleReduction, OfChainsByHand) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    std::vector<double> values;
    std::vector<size_t> ends;
    double expected;
  };
  const Case cases[] = {
      // Four halves (1, 2): W = 1/2, B = 0, R-hat = sqrt(W / 2 / W).
      {"alike", {1, 2, 1, 2, 1, 2, 1, 2}, {4, 8}, std::sqrt(0.5)},
      // Halves of means 1.5, 1.5, 3.5, 3.5: B = 2 / 3 * 4, R-hat^2 = (1/4 + 4/3) / (1/2).
      {"apart", {1, 2, 1, 2, 3, 4, 3, 4}, {4, 8}, std::sqrt(19.0 / 6)},
      // One chain drifting from (1, 2) to (5, 6): B = 2 * 8, R-hat^2 = (1/4 + 8) / (1/2).
      {"drifting", {1, 2, 5, 6}, {4}, std::sqrt(16.5)},
      // Cut to the shortest chain: the 100 is left out.
      {"unequal", {1, 2, 1, 2, 1, 2, 1, 2, 100}, {4, 9}, std::sqrt(0.5)},
      {"constant", {3, 3, 3, 3}, {4}, 1},
      {"constant halves apart", {3, 3, 4, 4}, {4}, inf},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(PotentialScaleReduction(c.values, c.ends), c.expected) << c.name;
  EXPECT_TRUE(std::isnan(PotentialScaleReduction(std::vector<double>{1, 2, 3}, std::vector<size_t>{3})));
  EXPECT_TRUE(std::isnan(PotentialScaleReduction(std::vector<double>{1, 2, 3, 4}, std::vector<size_t>{})));
}

// Chains of independent normal draws agree (R-hat = 1 + O(1/n)); shifting
// one of four by one standard deviation takes R-hat above 1.1.
TEST(PotentialScaleReduction, OfIndependentDraws) {
  RandomStream random(17);
  std::vector<double> values;
  std::vector<size_t> ends;
  for (int chain = 0; chain < 4; ++chain) {
    for (int k = 0; k < 2000; ++k) values.push_back(random.Normal());
    ends.push_back(values.size());
  }
  EXPECT_NEAR(PotentialScaleReduction(values, ends), 1, 0.01);
  for (size_t k = ends[2]; k < ends[3]; ++k) values[k] += 1;
  EXPECT_GT(PotentialScaleReduction(values, ends), kMostScaleReduction);
}

TEST(PercentilesOf, SortsAndLeavesOutNan) {
  const Percentiles p = PercentilesOf({9, NAN, 1, 5, 3, 7, NAN, 2, 4, 6, 8, 10});
  // 1..10: h = 0.9, 4.5, 8.1
  EXPECT_DOUBLE_EQ(p.p10, 1.9);
  EXPECT_DOUBLE_EQ(p.p50, 5.5);
  EXPECT_DOUBLE_EQ(p.p90, 9.1);
  // 1000 uniform values on a grid: the quantiles are the grid's.
  std::vector<double> grid;
  for (int k = 1000; k >= 0; --k) grid.push_back(k * 0.001);
  const Percentiles g = PercentilesOf(grid);
  EXPECT_NEAR(g.p10, 0.1, 1e-12);
  EXPECT_NEAR(g.p50, 0.5, 1e-12);
  EXPECT_NEAR(g.p90, 0.9, 1e-12);
}

// One free parameter, the vs of a layer of 10 m over a half-space of
// 1000 m/s: the appraisal of hand-made "search results".
class AppraiseTest : public ::testing::Test {
 protected:
  AppraiseTest()
      : parameterisation_({{{{10, 10}, {100, 400}, {0.3, 0.3}, 0}, {{0, 0}, {1000, 1000}, {0.3, 0.3}, 0}}, false}) {
    curve_.frequency = {5, 10};
    curve_.velocity = {200, 100};  // longest wavelength 40 m
    curve_.sigma = {10, 10};
  }

  SearchResult Search(std::vector<double> points, std::vector<double> misfits) {
    SearchResult r;
    r.dimension = 1;
    r.points = std::move(points);
    r.misfits = std::move(misfits);
    return r;
  }

  Parameterisation parameterisation_;
  ObservedCurve curve_;
};

TEST_F(AppraiseTest, EnsembleOfMisfitAtMostOne) {
  // Points 0, 0.5, 1 give vs 100, 200, 400 (logarithmic axis).
  const SearchResult r = Search({0.5, 0, 1, 0.25}, {0.8, 1.0, 0.5, 3});
  const std::vector<double> predictions = {1, 2, 3, 4, 5, 6, 7, 8};
  const Appraisal a = Appraise(parameterisation_, r, predictions, std::span(&curve_, 1), 5);
  EXPECT_EQ(a.best, 2);
  EXPECT_EQ(a.best_misfit, 0.5);
  EXPECT_EQ(a.rule, EnsembleRule::kMisfitAtMostOne);
  EXPECT_EQ(a.acceptable, (std::vector<int64_t>{2, 0, 1}));
  EXPECT_EQ(a.constrained_depth, 20);
  EXPECT_EQ(a.depth, (std::vector<double>{0, 5, 10, 15, 20}));
  // vs of the ensemble in the layer: 400, 200, 100 -> 120, 200, 360.
  EXPECT_NEAR(a.vs[0].p10, 120, 1e-9);
  EXPECT_NEAR(a.vs[1].p50, 200, 1e-9);
  EXPECT_NEAR(a.vs[1].p90, 360, 1e-9);
  EXPECT_EQ(a.vs[2].p10, 1000);  // the half-space below 10 m
  EXPECT_NEAR(a.best_vs[0], 400, 1e-9);
  // Vs30 = 30 / (10 / vs + 20 / 1000).
  EXPECT_NEAR(a.best_vs30, 30 / (10 / 400.0 + 0.02), 1e-9);
  ASSERT_EQ(a.vs30.size(), 3u);
  EXPECT_NEAR(a.vs30_percentiles.p50, 30 / (10 / 200.0 + 0.02), 1e-9);
  // Predictions: model m has {2m + 1, 2m + 2}.
  ASSERT_EQ(a.fit.size(), 1u);
  EXPECT_EQ(a.fit[0].best, (std::vector<double>{5, 6}));
  EXPECT_NEAR(a.fit[0].acceptable[0].p50, 3, 1e-12);    // of {5, 1, 3}
  EXPECT_NEAR(a.fit[0].acceptable[1].p10, 2.4, 1e-12);  // of {6, 2, 4}
}

// With a sample (the walk's states), the quantiles are the sample's, a
// model counted as often as it appears; the ensemble is still the rule's.
TEST_F(AppraiseTest, QuantilesOfASampleCountRepeats) {
  const SearchResult r = Search({0.5, 0, 1, 0.25}, {0.8, 1.0, 0.5, 3});  // vs 200, 100, 400, 141
  const std::vector<double> predictions = {1, 2, 3, 4, 5, 6, 7, 8};
  const std::vector<int64_t> sample = {1, 1, 1, 0};
  const Appraisal a = Appraise(parameterisation_, r, predictions, std::span(&curve_, 1), 5, sample);
  EXPECT_TRUE(a.walked);
  EXPECT_EQ(a.acceptable, (std::vector<int64_t>{2, 0, 1}));
  // vs {100, 100, 100, 200}: p50 100, p90 at h = 2.7: 100 + 0.7 * 100.
  EXPECT_NEAR(a.vs[0].p50, 100, 1e-9);
  EXPECT_NEAR(a.vs[0].p90, 170, 1e-9);
  EXPECT_EQ(a.vs30.size(), 4u);
  EXPECT_NEAR(a.fit[0].acceptable[0].p50, 3, 1e-12);  // of {3, 3, 3, 1}
  EXPECT_EQ(QuantileSource(a), "a walk over the region of the 3 acceptable models");
}

// The share of the walk's sample whose half-space vs lies in the top tenth
// of its range (vs = 100 * 10^u m/s: from 1000 * 0.1^0.1 = 794 m/s up),
// repeats counted; none without a walk or with the half-space's vs fixed.
TEST_F(AppraiseTest, ShareOfTheHalfSpaceAtTheTopOfItsRange) {
  const Parameterisation free_half_space(
      {{{{10, 10}, {200, 200}, {0.3, 0.3}, 0}, {{0, 0}, {100, 1000}, {0.3, 0.3}, 0}}, false});
  const SearchResult r = Search({0.95, 0.91, 0.89, 0.5, 0.2}, {0.5, 0.6, 0.7, 0.8, 0.9});  // 891, 813, 776, 316, 158
  const std::vector<double> predictions(10, 150.0);
  struct Case {
    std::vector<int64_t> sample;
    double share;
  };
  const Case cases[] = {{{0, 1, 2, 3, 4}, 0.4}, {{0, 0, 3}, 2.0 / 3}, {{2, 3, 4}, 0}};
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(Appraise(free_half_space, r, predictions, std::span(&curve_, 1), 5, c.sample).half_space_vs_at_top,
                     c.share);
  }
  EXPECT_TRUE(std::isnan(Appraise(free_half_space, r, predictions, std::span(&curve_, 1)).half_space_vs_at_top));
  EXPECT_TRUE(std::isnan(Appraise(parameterisation_, Search({0.5}, {0.5}), std::vector<double>{1, 2},
                                  std::span(&curve_, 1), 5, std::vector<int64_t>{0})
                             .half_space_vs_at_top));
}

TEST_F(AppraiseTest, BestFivePercentWhenFewModelsFit) {
  std::vector<double> points, misfits;
  for (int m = 0; m < 41; ++m) {
    points.push_back(m / 40.0);
    misfits.push_back(1.5 + std::abs(m - 20));  // the best in the middle
  }
  const Appraisal a = Appraise(parameterisation_, Search(points, misfits),
                               std::vector<double>(2 * points.size(), 150.0), std::span(&curve_, 1));
  EXPECT_EQ(a.rule, EnsembleRule::kBestFivePercent);
  EXPECT_EQ(a.acceptable, (std::vector<int64_t>{20, 19, 21}));  // ceil(0.05 * 41), ties in order made
  EXPECT_EQ(a.depth.size(), 101u);
  // Two models of misfit <= 1 are fewer than 5 %: still the best 5 %.
  misfits[7] = 0.5;
  misfits[30] = 1.0;
  const Appraisal few = Appraise(parameterisation_, Search(points, misfits),
                                 std::vector<double>(2 * points.size(), 150.0), std::span(&curve_, 1));
  EXPECT_EQ(few.rule, EnsembleRule::kBestFivePercent);
  EXPECT_EQ(few.acceptable, (std::vector<int64_t>{7, 30, 20}));
  // Three are 5 %: they make the ensemble.
  misfits[0] = 0.9;
  const Appraisal enough = Appraise(parameterisation_, Search(points, misfits),
                                    std::vector<double>(2 * points.size(), 150.0), std::span(&curve_, 1));
  EXPECT_EQ(enough.rule, EnsembleRule::kMisfitAtMostOne);
  EXPECT_EQ(enough.acceptable, (std::vector<int64_t>{7, 0, 30}));
}

}  // namespace
}  // namespace circinv
