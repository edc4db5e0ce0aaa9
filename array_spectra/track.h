#ifndef CIRCARRAY_ARRAY_SPECTRA_TRACK_H_
#define CIRCARRAY_ARRAY_SPECTRA_TRACK_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "array_spectra/sample_source.h"

namespace circspec {

// The time grid all stations are placed on: sample k at t0 + k dt.
struct TimeGrid {
  int64_t t0_ns = 0;
  double dt = 0;  // seconds

  double dt_ns() const { return dt * 1e9; }
  // The index of the grid time nearest to t, and t's offset from it in
  // nanoseconds (within half a sample).
  int64_t IndexOf(int64_t t_ns, double* offset_ns = nullptr) const;
  // The grid time of index k.
  int64_t TimeOf(int64_t k) const;
};

// Where one channel's record does not continue on its grid: the samples
// at grid indices [from, to) are missing (a gap), were given twice (an
// overlap: the later copy is dropped, and the earlier one cannot be told
// right), or the clock jumped by a fraction of a sample there (one index).
struct Break {
  enum class Kind { kGap, kOverlap, kJump };
  Kind kind;
  int64_t from, to;
};

// One channel's samples placed on the array's grid, held in a ring buffer
// that the source writes into directly: the samples move once, from the
// decoder into the ring, and from the ring into a segment.
//
// Each run of the source (see SampleSource) is placed at the grid index
// nearest to its start; its offset from the grid, |tau| <= dt/2, is the
// run's clock offset, which the analysis takes out of the spectra. A run
// that starts beyond the samples held leaves a gap, one that starts within
// them an overlap, and one that continues them with another offset (by
// more than 1e-3 dt) a jump; each is a Break, and a segment that holds one
// is left out.
class Track {
 public:
  Track(SampleSource* source, const TimeGrid& grid, size_t capacity);

  // The grid index of the record's first sample.
  int64_t first_index() const { return first_index_; }
  // Samples are wanted from index `k` on: those below are forgotten (and
  // those not yet read below it are read past).
  void Release(int64_t k);
  // Makes the samples up to index `end` (exclusive) available, reading
  // ahead as far as the ring holds; false if the record ends before.
  bool Fill(int64_t end);

  // The samples at [k, k + n) (within what Fill made available and not
  // released), in one or two pieces of the ring.
  void Window(int64_t k, size_t n, std::span<const double>* first, std::span<const double>* second) const;
  // Whether [k, k + n) holds a break.
  bool Broken(int64_t k, size_t n) const;
  // The clock offset (ns) of the run that holds index k.
  double OffsetAt(int64_t k) const;
  // The offset of the record's first run.
  double first_offset_ns() const { return offsets_.front().offset_ns; }

  // Every break found so far that lies at or after the released index at
  // the time it was found, in order.
  const std::vector<Break>& breaks() const { return breaks_; }

  // The time the samples read span within their runs, as the records give
  // their times, and the grid steps they span: their ratio is the
  // channel's mean sampling interval, whatever its gaps and offsets.
  double run_span_ns() const;
  int64_t run_span_steps() const;

  const SampleSource& source() const { return *source_; }

 private:
  // Places the source's current run on the grid.
  void PlaceRun();
  void AddBreak(Break::Kind kind, int64_t from, int64_t to);

  struct Offset {
    int64_t from;  // the offset holds from this index on
    double offset_ns;
  };

  SampleSource* source_;
  TimeGrid grid_;
  std::vector<double> ring_;     // index k at ring_[k mod size]
  std::vector<double> scratch_;  // samples read past
  int64_t first_index_ = 0;
  // The first and the last sample read of the current run (grid index,
  // time), and the spans of the runs before it.
  int64_t run_first_index_ = 0, run_last_index_ = 0;
  int64_t run_first_time_ns_ = 0, run_last_time_ns_ = 0;
  bool run_fresh_ = true;  // nothing read of the current run yet
  double spans_ns_ = 0;
  int64_t spans_steps_ = 0;
  int64_t base_ = 0;        // the lowest index wanted
  int64_t end_ = 0;         // one past the last index placed (read, or in a gap)
  int64_t run_next_ = 0;    // the index the current run's next sample goes to
  bool run_over_ = false;   // the source's current run is read to its end
  bool exhausted_ = false;  // no run left
  std::vector<Offset> offsets_;
  std::deque<Break> open_breaks_;  // those reaching past base_
  std::vector<Break> breaks_;
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_TRACK_H_
