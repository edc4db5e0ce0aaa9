// vantor end to end on 100,000 frequencies of SPAC coefficients (itype 1)
// spread over the model's range.

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "suite/programs.h"
#include "testsupport/bench.h"
#include "textio/output.h"

namespace {

std::string SpacInput(int lines) {
  std::string text = "1 10.0 0.0 1.0e9\n";
  std::string line;
  for (int i = 0; i < lines; ++i) {
    float freq = 0.5f + 0.001f * static_cast<float>(i);
    // Observed J0 values from just below 1 down to J0(3.83) = -0.4028.
    float observed = 0.999f - 1.4f * static_cast<float>(i % 1000) / 1000.0f;
    line.clear();
    textio::FreeLine(&line).Add(freq).Add(observed).End();
    text += line;
  }
  return text;
}

void BM_Vantor100k(benchmark::State& state) {
  const std::string input = SpacInput(100000);
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench::RunProgram(state, vantor::kProgram, input));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 100000);
}
BENCHMARK(BM_Vantor100k)->Unit(benchmark::kMillisecond);

}  // namespace
