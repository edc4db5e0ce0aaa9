#ifndef CIRCARRAY_PROFILE_INVERSION_INVERSION_H_
#define CIRCARRAY_PROFILE_INVERSION_INVERSION_H_

#include <vector>

#include "profile_inversion/appraisal.h"
#include "profile_inversion/misfit.h"
#include "profile_inversion/neighbourhood.h"
#include "profile_inversion/observed_curve.h"
#include "profile_inversion/parameterisation.h"

namespace circinv {

// `search.models` is the budget of the whole inversion. Of its first
// `shared_models` models, the share `descent_share` goes to the polish of
// the best model (local_descent.h), `walk_share` to the walk over the
// acceptable region that the appraisal's quantiles come from
// (region_walk.h), the rest to the neighbourhood search; every model beyond
// them goes to the walk. Once the search has found the acceptable region,
// its further iterations only crowd its models around the best one, and
// the walk then starts from a narrower set and needs longer to spread over
// the region; a longer walk is what a larger budget should buy.
struct InversionSettings {
  NeighbourhoodSettings search;
  int64_t shared_models = 20000;
  double descent_share = 0.1;
  double walk_share = 0.4;
  int walkers = 4;
  int depth_points = 101;  // of the profile's depth grid, 0 to lambda_max / 2
};

// Everything an inversion found, for the result files and the report.
struct InversionResult {
  std::vector<ObservedCurve> curves;
  Parameterisation parameterisation;
  SearchResult search;   // the search's models, then the polish's, then the walk's
  int64_t searched = 0;  // how many of them the search made
  int64_t polished = 0;  // how many the polish made after them
  std::vector<int64_t> walk_states;
  // The phase velocities of every model, model after model, each the points
  // of all curves in order (NaN where the model has no mode).
  std::vector<double> predictions;
  Appraisal appraisal;
};

// Inverts the curves (a Rayleigh curve, a Love curve, or both) for the
// layered models of `space`: the neighbourhood search of the misfit
// (misfit.h), the walk over the region of its acceptable models, then the
// appraisal. `forward[k]`
// models `curves[k]`. Throws textio::InputError for curves or ranges it
// refuses, textio::RuntimeError for settings that make no search.
InversionResult Invert(std::vector<ObservedCurve> curves, std::vector<ForwardFunction> forward,
                       const ParameterSpace& space, const InversionSettings& settings,
                       const SearchProgress& progress = {});

// The same with the suite's forward model (DispersionSolver) for each
// curve's wave: what the command line calls.
InversionResult Invert(std::vector<ObservedCurve> curves, const ParameterSpace& space,
                       const InversionSettings& settings, const SearchProgress& progress = {});

// The forward model of one wave as a ForwardFunction: a DispersionSolver of
// its own (copies share it; one per thread).
ForwardFunction DispersionForward(Wave wave);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_INVERSION_H_
