// One default inversion on one core: a Rayleigh curve of 30 frequencies
// (2 to 30 Hz, log-spaced, 3 % errors) of the strong-contrast site, 4
// layers over a half-space from the data's default ranges, 20,000 models
// with the default search settings, and its appraisal. The counters give the
// best misfit and the size of the acceptable ensemble. A second case times
// the neighbourhood algorithm alone on a cheap misfit of the same
// dimension, the part of the run that is not the forward model. A third
// is a study of calibration over random sites rather than a timing.

#include <benchmark/benchmark.h>

#include <algorithm>
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

// The calibration study of docs/circinv.md: default inversions of the 40
// random soil sites k = 0..39 (synthetic::RandomSiteRecovery). The
// counters: how many true Vs30 lie inside the 10-90 % range and within 5 %
// of the median, the mean and standard deviation of median / true - 1 (%),
// the mean share of depths where the true vs is inside the band (%), and
// how many sites have it at 80 % of the depths or more. About 2 minutes.
void BM_CalibrationOverRandomSites(benchmark::State& state) {
  const int sites = 40;
  std::vector<synthetic::Recovery> recovered;
  for (auto _ : state) {
    recovered.clear();
    for (int k = 0; k < sites; ++k) recovered.push_back(synthetic::RandomSiteRecovery(k, InversionSettings{}));
  }
  double inside = 0, within_5 = 0, error_sum = 0, error_squares = 0, band_sum = 0, band_80 = 0;
  for (const synthetic::Recovery& r : recovered) {
    inside += r.vs30_in_range;
    within_5 += std::abs(r.vs30_error) <= 0.05;
    error_sum += 100 * r.vs30_error;
    error_squares += 100 * r.vs30_error * 100 * r.vs30_error;
    band_sum += 100 * r.band_coverage;
    band_80 += r.band_coverage >= 0.8;
  }
  const double n = static_cast<double>(recovered.size());
  const double mean_error = error_sum / n;
  state.counters["vs30_in_range"] = inside;
  state.counters["vs30_within_5pc"] = within_5;
  state.counters["vs30_error_mean_pc"] = mean_error;
  state.counters["vs30_error_sd_pc"] = std::sqrt(std::max(0.0, error_squares / n - mean_error * mean_error));
  state.counters["band_mean_pc"] = band_sum / n;
  state.counters["band_at_least_80pc"] = band_80;
}
BENCHMARK(BM_CalibrationOverRandomSites)->Unit(benchmark::kSecond)->Iterations(1);

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
