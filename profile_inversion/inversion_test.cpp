#include "profile_inversion/inversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "profile_inversion/synthetic_sites.h"

namespace circinv {
namespace {

// Inversions of synthetic Rayleigh curves of three known sites, made by the
// forward model at 20 frequencies from 2 to 30 Hz with 3 % Gaussian errors
// and sigma = 3 %, default parameter ranges from the data and the default
// settings: what circinv does with such a curve.
InversionSettings TestSettings() { return InversionSettings{}; }

ObservedCurve SiteCurve(const LayeredModel& truth, uint64_t noise_seed) {
  return synthetic::NoisyCurve(truth, Wave::kRayleigh, synthetic::LogFrequencies(2, 30, 20), 0.03, noise_seed);
}

// The median vs of the ensemble at depth z.
double MedianVsAt(const Appraisal& a, double z) {
  size_t k = 0;
  while (k + 1 < a.depth.size() && a.depth[k + 1] <= z) ++k;
  return a.vs[k].p50;
}

// Every site must be fitted to within 1.2 standard errors and its true vs
// must lie inside the 10-90 % band at 80 % of the depths the data
// constrain; the true Vs30 inside the 10-90 % range for the gradient and
// the strong contrast (for the low-velocity layer it lies there in 1 of 3
// noise draws, just below the range in the others: the promise of the
// range is tested over many sites below). The medians are held to what
// the data resolve (the quantiles are those of a uniform walk over the
// acceptable region, whose median leans to the middle of the prior where
// the data leave a parameter free):
// - the strong contrast: within 6 %;
// - the gradient: within 8 %: the models that fit trade vs against
//   Poisson's ratio (c_R / vs grows from 0.91 to 0.95 as nu goes from 0.2
//   to 0.49), and the true nu = 0.4 lies above the middle of the default
//   range, so the median leans 5-7 % high over noise draws (within 1.3 %
//   with nu fixed at the truth);
// - the low-velocity layer: within 10 %; the layer beneath it is partly
//   hidden, and models with a stiffer one fit the data as well as the
//   truth (over noise draws the median is 7-10 % high). The soft layer
//   itself must show: the median vs at its middle (8 m) within 25 % of
//   150 m/s and slower than at 2 m and at 20 m.
TEST(Inversion, RecoversKnownSites) {
  struct Case {
    const char* name;
    LayeredModel truth;
    uint64_t noise_seed;
    double vs30_tolerance;
    bool vs30_in_range;
  };
  const Case cases[] = {
      {"gradient", synthetic::Gradient(), 1000, 0.08, true},
      {"strong contrast at 12 m", synthetic::StrongContrast(), 1001, 0.06, true},
      {"low-velocity layer", synthetic::LowVelocityLayer(), 1002, 0.10, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ObservedCurve curve = SiteCurve(c.truth, c.noise_seed);
    const InversionResult r = Invert({curve}, DefaultParameterSpace(std::vector{curve}), TestSettings());
    const Appraisal& a = r.appraisal;
    const synthetic::Recovery o = synthetic::RecoveryOf(a, c.truth);
    EXPECT_LE(o.best_misfit, 1.2);
    EXPECT_LE(std::abs(o.vs30_error), c.vs30_tolerance)
        << "Vs30 " << Vs30(c.truth) << ", median " << a.vs30_percentiles.p50;
    if (c.vs30_in_range) {
      EXPECT_TRUE(o.vs30_in_range) << "Vs30 " << Vs30(c.truth) << " outside " << a.vs30_percentiles.p10 << " - "
                                   << a.vs30_percentiles.p90;
    }
    EXPECT_GE(o.band_coverage, 0.8);
    if (c.truth.layers.size() == 4) {
      const double soft = MedianVsAt(a, 8);
      EXPECT_NEAR(soft, 150, 0.25 * 150);
      EXPECT_LT(soft, MedianVsAt(a, 2));
      EXPECT_LT(soft, MedianVsAt(a, 20));
    }
  }
}

// The promise of the 10-90 % range of Vs30, kept over random soil sites
// (synthetic::RandomSoilSite) rather than the three above: the truth should
// lie inside it about 8 times in 10, and below the median about half the
// time. With 20 sites, fewer than 12 inside (probability 1 % for a range that
// holds the truth 8 times in 10) or a median on one side of the truth at
// more than 16 of them (probability 0.3 % without a bias) fail. These are
// the first 20 sites of the study in docs/circinv.md, at the default budget.
TEST(Inversion, Vs30RangeIsCalibratedOverRandomSites) {
  const InversionSettings settings = TestSettings();
  const int sites = 20;
  int inside = 0, median_above = 0;
  for (int k = 0; k < sites; ++k) {
    const synthetic::Recovery o = synthetic::RandomSiteRecovery(k, settings);
    inside += o.vs30_in_range;
    median_above += o.vs30_error > 0;
  }
  EXPECT_GE(inside, 12);
  EXPECT_GE(median_above, 4);
  EXPECT_LE(median_above, 16);
}

TEST(Inversion, SameSeedSameResult) {
  const ObservedCurve curve = SiteCurve(synthetic::StrongContrast(), 7);
  InversionSettings settings;
  settings.search.models = 1000;
  settings.search.chains = 2;
  const ParameterSpace space = DefaultParameterSpace(std::vector{curve});
  const InversionResult a = Invert({curve}, space, settings);
  const InversionResult b = Invert({curve}, space, settings);
  EXPECT_EQ(a.search.points, b.search.points);  // bit for bit
  EXPECT_EQ(a.search.misfits, b.search.misfits);
  ASSERT_EQ(a.predictions.size(), b.predictions.size());  // NaN where no mode: compared as bits
  EXPECT_EQ(std::memcmp(a.predictions.data(), b.predictions.data(), a.predictions.size() * sizeof(double)), 0);
  EXPECT_EQ(a.appraisal.vs30, b.appraisal.vs30);
  settings.search.seed = 2;
  EXPECT_NE(Invert({curve}, space, settings).search.misfits, a.search.misfits);
}

// The budget is shared: the search keeps 50 % (at least n_s per chain),
// the polish 10 %, the walk the rest, every model listed once; the walk's
// states lie inside the ensemble's bound and give the quantiles. A budget
// of the chains' bare minimum leaves no polish and no walk, and the
// acceptable models give the quantiles.
TEST(Inversion, TheBudgetIsSharedAmongTheStages) {
  const ObservedCurve curve = SiteCurve(synthetic::StrongContrast(), 5);
  const ParameterSpace space = DefaultParameterSpace(std::vector{curve});
  InversionSettings settings;
  settings.search.models = 2000;
  settings.search.chains = 2;
  // Progress is heard through every stage, the walk's included.
  std::vector<int64_t> heard;
  const InversionResult r = Invert({curve}, space, settings, [&heard](int64_t done, double) { heard.push_back(done); });
  EXPECT_TRUE(std::is_sorted(heard.begin(), heard.end()));
  // At every hundredth of the walk's 800 models and at its end.
  EXPECT_GE(std::count_if(heard.begin(), heard.end(), [&r](int64_t done) { return done > r.searched + r.polished; }),
            8);
  EXPECT_EQ(heard.back(), r.search.size());
  EXPECT_EQ(r.searched, 1000);
  EXPECT_GT(r.polished, 0);
  EXPECT_LE(r.polished, 200);
  EXPECT_EQ(r.search.size(), 2000 - 200 + r.polished);  // the polish may stop early; the walk never does here
  const Appraisal& a = r.appraisal;
  EXPECT_TRUE(a.walked);
  EXPECT_EQ(a.sample, r.walk_states);
  EXPECT_GE(r.walk_states.size(), 800u * 3 / 4);
  for (const int64_t m : r.walk_states) ASSERT_LE(r.search.misfits[m], a.bound);
  for (const int64_t m : a.acceptable) ASSERT_LE(r.search.misfits[m], a.bound);
  EXPECT_EQ(a.vs30.size(), r.walk_states.size());

  // Beyond the first `shared_models`, every model goes to the walk.
  settings.shared_models = 1000;
  const InversionResult longer = Invert({curve}, space, settings);
  EXPECT_EQ(longer.searched, 500);
  EXPECT_LE(longer.polished, 100);
  EXPECT_EQ(longer.search.size(), 2000 - 100 + longer.polished);
  EXPECT_GE(longer.walk_states.size(), 1400u * 3 / 4);

  settings.search.models = 200;
  const InversionResult bare = Invert({curve}, space, settings);
  EXPECT_EQ(bare.searched, 200);
  EXPECT_EQ(bare.search.size(), 200);
  EXPECT_FALSE(bare.appraisal.walked);
  EXPECT_EQ(bare.appraisal.sample, bare.appraisal.acceptable);
}

// Rayleigh and Love curves together: both enter the misfit, and the fit
// holds a block for each.
TEST(Inversion, JointRayleighAndLove) {
  const LayeredModel truth = synthetic::StrongContrast();
  const std::vector<double> f = synthetic::LogFrequencies(3, 25, 8);
  const std::vector<ObservedCurve> curves = {synthetic::NoisyCurve(truth, Wave::kRayleigh, f, 0.03, 11),
                                             synthetic::NoisyCurve(truth, Wave::kLove, f, 0.03, 12)};
  InversionSettings settings;
  settings.search.models = 2000;
  settings.search.chains = 1;
  const InversionResult r = Invert(curves, DefaultParameterSpace(curves), settings);
  ASSERT_EQ(r.appraisal.fit.size(), 2u);
  ASSERT_EQ(r.predictions.size(), static_cast<size_t>(r.search.size()) * 16);
  // The best model's misfit is that of its two predicted curves, pooled.
  std::vector<std::vector<double>> best(2);
  for (int k = 0; k < 2; ++k) best[k] = r.appraisal.fit[k].best;
  EXPECT_EQ(Misfit(curves, best), r.appraisal.best_misfit);
  EXPECT_LT(r.appraisal.best_misfit, 2.0);
  EXPECT_LT(std::abs(r.appraisal.vs30_percentiles.p50 / Vs30(truth) - 1), 0.1);
}

}  // namespace
}  // namespace circinv
