// Reading a day of a three-component station at 100 Hz: 3 x 8,640,000
// samples as miniSEED (Steim 2 counts in 4096-byte records, the common
// archive form), written once per run by this library's writer. Reported:
// the time per read, the samples per second and the peak memory of the
// process during the reads (counter peak_MB, the high-water mark of the
// resident set in MiB, reset before the first read; file_MB the file size).
//
//   build/seisio/seisio_bench --benchmark_filter=Day

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "seisio/mseed.h"
#include "seisio/sac.h"
#include "testsupport/seismic_traces.h"
#include "testsupport/temp_dir.h"

namespace {

constexpr size_t kDaySamples = 8'640'000;  // 24 h at 100 Hz

// The day's files, made once: one miniSEED file of the three channels, and
// the vertical channel alone as SAC.
class DayFiles {
 public:
  static const DayFiles& Get() {
    static const DayFiles files;
    return files;
  }
  std::string mseed() const { return dir_ / "day.mseed"; }
  std::string sac() const { return dir_ / "day_z.sac"; }

 private:
  DayFiles() : dir_("seisio_bench") {
    using namespace seisio;
    std::ofstream mseed_file(mseed(), std::ios::binary);
    textio::Output mseed_out(mseed_file, mseed());
    const char* channels[] = {"HHZ", "HHE", "HHN"};
    for (uint32_t k = 0; k < 3; ++k) {
      // One channel at a time, so the writing costs one channel's memory.
      const Trace t = testing::MakeTrace(channels[k], testing::kNewYear2020, 0.01, testing::Counts(kDaySamples, k));
      WriteMiniSeed(t, mseed_out, {MiniSeedEncoding::kSteim2, 4096});
      if (k == 0) {
        std::ofstream sac_file(sac(), std::ios::binary);
        textio::Output sac_out(sac_file, sac());
        WriteSac(t, sac_out);
        sac_out.Flush();
      }
    }
    mseed_out.Flush();
  }
  testsupport::TempDir dir_;
};

// The high-water mark of the resident set, in MB, and its reset (Linux:
// writing 5 to /proc/self/clear_refs).
double PeakResidentMB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0.0;
}
void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Reports the samples each iteration handles as the rate samples/s.
void CountSamples(benchmark::State& state, double samples) {
  state.counters["samples/s"] = benchmark::Counter(samples, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ReadMiniSeedDay(benchmark::State& state) {
  const DayFiles& files = DayFiles::Get();
  ResetPeakResident();
  size_t samples = 0;
  for (auto _ : state) {
    std::ifstream in(files.mseed(), std::ios::binary);
    const std::vector<seisio::Trace> traces = seisio::ReadMiniSeed(in, files.mseed());
    samples = 0;
    for (const seisio::Trace& t : traces) samples += t.samples.size();
    benchmark::DoNotOptimize(traces.data());
  }
  if (samples != 3 * kDaySamples) state.SkipWithError("wrong sample count");
  state.counters["peak_MB"] = PeakResidentMB();
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(files.mseed())) / (1 << 20);
  CountSamples(state, static_cast<double>(samples));
}
BENCHMARK(BM_ReadMiniSeedDay)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadSacDayChannel(benchmark::State& state) {
  const DayFiles& files = DayFiles::Get();
  for (auto _ : state) {
    std::ifstream in(files.sac(), std::ios::binary);
    const seisio::Trace t = seisio::ReadSac(in, files.sac());
    benchmark::DoNotOptimize(t.samples.data());
  }
  CountSamples(state, static_cast<double>(kDaySamples));
}
BENCHMARK(BM_ReadSacDayChannel)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteMiniSeedHour(benchmark::State& state) {
  const seisio::Trace t =
      seisio::testing::MakeTrace("HHZ", seisio::testing::kNewYear2020, 0.01, seisio::testing::Counts(360'000, 9));
  for (auto _ : state) {
    std::ostringstream os;
    textio::Output out(os);
    seisio::WriteMiniSeed(t, out, {seisio::MiniSeedEncoding::kSteim2, 4096});
    out.Flush();
    benchmark::DoNotOptimize(os.str().size());
  }
  CountSamples(state, 360'000.0);
}
BENCHMARK(BM_WriteMiniSeedHour)->Unit(benchmark::kMillisecond);

}  // namespace
