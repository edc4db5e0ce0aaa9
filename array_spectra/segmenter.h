#ifndef CIRCARRAY_ARRAY_SPECTRA_SEGMENTER_H_
#define CIRCARRAY_ARRAY_SPECTRA_SEGMENTER_H_

#include <cstddef>
#include <memory>
#include <vector>

#include "array_spectra/sample_source.h"

namespace circspec {

using Sources = std::vector<std::unique_ptr<SampleSource>>;

// Checks, before any sample is used, that the stations can be processed
// together: their start times agree within half a sampling interval and
// their first time steps within 1 %. Throws textio::InputError naming the
// two files that disagree.
void CheckCommonStart(const Sources& sources);

// Checks, after reading, that the stations share the sampling interval:
// each station's mean step over the samples read, (t_last - t_first) /
// (count - 1), agrees with the first station's within a relative 1e-6.
// Over a long record this is far sharper than any single step (a clock
// off by 1e-6 drifts by one sample in 10^6). Throws textio::InputError.
void CheckCommonRate(const Sources& sources);

// Pulls the same window of samples from every station, window after
// window: windows of `length` samples starting every `step` samples
// (step <= length; length - step samples are shared with the previous
// window). Only one window per station is held, so memory does not depend
// on the record length. The windows end with the shortest record: the
// common length.
class Segmenter {
 public:
  Segmenter(Sources* sources, size_t length, size_t step);

  // Moves to the next window; false once a station has run out.
  bool Next();

  // The current window of station `s`: `length` samples.
  const double* window(size_t s) const { return windows_[s].data(); }
  size_t stations() const { return windows_.size(); }
  // Windows delivered so far.
  long count() const { return count_; }

 private:
  Sources* sources_;
  size_t length_, step_;
  std::vector<std::vector<double>> windows_;
  long count_ = 0;
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_SEGMENTER_H_
