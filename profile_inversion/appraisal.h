#ifndef CIRCARRAY_PROFILE_INVERSION_APPRAISAL_H_
#define CIRCARRAY_PROFILE_INVERSION_APPRAISAL_H_

#include <cstdint>
#include <span>
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
  std::vector<int64_t> acceptable;  // the ensemble's models, by increasing misfit

  // The depth the data constrain: half the longest observed wavelength.
  double constrained_depth = 0;
  // vs of the acceptable models at evenly spaced depths from 0 to
  // constrained_depth, and of the best model.
  std::vector<double> depth;
  std::vector<Percentiles> vs;
  std::vector<double> best_vs;

  std::vector<double> vs30;  // of each acceptable model, in the order of `acceptable`
  Percentiles vs30_percentiles;
  double best_vs30 = 0;

  std::vector<CurveFit> fit;  // one per observed curve
};

// The appraisal of a search. `predictions` holds the phase velocities of
// every model of `search`, model after model, each the points of all
// `curves` in order. `depth_points` >= 2 depths make the profile's grid.
// The ensemble is not a sample of a posterior distribution: its quantiles
// describe the spread of the models that fit, each counted once.
Appraisal Appraise(const Parameterisation& parameterisation, const SearchResult& search,
                   std::span<const double> predictions, std::span<const ObservedCurve> curves, int depth_points = 101);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_APPRAISAL_H_
