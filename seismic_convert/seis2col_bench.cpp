// seis2col on an hour of a station at 100 Hz (3 x 360,000 samples as
// miniSEED): reading, checking and writing 360,000 lines of column text.

#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "seismic_convert/seis2col.h"
#include "suite/programs.h"
#include "testsupport/bench.h"
#include "testsupport/seismic_traces.h"
#include "testsupport/temp_dir.h"

namespace {

void BM_Seis2colHour(benchmark::State& state) {
  using namespace seisio;
  testsupport::TempDir dir("seis2col_bench");
  {
    std::vector<Trace> t;
    const char* channels[] = {"HHZ", "HHE", "HHN"};
    for (uint32_t k = 0; k < 3; ++k) {
      t.push_back(testing::MakeTrace(channels[k], testing::kNewYear2020, 0.01, testing::Counts(360'000, k)));
    }
    std::ofstream(dir / "hour.mseed", std::ios::binary) << testing::MiniSeedBytes(t);
  }
  size_t bytes = 0;
  for (auto _ : state) bytes = bench::RunProgramWithArgs(state, seis2col::kProgram, {"hour.mseed"}, "", dir.path());
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
  state.counters["lines/s"] = benchmark::Counter(360'000.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Seis2colHour)->Unit(benchmark::kMillisecond);

}  // namespace
