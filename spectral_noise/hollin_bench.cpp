#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "suite/programs.h"
#include "testsupport/bench.h"

namespace {

// Whole runs over many mode-2 records: reading 60 floats per record
// dominates, the closed form itself is a few dozen flops.
void BM_HollinMode2(benchmark::State& state) {
  std::string input = "2 4\n";
  for (int64_t i = 0; i < state.range(0); ++i) {
    for (int g = 0; g < 15; ++g) {
      input += std::to_string(0.01 * static_cast<double>(i + 1)) + " " + std::to_string(1.0 + 0.001 * g) + " " +
               std::to_string(0.01 * g) + " 0\n";
    }
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench::RunProgram(state, hollin::kProgram, input));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HollinMode2)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
