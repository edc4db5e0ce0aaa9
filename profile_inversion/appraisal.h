#ifndef CIRCARRAY_PROFILE_INVERSION_APPRAISAL_H_
#define CIRCARRAY_PROFILE_INVERSION_APPRAISAL_H_

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "profile_inversion/ensemble_rule.h"
#include "profile_inversion/layered_model.h"
#include "profile_inversion/neighbourhood.h"
#include "profile_inversion/observed_curve.h"
#include "profile_inversion/parameterisation.h"

namespace circinv {

// The p-quantile (0 <= p <= 1) of sorted values x_0 <= ... <= x_(n-1):
// linear interpolation between the order statistics around position
// h = (n - 1) p, x_floor(h) + (h - floor(h)) (x_(floor(h)+1) - x_floor(h)),
// the estimator of type 7 in Hyndman & Fan (1996), the default of R and
// NumPy. NaN for no values.
double Quantile(std::span<const double> sorted, double p);

// The 10, 50 and 90 % quantiles of a set of values, NaNs left out.
struct Percentiles {
  double p10 = 0;
  double p50 = 0;
  double p90 = 0;
};
Percentiles PercentilesOf(std::vector<double> values);

// Whether independent chains of a sampler agree: the split potential scale
// reduction factor R-hat of Gelman & Rubin (1992) in the form of Gelman et
// al. (2013, Bayesian Data Analysis, 3rd ed., section 11.4). The chains are
// the runs of `values` that end before each of `chain_ends`; each is cut
// to the length 2n of the shortest and split into halves, so that a chain
// still drifting counts as two that disagree. With m = 2 x chains halves
// of n values, means mean_j and variances s_j^2 (n - 1 in the divisor):
//   W = mean of s_j^2,  B = n / (m - 1) sum_j (mean_j - mean)^2,
//   R-hat = sqrt(((n - 1) / n W + B / n) / W).
// It nears 1 as the chains mix and exceeds it while they describe
// different parts of the target. NaN for fewer than 2 values per half;
// 1 when every value is the same, infinity when the halves differ but
// each is constant.
double PotentialScaleReduction(std::span<const double> values, std::span<const size_t> chain_ends);

// Above this R-hat the chains are not taken to agree (Gelman et al. 2013
// suggest 1.1).
inline constexpr double kMostScaleReduction = 1.1;

// Vs30: 30 m divided by the vertical shear travel time through the top
// 30 m, the half-space's velocity holding below its depth.
double Vs30(const LayeredModel& model);

// The shear velocity at depth z >= 0; at an interface, the one below it.
double VsAtDepth(const LayeredModel& model, double z);

// The fit of a set of models to one observed curve, point by point.
struct CurveFit {
  std::vector<double> best;             // the best model's phase velocity (NaN: no mode)
  std::vector<Percentiles> acceptable;  // of the acceptable models' phase velocities
};

// What the search found and how well the data constrain it.
struct Appraisal {
  int64_t best = -1;  // the model of lowest misfit
  double best_misfit = 0;
  LayeredModel best_model;

  EnsembleRule rule = EnsembleRule::kMisfitAtMostOne;
  double bound = 1;                 // the ensemble's largest misfit (ensemble_rule.h)
  std::vector<int64_t> acceptable;  // the ensemble's models, by increasing misfit

  // The depth the data constrain: half the longest observed wavelength.
  double constrained_depth = 0;
  // vs of the acceptable models at evenly spaced depths from 0 to
  // constrained_depth, and of the best model.
  std::vector<double> depth;
  std::vector<Percentiles> vs;
  std::vector<double> best_vs;

  std::vector<int64_t> sample;  // the models the quantiles are taken over
  bool walked = false;          // `sample` is the walk's, not the acceptable models
  std::vector<double> vs30;     // of each model of `sample`, in its order
  Percentiles vs30_percentiles;
  // R-hat of Vs30 over the walk's walkers (NaN without a walk).
  double vs30_scale_reduction = std::numeric_limits<double>::quiet_NaN();
  double best_vs30 = 0;
  // The share of the walk's sample whose half-space vs lies in the top
  // tenth of its range, on the search's logarithmic axis (NaN without a
  // walk, whose sample alone is uniform over the region, or when that vs is
  // fixed).
  double half_space_vs_at_top = std::numeric_limits<double>::quiet_NaN();

  std::vector<CurveFit> fit;  // one per observed curve
};

// Above this share of the sample in the top tenth of its range, the
// half-space's vs is said to crowd the top. A half-space the data leave
// free holds a tenth of a uniform walk there; the data push it up when the
// curve's longest wavelengths have not reached it (soft soil over rock
// whose curve has not levelled off at its lowest frequency), and its true
// vs may then lie above the range. Twice the free share: over 80 random
// soil sites (docs/circinv.md) it marked 11 of the 12 whose half-space was
// faster than the default range, and the others it marked had their true
// half-space in the top fifth of the range.
inline constexpr double kMostHalfSpaceVsAtTop = 0.2;

// The appraisal of a search. `predictions` holds the phase velocities of
// every model of `search`, model after model, each the points of all
// `curves` in order. `depth_points` >= 2 depths make the profile's grid.
// The first `searched` models are the neighbourhood search's, on which the
// ensemble's rule is decided (ensemble_rule.h). The quantiles (of vs, Vs30 and the predicted curves) are those of
// `sample`, models of `search` with repeats, the uniform sample of the
// acceptable region that the walk made (region_walk.h); without one, those
// of the acceptable models, each counted once. Neither is a sample of a
// posterior distribution: they describe the spread of the models that fit.
Appraisal Appraise(const Parameterisation& parameterisation, const SearchResult& search,
                   std::span<const double> predictions, std::span<const ObservedCurve> curves, int depth_points = 101,
                   std::span<const int64_t> sample = {}, size_t searched = SIZE_MAX);

// What the quantiles describe, for the summary and the profile file:
// "a walk over the region of the N acceptable models" or "the N
// acceptable models".
std::string QuantileSource(const Appraisal& a);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_APPRAISAL_H_
