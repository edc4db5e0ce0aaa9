// Phase-velocity curves per second of the forward model on one core: a
// 5-layer soil profile (vs 150 to 800 m/s) at 30 frequencies, 2 to 30 Hz
// log-spaced, as the inversion calls it. The counters give the secular-
// function evaluations per curve.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "profile_inversion/dispersion.h"

namespace {

circinv::LayeredModel SoilProfile() {
  return {
      {{2, 350, 150, 1700}, {4, 600, 250, 1800}, {8, 1500, 380, 1900}, {12, 1800, 550, 2000}, {0, 2200, 800, 2100}}};
}

std::vector<double> Frequencies() {
  std::vector<double> f(30);
  for (int i = 0; i < 30; ++i) f[i] = 2 * std::pow(15.0, i / 29.0);
  return f;
}

void BM_Curve(benchmark::State& state, circinv::Wave wave) {
  const circinv::LayeredModel model = SoilProfile();
  const std::vector<double> f = Frequencies();
  std::vector<double> c(f.size());
  circinv::DispersionSolver solver(wave);
  for (auto _ : state) {
    solver.PhaseVelocities(model, f, c);
    benchmark::DoNotOptimize(c.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["evaluations_per_curve"] =
      static_cast<double>(solver.counts().evaluations) / static_cast<double>(state.iterations());
  state.counters["probes_per_curve"] =
      static_cast<double>(solver.counts().minimum_probes) / static_cast<double>(state.iterations());
}
BENCHMARK_CAPTURE(BM_Curve, rayleigh, circinv::Wave::kRayleigh)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Curve, love, circinv::Wave::kLove)->Unit(benchmark::kMicrosecond);

}  // namespace
