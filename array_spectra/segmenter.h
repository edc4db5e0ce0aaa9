#ifndef CIRCARRAY_ARRAY_SPECTRA_SEGMENTER_H_
#define CIRCARRAY_ARRAY_SPECTRA_SEGMENTER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "array_spectra/sample_source.h"
#include "array_spectra/track.h"

namespace circspec {

using Sources = std::vector<std::unique_ptr<SampleSource>>;

// The grid the stations are placed on: the first source's first sample
// and sampling interval. Checks that the sources can be placed on one
// grid: their sampling intervals agree within 1 % (the exact rate is
// checked after reading, CheckCommonRate), and their times are all UTC
// or all from their own origin. Throws textio::InputError naming the two
// sources that disagree.
TimeGrid CommonGrid(const Sources& sources);

// The span a run analyses (--start, --end): each bound in seconds after
// the first sample that every station has, or as a UTC time.
struct SpanChoice {
  struct Bound {
    double seconds = 0;             // after the first common sample
    std::optional<int64_t> utc_ns;  // a UTC time instead
  };
  std::optional<Bound> start, end;
};

// Pulls the same window of samples from every channel, window after
// window, on the common grid: windows of `length` samples starting every
// `step` samples (step <= length), from the first sample that every
// channel has (or --start) to where the first channel ends (or --end).
// Stations that start or end at different times are thus analysed over
// their common span. Each channel is a Track: a ring buffer the samples
// are read into once, so memory does not depend on the record length. A
// window that holds a break of any channel (a gap, an overlap, a clock
// jump) is delivered as not whole, for the caller to leave out.
class Segmenter {
 public:
  // Throws textio::InputError where the span asked for lies outside the
  // records (a start before the common start, an end before the start).
  Segmenter(Sources* sources, const TimeGrid& grid, const SpanChoice& span, size_t length, size_t step);

  // Moves to the next window; false once a channel has run out or the
  // end of the span is reached.
  bool Next();

  // The grid index of the current window's first sample.
  int64_t start() const { return start_; }
  // Whether no channel has a break inside the current window.
  bool whole() const;
  // Channel s's samples of the current window, in one or two pieces.
  void Window(size_t s, std::span<const double>* first, std::span<const double>* second) const {
    tracks_[s].Window(start_, length_, first, second);
  }
  // Channel s's clock offset over the current window, seconds.
  double offset(size_t s) const { return tracks_[s].OffsetAt(start_) / 1e9; }

  size_t channels() const { return tracks_.size(); }
  const Track& track(size_t s) const { return tracks_[s]; }
  // Windows delivered so far.
  long count() const { return count_; }
  // The first index every channel has, and the first the span asks for.
  int64_t common_first() const { return common_first_; }
  int64_t begin() const { return begin_; }
  // The number of windows the records will give, where every source knows
  // its length ahead (see SampleSource::length_hint); an estimate, as gaps
  // count in the lengths.
  std::optional<long> ExpectedWindows() const;
  const TimeGrid& grid() const { return grid_; }

 private:
  std::vector<Track> tracks_;
  TimeGrid grid_;
  size_t length_, step_;
  int64_t common_first_ = 0, begin_ = 0;
  std::optional<int64_t> end_;
  int64_t start_ = 0;
  long count_ = 0;
};

// Checks, after reading, that the stations share the sampling rate: each
// channel's mean step over the samples read, the time its runs span over
// the grid steps they span (Track::run_span_ns), agrees with the first
// channel's within a relative 1e-6.
// Over a long record this is far sharper than any single step (a clock off
// by 1e-6 drifts by one sample in 10^6). Throws textio::InputError.
void CheckCommonRate(const Segmenter& segmenter);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_SEGMENTER_H_
