#ifndef CIRCARRAY_TESTSUPPORT_SEISMIC_TRACES_H_
#define CIRCARRAY_TESTSUPPORT_SEISMIC_TRACES_H_

// Records for the tests and benchmarks of the field-data formats.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "seisio/mseed.h"
#include "seisio/sac.h"
#include "seisio/trace.h"
#include "textio/output.h"

namespace seisio::testing {

// 2020-01-01T00:00:00 UTC.
inline constexpr int64_t kNewYear2020 = 1577836800LL * kNanosecondsPerSecond;

inline Trace MakeTrace(std::string channel, int64_t start_ns, double interval, std::vector<double> samples,
                       std::string station = "ST01") {
  Trace t;
  t.network = "XX";
  t.station = std::move(station);
  t.location = "00";
  t.channel = std::move(channel);
  t.start_ns = start_ns;
  t.interval = interval;
  t.samples = std::move(samples);
  return t;
}

// Integer counts of a smooth random signal (what a digitizer records):
// fixed seed, so every run sees the same samples.
inline std::vector<double> Counts(size_t n, uint32_t seed, double amplitude = 2000.0) {
  std::mt19937 engine(seed);
  std::normal_distribution<double> noise(0.0, amplitude / 8.0);
  std::vector<double> v(n);
  double level = 0.0;
  for (size_t i = 0; i < n; ++i) {
    level = 0.95 * level + noise(engine);
    v[i] = static_cast<double>(static_cast<int64_t>(level));
  }
  return v;
}

inline std::string SacBytes(const Trace& trace) {
  std::ostringstream os;
  {
    textio::Output out(os);
    WriteSac(trace, out);
    out.Flush();
  }
  return os.str();
}

inline std::string MiniSeedBytes(const std::vector<Trace>& traces, const MiniSeedOptions& options = {}) {
  std::ostringstream os;
  {
    textio::Output out(os);
    for (const Trace& t : traces) WriteMiniSeed(t, out, options);
    out.Flush();
  }
  return os.str();
}

// The path of a program on PATH (sac2mseed, mseed2sac), or "".
inline std::string FindTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  const std::string dirs = path != nullptr ? path : "";
  for (size_t start = 0; start <= dirs.size();) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::filesystem::path candidate = std::filesystem::path(dirs.substr(start, end - start)) / name;
    std::error_code ec;
    if (end > start && std::filesystem::is_regular_file(candidate, ec)) return candidate.string();
    start = end + 1;
  }
  return "";
}

}  // namespace seisio::testing

#endif  // CIRCARRAY_TESTSUPPORT_SEISMIC_TRACES_H_
