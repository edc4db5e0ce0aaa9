#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "core/fzero.h"
#include "noise_table/bslnoise.h"
#include "noise_table/tessel.h"
#include "suite/programs.h"
#include "testsupport/bench.h"

namespace tessel {
namespace {

// The whole program on the usual parameters: one full 599-row table.
void BM_FullTable(benchmark::State& state) {
  const std::string input = "0.1 1\n";
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench::RunProgram(state, kProgram, input));
  }
}
BENCHMARK(BM_FullTable)->Unit(benchmark::kMillisecond);

// The same table with the model function evaluating its four Bessel values
// at every trial point, for comparison with the per-row evaluation.
void BM_FullTableBesselPerEvaluation(benchmark::State& state) {
  for (auto _ : state) {
    RkBlock blk;
    blk.shift = 0.1f;
    blk.ndiv = 1;
    float rk = kFirstRk;
    for (int row = 0; row < kRows; ++row) {
      blk.rk = rk;
      auto residual = [&blk](float b) { return bslnoise(b, blk); };
      benchmark::DoNotOptimize(core::fzero(residual, 0.0f, 10.0f, 10.0f, 1.0e-12f, 1.0e-12f));
      rk = rk + kRkStep;
    }
  }
}
BENCHMARK(BM_FullTableBesselPerEvaluation)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessel
