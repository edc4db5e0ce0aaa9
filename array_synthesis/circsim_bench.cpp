// Speed of circsim: one station's synthesis and record writing per hour of
// record, and the whole program for a day-long record of a six-station
// array (centre + 5 on a 10 m circle) at 100 Hz, with its peak memory.
//   circsim_bench --benchmark_filter=Day   (about a minute, 3.3 GB of files)
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "array_synthesis/record_writer.h"
#include "array_synthesis/sincos.h"
#include "array_synthesis/synthesis.h"
#include "suite/programs.h"
#include "testsupport/run_program.h"

namespace {

constexpr long kHour = 360000;  // samples at 100 Hz

circsim::Wavefield Field(long samples) {
  circsim::Wavefield w;
  w.samples = samples;
  w.dt = 0.01;
  w.band = circsim::Band{0.5, 40};
  return w;
}

void BM_SynthesizeStationHour(benchmark::State& state) {
  circsim::Wavefield w = Field(kHour);
  w.waves = static_cast<int>(state.range(0));
  w.noise = 0.1;
  const circsim::Synthesizer synth(w);
  circsim::StationRecord record(w.samples);
  for (auto _ : state) {
    synth.Synthesize({"S1", 72, 10}, &record);
    benchmark::DoNotOptimize(record.series(0).data());
  }
  state.counters["waves/s"] =
      benchmark::Counter(static_cast<double>((synth.last_bin() - synth.first_bin() + 1) * w.waves),
                         benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SynthesizeStationHour)->Arg(64)->Arg(16)->Unit(benchmark::kMillisecond);

// Writing into a string stream: formatting alone, no disk.
void BM_WriteStationHour(benchmark::State& state) {
  const circsim::Synthesizer synth(Field(kHour));
  circsim::StationRecord record(kHour);
  synth.Synthesize({"S1", 72, 10}, &record);
  for (auto _ : state) {
    std::ostringstream os;
    textio::Output out(os);
    circsim::WriteColumns(record, 0.01, 0, 9, out);
    out.Flush();
    benchmark::DoNotOptimize(os.tellp());
  }
  state.counters["lines/s"] = benchmark::Counter(kHour, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_WriteStationHour)->Unit(benchmark::kMillisecond);

void BM_SinCos(benchmark::State& state) {
  double x = 0.1, sum = 0;
  for (auto _ : state) {
    const circsim::SinCosValue v = circsim::SinCos(x);
    sum += v.sin + v.cos;
    x += 1.37;
  }
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_SinCos);

// The program end to end: 24 h, centre + 5 stations, default options,
// files written to a temporary folder and removed afterwards.
void BM_CircsimDay(benchmark::State& state) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("circsim_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "layout.txt") << "C 0 0 C.txt\nS1 0 10 S1.txt\nS2 72 10 S2.txt\n"
                                       "S3 144 10 S3.txt\nS4 216 10 S4.txt\nS5 288 10 S5.txt\n";
  const testsupport::RunOptions options{{"--duration", std::to_string(state.range(0)), "layout.txt"}, dir};
  for (auto _ : state) {
    const testsupport::Outcome run = testsupport::RunInProcess(circsim::kProgram, "", options);
    if (run.status != 0) state.SkipWithError(run.err.c_str());
  }
  uintmax_t bytes = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) bytes += entry.file_size();
  std::filesystem::remove_all(dir);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
  state.counters["files_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_CircsimDay)->Arg(3600)->Arg(86400)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
