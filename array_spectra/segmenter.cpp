#include "array_spectra/segmenter.h"

#include <algorithm>
#include <cmath>

#include "seisio/trace.h"
#include "textio/errors.h"
#include "textio/format.h"

namespace circspec {

namespace {

constexpr double kRateTolerance = 1e-6;  // relative, on the mean step
constexpr double kIntervalTolerance = 0.01;
// Samples a track reads ahead beyond a window: many lines or records a
// read, and a ring that stays in the cache.
constexpr size_t kReadAhead = size_t{1} << 13;

// A time of the grid as a user reads it: UTC, or seconds from the
// records' own origin.
std::string TimeText(const TimeGrid& grid, bool utc, int64_t k) {
  const int64_t t = grid.TimeOf(k);
  return utc ? seisio::IsoTime(t) : textio::Shortest(static_cast<double>(t) / 1e9) + " s";
}

}  // namespace

TimeGrid CommonGrid(const Sources& sources) {
  const SampleSource& first = *sources.front();
  const double dt = first.interval();
  for (size_t i = 1; i < sources.size(); ++i) {
    const SampleSource& s = *sources[i];
    if (!(std::fabs(s.interval() - dt) <= kIntervalTolerance * dt)) {
      throw textio::InputError("records have different sampling intervals: " + first.name() + " " +
                               textio::Shortest(dt) + " s, " + s.name() + " " + textio::Shortest(s.interval()) + " s");
    }
    if (s.absolute_time() != first.absolute_time()) {
      const SampleSource& utc = first.absolute_time() ? first : s;
      const SampleSource& own = first.absolute_time() ? s : first;
      throw textio::InputError("the times of " + utc.name() + " are UTC and those of " + own.name() +
                               " count from the record's own origin: the records cannot be placed in one time "
                               "(write column text with seis2col --epoch)");
    }
  }
  return TimeGrid{first.run_start_ns(), dt};
}

Segmenter::Segmenter(Sources* sources, const TimeGrid& grid, const SpanChoice& span, size_t length, size_t step)
    : grid_(grid), length_(length), step_(step) {
  tracks_.reserve(sources->size());
  for (auto& source : *sources) tracks_.emplace_back(source.get(), grid, length + std::max(step, kReadAhead));
  common_first_ = tracks_.front().first_index();
  for (const Track& t : tracks_) common_first_ = std::max(common_first_, t.first_index());
  const bool utc = sources->front()->absolute_time();
  auto index_of = [&](const SpanChoice::Bound& b) -> int64_t {
    if (b.utc_ns && !utc) {
      throw textio::InputError(
          "a UTC time for --start or --end needs records with UTC times (miniSEED, SAC, or column text of epoch "
          "seconds), and " +
          sources->front()->name() + " counts seconds from its own origin");
    }
    if (b.utc_ns) return grid_.IndexOf(*b.utc_ns);
    return common_first_ + std::llround(b.seconds / grid_.dt);
  };
  begin_ = common_first_;
  if (span.start) {
    begin_ = index_of(*span.start);
    if (begin_ < common_first_) {
      throw textio::InputError("--start " + TimeText(grid_, utc, begin_) +
                               " lies before the first time all stations have recorded, " +
                               TimeText(grid_, utc, common_first_));
    }
  }
  if (span.end) {
    end_ = index_of(*span.end);
    if (*end_ <= begin_) {
      throw textio::InputError("--end " + TimeText(grid_, utc, *end_) + " is not after the start of the span, " +
                               TimeText(grid_, utc, begin_));
    }
  }
  for (Track& t : tracks_) t.Release(begin_);
}

bool Segmenter::Next() {
  const int64_t k = count_ == 0 ? begin_ : start_ + static_cast<int64_t>(step_);
  const int64_t end = k + static_cast<int64_t>(length_);
  if (end_ && end > *end_) return false;
  for (Track& t : tracks_) {
    t.Release(k);
    if (!t.Fill(end)) return false;
  }
  start_ = k;
  ++count_;
  return true;
}

std::optional<long> Segmenter::ExpectedWindows() const {
  std::optional<int64_t> end = end_;
  for (const Track& t : tracks_) {
    const std::optional<int64_t> length = t.source().length_hint();
    if (!length) return std::nullopt;
    const int64_t track_end = t.first_index() + *length;
    end = end ? std::min(*end, track_end) : track_end;
  }
  const int64_t samples = *end - begin_;
  if (samples < static_cast<int64_t>(length_)) return 0;
  return static_cast<long>((samples - static_cast<int64_t>(length_)) / static_cast<int64_t>(step_) + 1);
}

bool Segmenter::whole() const {
  for (const Track& t : tracks_) {
    if (t.Broken(start_, length_)) return false;
  }
  return true;
}

void CheckCommonRate(const Segmenter& segmenter) {
  auto mean_step = [](const Track& t) { return t.run_span_ns() / static_cast<double>(t.run_span_steps()); };
  const Track& first = segmenter.track(0);
  if (first.run_span_steps() == 0) return;
  const double reference = mean_step(first);
  for (size_t i = 1; i < segmenter.channels(); ++i) {
    const Track& t = segmenter.track(i);
    if (t.run_span_steps() == 0) continue;
    const double step = mean_step(t);
    if (!(std::fabs(step - reference) <= kRateTolerance * reference)) {
      throw textio::InputError("records have different sampling intervals: the mean time step is " +
                               textio::Shortest(reference * 1e-9) + " s in " + first.source().name() + " but " +
                               textio::Shortest(step * 1e-9) + " s in " + t.source().name() + " (relative difference " +
                               textio::Shortest(std::fabs(step - reference) / reference) + ", more than 1e-6)");
    }
  }
}

}  // namespace circspec
