// One default inversion on one core: a Rayleigh curve of 30 frequencies
// (2 to 30 Hz, log-spaced, 3 % errors) of the strong-contrast site, 4
// layers over a half-space from the data's default ranges, 20,000 models
// with the default search settings, and its appraisal. The counters give the
// best misfit and the size of the acceptable ensemble. A second case times
// the neighbourhood algorithm alone on a cheap misfit of the same
// dimension, the part of the run that is not the forward model.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "profile_inversion/inversion.h"
#include "profile_inversion/neighbourhood.h"
#include "profile_inversion/synthetic_sites.h"

namespace {

using namespace circinv;

void BM_DefaultInversion(benchmark::State& state) {
  const ObservedCurve curve = synthetic::NoisyCurve(synthetic::StrongContrast(), Wave::kRayleigh,
                                                    synthetic::LogFrequencies(2, 30, 30), 0.03, 1);
  const ParameterSpace space = DefaultParameterSpace(std::vector{curve});
  const InversionSettings settings;
  double best = 0, acceptable = 0;
  for (auto _ : state) {
    const InversionResult result = Invert({curve}, space, settings);
    best = result.appraisal.best_misfit;
    acceptable = static_cast<double>(result.appraisal.acceptable.size());
  }
  state.counters["best_misfit"] = best;
  state.counters["acceptable_models"] = acceptable;
}
BENCHMARK(BM_DefaultInversion)->Unit(benchmark::kSecond)->Iterations(1);

void BM_SearchAlone(benchmark::State& state) {
  const int dimension = 3 * kDefaultLayers + 2;
  SearchProblem problem;
  problem.dimension = dimension;
  problem.misfit = [](std::span<const double> x) {
    double s = 0;
    for (const double v : x) s += (v - 0.3) * (v - 0.3);
    return std::sqrt(s);
  };
  const NeighbourhoodSettings settings;
  for (auto _ : state) benchmark::DoNotOptimize(NeighbourhoodSearch(problem, settings).misfits.data());
}
BENCHMARK(BM_SearchAlone)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
