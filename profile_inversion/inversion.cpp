#include "profile_inversion/inversion.h"

#include <memory>
#include <utility>

#include "profile_inversion/dispersion.h"

#include "textio/errors.h"

namespace circinv {

InversionResult Invert(std::vector<ObservedCurve> curves, std::vector<ForwardFunction> forward,
                       const ParameterSpace& space, const InversionSettings& settings, const SearchProgress& progress) {
  MisfitFunction misfit(std::move(curves), std::move(forward));
  Parameterisation parameterisation(space);
  CheckSettings(settings.search, parameterisation.dimension());
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

  SearchResult search = NeighbourhoodSearch(problem, settings.search, progress);
  Appraisal appraisal = Appraise(parameterisation, search, predictions, misfit.curves(), settings.depth_points);
  return {misfit.curves(), std::move(parameterisation), std::move(search), std::move(predictions),
          std::move(appraisal)};
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
