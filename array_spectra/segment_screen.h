#ifndef CIRCARRAY_ARRAY_SPECTRA_SEGMENT_SCREEN_H_
#define CIRCARRAY_ARRAY_SPECTRA_SEGMENT_SCREEN_H_

#include <cstddef>
#include <functional>
#include <queue>
#include <vector>

namespace circspec {

// The median of the values added so far (the mean of the two middle ones
// for an even count), kept in two heaps: O(log n) per value.
class RunningMedian {
 public:
  void Add(double v);
  double Median() const;  // NaN while empty
  size_t size() const { return lower_.size() + upper_.size(); }

 private:
  std::priority_queue<double> lower_;                                       // the smaller half
  std::priority_queue<double, std::vector<double>, std::greater<>> upper_;  // the larger half
};

// Rejection of disturbed segments (--reject K): a segment is dropped when
// any station's RMS (of the detrended segment) exceeds K times that
// station's median segment RMS over the whole record.
//
// The medians are known only at the end, yet the records are read once.
// So each segment gets a provisional verdict as it arrives: kept outright
// when every station's RMS is at most kMargin * K times the median of the
// earlier segments, otherwise deferred (the caller keeps its smoothed
// sums aside until the end). Once the medians are known, Rejected() gives
// the exact decision; a deferred segment that is kept is added then, and
// a provisionally kept segment that proves rejected means the guess was
// wrong (the level of the record changed by more than 1/kMargin), which
// the caller repairs by processing the records once more with the exact
// decisions. The margin makes that rare while deferring only the loud
// segments.
class SegmentScreen {
 public:
  static constexpr double kMargin = 0.5;
  static constexpr size_t kWarmup = 16;  // segments deferred while a median forms

  SegmentScreen(size_t stations, double k);

  enum class Verdict { kKeep, kDefer };
  // Records the next segment's RMS per station; its provisional verdict.
  Verdict Record(const double* rms);

  // Fixes the medians after the last segment.
  void Finish();
  // Exact decision for segment `s` (after Finish()).
  bool Rejected(long s) const;
  long segments() const { return static_cast<long>(rms_.size() / stations_); }
  long rejected_count() const;
  double median(size_t station) const { return medians_[station]; }

 private:
  size_t stations_;
  double k_;
  std::vector<double> rms_;  // segment-major: rms_[s * stations_ + j]
  std::vector<RunningMedian> running_;
  std::vector<double> medians_;
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_SEGMENT_SCREEN_H_
