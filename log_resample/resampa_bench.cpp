#include <benchmark/benchmark.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "suite/programs.h"
#include "testsupport/bench.h"

namespace {

namespace fs = std::filesystem;

// A pair file of `pairs` records: abscissae 0.001, 0.002, ... and a
// smooth positive value.
fs::path MakePairFile(int64_t pairs) {
  fs::path path = fs::temp_directory_path() / ("resampa_bench_" + std::to_string(getpid()) + ".d");
  std::ofstream file(path, std::ios::binary);
  std::string text;
  char buf[64];
  for (int64_t j = 1; j <= pairs; ++j) {
    double x = 0.001 * static_cast<double>(j);
    char* p = std::to_chars(buf, buf + sizeof buf, x).ptr;
    *p++ = ' ';
    p = std::to_chars(p, buf + sizeof buf, 1.0 + x * x).ptr;
    *p++ = '\n';
    text.append(buf, p);
    if (text.size() > (1 << 20)) {
      file << text;
      text.clear();
    }
  }
  file << text;
  return path;
}

// The generated file, removed when the benchmark program ends.
struct PairFile {
  fs::path path;
  explicit PairFile(int64_t pairs) : path(MakePairFile(pairs)) {}
  ~PairFile() { fs::remove(path); }
};

// The whole program on a 5,000,000-pair file; the argument is the grid
// step in thousandths, so 1 gives a 5,000,000-point grid and 1000 a
// 5,000-point one (reading only).
void BM_Resampa5MPairs(benchmark::State& state) {
  const int64_t kPairs = 5000000;
  static const PairFile file(kPairs);
  const double step = 0.001 * static_cast<double>(state.range(0));
  const std::string input = file.path.string() + "\n5000\n" + std::to_string(step) + "\n";
  size_t bytes = 0;
  for (auto _ : state) {
    bytes = bench::RunProgram(state, resampa::kProgram, input);
  }
  state.counters["pairs"] = static_cast<double>(kPairs);
  state.counters["out_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_Resampa5MPairs)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
