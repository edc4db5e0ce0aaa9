#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "noise_ratio/quillon.h"
#include "suite/programs.h"
#include "testsupport/bench.h"

namespace quillon {
namespace {

// A coherence table as array processing would deliver it: a 30 m array of
// four circle stations, phase velocity falling from 600 to 200 m/s over
// 1-20 Hz, a noise ratio between 0.05 and 1 that varies from frequency to
// frequency, and a little scatter on both observations. Values carry seven
// significant digits, as such tables do.
std::string CoherenceTable(int records) {
  constexpr double kRadius = 30.0;
  constexpr int kStations = 4;
  std::string text = "30.0 4\n";
  uint32_t state = 12345u;
  auto uniform = [&state]() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) * (1.0 / 16777216.0);
  };
  char buf[160];
  for (int i = 0; i < records; ++i) {
    const double freq = 1.0 + 19.0 * i / records;
    const double velocity = 600.0 - 400.0 * (freq - 1.0) / 19.0;
    const double kr = 2.0 * M_PI * freq * kRadius / velocity;
    const double eps = 0.05 + 0.95 * uniform();
    const double j0 = std::cyl_bessel_j(0.0, kr);
    const double rho = j0 / (1.0 + eps) + 0.02 * (uniform() - 0.5);
    const double coh = j0 * j0 / ((j0 * j0 + eps / kStations) * (1.0 + eps)) + 0.02 * (uniform() - 0.5);
    std::snprintf(buf, sizeof buf, "%.7g %.7g %.7g %.7g %.7g %.7g\n", freq, coh, freq, rho, freq, 0.0);
    text += buf;
  }
  return text;
}

void BM_Quillon(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::string input = CoherenceTable(records);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quillon_bench_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  for (auto _ : state) bench::RunProgram(state, kProgram, input, dir);
  state.SetItemsProcessed(state.iterations() * records);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_Quillon)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillon
