// gauger on a generated 2,000,000-line column file, beside `wc -l` (the
// floor) and the awk split on the same file.

#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "rms_eval/gauger.h"
#include "suite/programs.h"
#include "testsupport/bench.h"

namespace {

// 10 s windows, half overlapping, over the whole 20,000 s record.
void BM_Gauger(benchmark::State& state, const char* component) {
  const bench::ColumnFile& f = bench::ColumnFile::Get();
  const std::string params =
      "10\n0.01\n0.01\n0.5\n0\n" + std::string(component) + "\n" + f.path() + "\n" + f.In("gauger_result.txt") + "\n";
  bench::RunOverColumnFile(state, gauger::kProgram, params, bench::Results::kFilesOnly);
}

BENCHMARK_CAPTURE(BM_Gauger, u, "u")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(BM_Gauger, n, "n")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(bench::BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(bench::BM_AwkSplit)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
