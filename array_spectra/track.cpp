#include "array_spectra/track.h"

#include <algorithm>
#include <cmath>

namespace circspec {

namespace {

// Two runs on one grid whose offsets differ by less than this fraction of
// a sample continue one another.
constexpr double kSameOffset = 1e-3;

}  // namespace

int64_t TimeGrid::IndexOf(int64_t t_ns, double* offset_ns) const {
  const int64_t d = t_ns - t0_ns;
  const int64_t k = std::llround(static_cast<double>(d) / dt_ns());
  if (offset_ns != nullptr) *offset_ns = static_cast<double>(d) - static_cast<double>(k) * dt_ns();
  return k;
}

int64_t TimeGrid::TimeOf(int64_t k) const { return t0_ns + std::llround(static_cast<double>(k) * dt_ns()); }

Track::Track(SampleSource* source, const TimeGrid& grid, size_t capacity)
    : source_(source), grid_(grid), ring_(capacity) {
  double offset = 0;
  first_index_ = grid_.IndexOf(source_->run_start_ns(), &offset);
  base_ = end_ = run_next_ = first_index_;
  offsets_.push_back({first_index_, offset});
}

void Track::AddBreak(Break::Kind kind, int64_t from, int64_t to) {
  if (to <= base_) return;  // before the samples wanted: not part of the analysis
  breaks_.push_back({kind, from, to});
  open_breaks_.push_back(breaks_.back());
}

void Track::PlaceRun() {
  if (!run_fresh_) {
    spans_ns_ += static_cast<double>(run_last_time_ns_ - run_first_time_ns_);
    spans_steps_ += run_last_index_ - run_first_index_;
  }
  run_fresh_ = true;
  double offset = 0;
  const int64_t k0 = grid_.IndexOf(source_->run_start_ns(), &offset);
  if (k0 > end_) {
    AddBreak(Break::Kind::kGap, end_, k0);
  } else if (k0 < end_) {
    AddBreak(Break::Kind::kOverlap, std::max(k0, base_), end_);
  } else if (std::fabs(offset - offsets_.back().offset_ns) > kSameOffset * grid_.dt_ns()) {
    AddBreak(Break::Kind::kJump, k0, k0 + 1);
  }
  run_next_ = k0;
  offsets_.push_back({std::max(k0, end_), offset});
}

void Track::Release(int64_t k) {
  base_ = std::max(base_, k);
  while (!open_breaks_.empty() && open_breaks_.front().to <= base_) open_breaks_.pop_front();
  // Keep the offset in force at base_ and those after it.
  size_t first_kept = 0;
  while (first_kept + 1 < offsets_.size() && offsets_[first_kept + 1].from <= base_) ++first_kept;
  if (first_kept > 0) offsets_.erase(offsets_.begin(), offsets_.begin() + static_cast<std::ptrdiff_t>(first_kept));
}

bool Track::Fill(int64_t end) {
  const auto size = static_cast<int64_t>(ring_.size());
  while (end_ < end) {
    if (run_next_ > end_) {  // a gap before the current run: nothing to read
      end_ = std::min(run_next_, std::max(end, base_));
      continue;
    }
    if (run_over_) {
      if (exhausted_ || !source_->NextRun()) {
        exhausted_ = true;
        return false;
      }
      run_over_ = false;
      PlaceRun();
      continue;
    }
    if (run_next_ < end_) {
      // The part of an overlapping run that repeats what is held is read
      // past: the overlap is a break, whichever copy is right.
      const auto want = static_cast<size_t>(std::min<int64_t>(end_ - run_next_, 4096));
      scratch_.resize(want);
      const size_t skipped = source_->Read(scratch_.data(), want);
      run_next_ += static_cast<int64_t>(skipped);
      if (skipped < want) run_over_ = true;
      continue;
    }
    // Straight into the ring, as far as it holds (samples before base_ are
    // read into it and forgotten).
    const int64_t at = ((end_ % size) + size) % size;
    const int64_t space = end_ < base_ ? base_ - end_ : size - (end_ - base_);
    if (space <= 0) return true;  // the ring is full: the caller asked beyond it
    // A run's first sample is read alone: its time, as the record gives
    // it, anchors the run's span (see run_span_ns).
    const auto want = run_fresh_ ? size_t{1} : static_cast<size_t>(std::min(space, size - at));
    const size_t n = source_->Read(&ring_[static_cast<size_t>(at)], want);
    if (n > 0) {
      run_last_index_ = end_ + static_cast<int64_t>(n) - 1;
      run_last_time_ns_ = source_->last_time_ns();
      if (run_fresh_) {
        run_first_index_ = run_last_index_;
        run_first_time_ns_ = run_last_time_ns_;
        run_fresh_ = false;
      }
    }
    end_ += static_cast<int64_t>(n);
    run_next_ = end_;
    if (n < want) {
      // The run is over: the next one is placed at once, so that a break
      // it makes is known while the windows before it are still to come.
      run_over_ = true;
      if (!exhausted_ && source_->NextRun()) {
        run_over_ = false;
        PlaceRun();
      } else {
        exhausted_ = true;
      }
    }
  }
  return true;
}

void Track::Window(int64_t k, size_t n, std::span<const double>* first, std::span<const double>* second) const {
  const auto size = static_cast<int64_t>(ring_.size());
  const auto at = static_cast<size_t>(((k % size) + size) % size);
  const size_t head = std::min(n, ring_.size() - at);
  *first = std::span<const double>(ring_.data() + at, head);
  *second = std::span<const double>(ring_.data(), n - head);
}

bool Track::Broken(int64_t k, size_t n) const {
  const int64_t end = k + static_cast<int64_t>(n);
  for (const Break& b : open_breaks_) {
    if (b.from < end && b.to > k) return true;
  }
  return false;
}

double Track::run_span_ns() const {
  return spans_ns_ + (run_fresh_ ? 0.0 : static_cast<double>(run_last_time_ns_ - run_first_time_ns_));
}

int64_t Track::run_span_steps() const { return spans_steps_ + (run_fresh_ ? 0 : run_last_index_ - run_first_index_); }

double Track::OffsetAt(int64_t k) const {
  double offset = offsets_.front().offset_ns;
  for (const Offset& o : offsets_) {
    if (o.from > k) break;
    offset = o.offset_ns;
  }
  return offset;
}

}  // namespace circspec
