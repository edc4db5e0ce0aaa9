#include "profile_inversion/inversion.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "profile_inversion/dispersion.h"
#include "profile_inversion/local_descent.h"
#include "profile_inversion/region_walk.h"

#include "textio/errors.h"

namespace circinv {
namespace {

// The walk's random stream, apart from the search's chains (0, 1, ...).
constexpr uint64_t kWalkSeedIndex = 1u << 20;

// The descent's first steps: the spread of the `count` best models along
// each axis, within 0.005 and 0.2 of the axis.
std::vector<double> DescentSteps(const SearchResult& search, int count) {
  const std::vector<int64_t> best = BestModels(search.misfits, count);
  std::vector<double> steps;
  for (int i = 0; i < search.dimension; ++i) {
    double lo = 1, hi = 0;
    for (const int64_t m : best) {
      lo = std::min(lo, search.point(m)[i]);
      hi = std::max(hi, search.point(m)[i]);
    }
    steps.push_back(std::clamp(hi - lo, 0.005, 0.2));
  }
  return steps;
}

}  // namespace

InversionResult Invert(std::vector<ObservedCurve> curves, std::vector<ForwardFunction> forward,
                       const ParameterSpace& space, const InversionSettings& settings, const SearchProgress& progress) {
  MisfitFunction misfit(std::move(curves), std::move(forward));
  Parameterisation parameterisation(space);
  if (!(settings.walk_share >= 0 && settings.descent_share >= 0 && settings.walk_share + settings.descent_share < 1)) {
    throw textio::RuntimeError(
        "the shares of the polish and the walk must not be negative and must add up to less than 1");
  }
  // The shares are those of the first `shared_models` models; a larger
  // budget gives all the rest to the walk. The search keeps at least the
  // n_s models that each chain needs; small budgets leave the polish and
  // the walk less.
  const int64_t models = settings.search.models;
  const int64_t shared = std::min(models, settings.shared_models);
  const auto share = [&](double s) { return static_cast<int64_t>(s * static_cast<double>(shared)); };
  NeighbourhoodSettings search_settings = settings.search;
  search_settings.models =
      std::max(shared - share(settings.walk_share) - share(settings.descent_share),
               std::min<int64_t>(models, int64_t{settings.search.chains} * settings.search.samples_per_iteration));
  const int64_t descent_steps = std::min(share(settings.descent_share), models - search_settings.models);
  const int64_t walk_steps = models - search_settings.models - descent_steps;
  CheckSettings(search_settings, parameterisation.dimension());
  if (settings.depth_points < 2) throw textio::RuntimeError("the profile needs at least 2 depths");

  // The search evaluates the models in the order of its result, so the
  // predictions are kept by appending them as they are made.
  std::vector<double> predictions;
  SearchProblem problem;
  problem.dimension = parameterisation.dimension();
  problem.misfit = [&](std::span<const double> point) {
    const std::vector<std::vector<double>>& predicted = misfit.Predict(parameterisation.ModelAt(point));
    for (const std::vector<double>& curve : predicted)
      predictions.insert(predictions.end(), curve.begin(), curve.end());
    return Misfit(misfit.curves(), predicted);
  };
  problem.limits = parameterisation.Limits();
  if (problem.limits) problem.feasible_start = parameterisation.FeasibleStart();

  SearchResult search = NeighbourhoodSearch(problem, search_settings, progress);
  const int64_t searched = search.size();
  if (descent_steps > 0) {
    DescendFrom(problem, search.best(), DescentSteps(search, settings.search.resampled_cells), descent_steps, &search);
  }
  const int64_t polished = search.size() - searched;
  if (progress && polished > 0) progress(search.size(), search.misfits[search.best()]);
  // The walk covers the region of the acceptable ensemble: misfit <= 1
  // when enough models reached it, else up to the worst of the best 5 %.
  RegionSample walk;
  if (walk_steps > 0) {
    // It starts from the search's acceptable models, whose spread sets
    // the shape of its steps.
    const Ensemble ensemble = AcceptableEnsemble(search.misfits, static_cast<size_t>(searched));
    std::vector<int64_t> starts;
    for (const size_t m : ensemble.models)
      if (static_cast<int64_t>(m) < searched) starts.push_back(static_cast<int64_t>(m));
    const double bound = ensemble.bound;
    const RegionWalkSettings walk_settings{walk_steps, settings.walkers, SubSeed(settings.search.seed, kWalkSeedIndex)};
    walk = WalkRegion(problem, starts, bound, walk_settings, &search, progress);
  }
  Appraisal appraisal = Appraise(parameterisation, search, predictions, misfit.curves(), settings.depth_points,
                                 walk.states, static_cast<size_t>(searched));
  if (appraisal.walked) appraisal.vs30_scale_reduction = PotentialScaleReduction(appraisal.vs30, walk.walker_ends);
  return {misfit.curves(), std::move(parameterisation), std::move(search),      searched,
          polished,        std::move(walk.states),      std::move(predictions), std::move(appraisal)};
}

ForwardFunction DispersionForward(Wave wave) {
  auto solver = std::make_shared<DispersionSolver>(wave);
  return [solver](const LayeredModel& model, std::span<const double> f, std::span<double> c) {
    solver->PhaseVelocities(model, f, c);
  };
}

InversionResult Invert(std::vector<ObservedCurve> curves, const ParameterSpace& space,
                       const InversionSettings& settings, const SearchProgress& progress) {
  std::vector<ForwardFunction> forward;
  for (const ObservedCurve& curve : curves) forward.push_back(DispersionForward(curve.wave));
  return Invert(std::move(curves), std::move(forward), space, settings, progress);
}

}  // namespace circinv
