#ifndef CIRCARRAY_TESTSUPPORT_BENCH_H_
#define CIRCARRAY_TESTSUPPORT_BENCH_H_

// Shared by the benchmarks: one in-process run of a program with its
// output counted and dropped; a generated column file of 2,000,000
// "time u e n" lines (about 100 MB), made once per benchmark run in a
// private temporary directory and removed at exit; and the shell commands
// a user would otherwise type on such a file.

#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "suite/runtime.h"
#include "testsupport/capped_device.h"

namespace bench {

// Runs `program` once with the command-line arguments `args` on `input`
// with its standard output counted and dropped, in `directory` (relative
// file names lead there). A run that fails or writes to standard error
// marks the benchmark as failed. Returns the bytes written.
inline size_t RunProgramWithArgs(benchmark::State& state, const suite::Program& program, std::vector<std::string> args,
                                 const std::string& input, const std::filesystem::path& directory = {}) {
  std::istringstream in(input);
  testsupport::CappedDevice sink(std::numeric_limits<size_t>::max(), testsupport::CappedDevice::Keep::kCountOnly);
  std::ostream out(&sink);
  std::ostringstream err;
  suite::Invocation invocation;
  invocation.args = std::move(args);
  invocation.directory = directory;
  if (suite::Invoke(program, {in, out, err}, std::move(invocation)) != 0 || !err.str().empty()) {
    state.SkipWithError(("failed: " + err.str()).c_str());
  }
  return sink.taken_bytes();
}

// The same without arguments.
inline size_t RunProgram(benchmark::State& state, const suite::Program& program, const std::string& input,
                         const std::filesystem::path& directory = {}) {
  return RunProgramWithArgs(state, program, {}, input, directory);
}

inline constexpr long kColumnFileLines = 2'000'000;

class ColumnFile {
 public:
  static const ColumnFile& Get() {
    static const ColumnFile file;
    return file;
  }

  const std::filesystem::path& dir() const { return dir_; }
  std::string path() const { return (dir_ / "record.txt").string(); }
  std::string In(const std::string& name) const { return (dir_ / name).string(); }

 private:
  ColumnFile() {
    dir_ = std::filesystem::temp_directory_path() / ("circarray_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    // Samples at 100 Hz: the time with 2 decimals, three noise components
    // with 7 significant digits, as a digitiser export might hold them.
    std::mt19937_64 gen(12345);
    std::normal_distribution<double> noise(0.0, 1.0e-3);
    std::string text;
    text.reserve(56 * 4096);
    std::ofstream out(path(), std::ios::binary);
    char buf[32];
    for (long i = 1; i <= kColumnFileLines; ++i) {
      text.append(buf,
                  std::to_chars(buf, buf + sizeof buf, 0.01 * static_cast<double>(i), std::chars_format::fixed, 2).ptr);
      for (int c = 0; c < 3; ++c) {
        text.push_back(' ');
        text.append(buf, std::to_chars(buf, buf + sizeof buf, noise(gen), std::chars_format::scientific, 6).ptr);
      }
      text.push_back('\n');
      if (text.size() > 55 * 4096) {
        out << text;
        text.clear();
      }
    }
    out << text;
  }
  ~ColumnFile() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::filesystem::path dir_;
};

// Counts the column file's bytes once per iteration run so far, so that
// programs and commands over it compare in bytes per second.
inline void CountColumnFileBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(ColumnFile::Get().path())));
}

// Where a program over the column file writes its results.
enum class Results { kFilesOnly, kAlsoStandardOutput };

// Runs `program` on `input` once per iteration, over the column file;
// with Results::kFilesOnly, a run that writes standard output fails.
inline void RunOverColumnFile(benchmark::State& state, const suite::Program& program, const std::string& input,
                              Results results) {
  for (auto _ : state) {
    const size_t written = RunProgram(state, program, input);
    if (results == Results::kFilesOnly && written != 0) state.SkipWithError("wrote to standard output");
  }
  CountColumnFileBytes(state);
}

// Runs a shell command once per iteration (timed in wall-clock time).
inline void RunCommand(benchmark::State& state, const std::string& command) {
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
  }
  CountColumnFileBytes(state);
}

// The split by hand that wendle replaces: time and each component into
// u.d, e.d and n.d.
inline void BM_AwkSplit(benchmark::State& state) {
  const ColumnFile& f = ColumnFile::Get();
  RunCommand(state, "cd '" + f.dir().string() +
                        "' && awk '{print $1, $2 > \"u.d\"; print $1, $3 > \"e.d\"; print $1, $4 > \"n.d\"}' "
                        "record.txt");
}

// The floor: reading the file once and counting its lines.
inline void BM_WcLines(benchmark::State& state) {
  RunCommand(state, "wc -l < '" + ColumnFile::Get().path() + "' > /dev/null");
}

}  // namespace bench

#endif  // CIRCARRAY_TESTSUPPORT_BENCH_H_
