// wendle on a generated 2,000,000-line column file, beside the awk split
// it replaces and `wc -l` (the floor), all on the same file.

#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "component_split/wendle.h"
#include "suite/programs.h"
#include "testsupport/bench.h"

namespace {

void BM_Wendle(benchmark::State& state) {
  const bench::ColumnFile& f = bench::ColumnFile::Get();
  const std::string params = std::to_string(state.range(0)) + "\n1\n" + f.path() + "\n" + f.In("wendle_") + "\n";
  bench::RunOverColumnFile(state, wendle::kProgram, params, bench::Results::kFilesOnly);
}

BENCHMARK(BM_Wendle)->Arg(3)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(bench::BM_AwkSplit)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(bench::BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

}  // namespace
