// corral on a generated 2,000,000-line column file, beside the awk split
// (the comparable hand-made alternative) and `wc -l` (the floor).

#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "centre_series/corral.h"
#include "suite/programs.h"
#include "testsupport/bench.h"

namespace {

void BM_Corral(benchmark::State& state) {
  const bench::ColumnFile& f = bench::ColumnFile::Get();
  const int ncomp = static_cast<int>(state.range(0));
  std::string params = "0 0\n" + f.path() + "\n" + std::to_string(ncomp) + "\n0\n";
  for (int k = 1; k <= ncomp; ++k) params += f.In("corral_" + std::to_string(k) + ".d") + "\n";
  bench::RunOverColumnFile(state, corral::kProgram, params, bench::Results::kAlsoStandardOutput);
}

BENCHMARK(BM_Corral)->Arg(3)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(bench::BM_AwkSplit)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(bench::BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

}  // namespace
