#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "suite/programs.h"
#include "testsupport/bench.h"

namespace {

// A series of `count` values, one per line.
std::string MakeSeries(int count) {
  std::string text = std::to_string(count) + "\n0.01\n0.0\n";
  text.reserve(text.size() + 12 * static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) text += std::to_string(static_cast<double>(i % 20000) * 0.125 - 1000.0) + "\n";
  return text;
}

// One run of snippa, its output thrown away.
void RunOnce(benchmark::State& state, const std::string& input) { bench::RunProgram(state, snippa::kProgram, input); }

// A 4,000,000-line series; the argument picks the segment of 1,000,000
// values: 1 copies the first million, 4 skips three million lines first.
// Bytes processed count the whole input.
void BM_SnippaSegment(benchmark::State& state) {
  const int kCount = 4000000;
  static const std::string series = MakeSeries(kCount);
  const std::string input = std::to_string(state.range(0)) + " 1000000\n" + series;
  for (auto _ : state) RunOnce(state, input);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(input.size()));
}
BENCHMARK(BM_SnippaSegment)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

// The whole 4,000,000-value series copied (segment length 0).
void BM_SnippaWholeSeries(benchmark::State& state) {
  static const std::string input = "1 0\n" + MakeSeries(4000000);
  for (auto _ : state) RunOnce(state, input);
  state.SetItemsProcessed(state.iterations() * 4000000);
}
BENCHMARK(BM_SnippaWholeSeries)->Unit(benchmark::kMillisecond);

}  // namespace
