#ifndef CIRCARRAY_ARRAY_TESTING_MEMORY_SOURCE_H_
#define CIRCARRAY_ARRAY_TESTING_MEMORY_SOURCE_H_

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "array_spectra/sample_source.h"

namespace circspec::testing {

// A record already in memory, in runs: run r's sample i at start_ns + i dt.
class MemorySource : public SampleSource {
 public:
  struct Run {
    int64_t start_ns = 0;
    std::vector<double> samples;
  };

  MemorySource(std::string name, std::vector<Run> runs, double dt, bool utc = false)
      : name_(std::move(name)), runs_(std::move(runs)), dt_(dt), utc_(utc) {
    for (const Run& r : runs_) views_.emplace_back(r.samples);
  }
  // One run, sample i at start + i dt (seconds).
  MemorySource(std::string name, std::vector<double> samples, double start, double dt)
      : MemorySource(std::move(name), {Run{Nanoseconds(start), std::move(samples)}}, dt) {}
  // One run of samples held elsewhere, which must outlive the source.
  MemorySource(std::string name, std::span<const double> samples, double start, double dt)
      : name_(std::move(name)), runs_{Run{Nanoseconds(start), {}}}, views_{samples}, dt_(dt), utc_(false) {}

  const std::string& name() const override { return name_; }
  double interval() const override { return dt_; }
  bool absolute_time() const override { return utc_; }
  int64_t run_start_ns() const override { return runs_[run_].start_ns; }
  std::optional<int64_t> length_hint() const override {
    int64_t n = 0;
    for (const std::span<const double>& v : views_) n += static_cast<int64_t>(v.size());
    return n;
  }
  size_t Read(double* out, size_t count) override {
    const std::span<const double> samples = views_[run_];
    const size_t n = std::min(count, samples.size() - next_);
    std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(next_), n, out);
    next_ += n;
    return n;
  }
  bool NextRun() override {
    if (run_ + 1 >= runs_.size()) return false;
    ++run_;
    next_ = 0;
    return true;
  }
  int64_t last_time_ns() const override { return run_start_ns() + Nanoseconds(static_cast<double>(next_) * dt_ - dt_); }

 private:
  std::string name_;
  std::vector<Run> runs_;
  std::vector<std::span<const double>> views_;  // of each run's samples
  double dt_;
  bool utc_;
  size_t run_ = 0, next_ = 0;
};

}  // namespace circspec::testing

#endif  // CIRCARRAY_ARRAY_TESTING_MEMORY_SOURCE_H_
