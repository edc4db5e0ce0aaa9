#ifndef CIRCARRAY_ARRAY_TESTING_MEMORY_SOURCE_H_
#define CIRCARRAY_ARRAY_TESTING_MEMORY_SOURCE_H_

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "array_spectra/sample_source.h"

namespace circspec::testing {

// A record already in memory, sample i at time start + i dt: for records
// made in-process (tests, benchmarks) and for callers that hold their
// samples.
class MemorySource : public GriddedSource {
 public:
  MemorySource(std::string name, std::vector<double> samples, double start, double dt)
      : GriddedSource(std::move(name), start, dt), samples_(std::move(samples)) {}

 private:
  size_t ReadSamples(double* out, size_t count) override {
    const size_t n = std::min(count, samples_.size() - next_);
    std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(next_), n, out);
    next_ += n;
    return n;
  }

  std::vector<double> samples_;
  size_t next_ = 0;
};

}  // namespace circspec::testing

#endif  // CIRCARRAY_ARRAY_TESTING_MEMORY_SOURCE_H_
