#ifndef CIRCARRAY_ARRAY_SPECTRA_MEMORY_SOURCE_H_
#define CIRCARRAY_ARRAY_SPECTRA_MEMORY_SOURCE_H_

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "array_spectra/sample_source.h"

namespace circspec {

// A record already in memory, sample i at time start + i dt: for records
// made in-process (tests, benchmarks) and for callers that hold their
// samples.
class MemorySource : public SampleSource {
 public:
  MemorySource(std::string name, std::vector<double> samples, double start, double dt)
      : name_(std::move(name)), samples_(std::move(samples)), start_(start), dt_(dt) {}

  const std::string& name() const override { return name_; }
  double start_time() const override { return start_; }
  double first_step() const override { return dt_; }
  size_t Read(double* out, size_t count) override {
    const size_t n = std::min(count, samples_.size() - next_);
    std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(next_), n, out);
    next_ += n;
    return n;
  }
  long samples_read() const override { return static_cast<long>(next_); }
  double last_time() const override { return start_ + dt_ * static_cast<double>(next_ - 1); }

 private:
  std::string name_;
  std::vector<double> samples_;
  double start_, dt_;
  size_t next_ = 0;
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_MEMORY_SOURCE_H_
