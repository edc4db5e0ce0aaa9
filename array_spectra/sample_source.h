#ifndef CIRCARRAY_ARRAY_SPECTRA_SAMPLE_SOURCE_H_
#define CIRCARRAY_ARRAY_SPECTRA_SAMPLE_SOURCE_H_

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace circspec {

// One channel of a station's record, pulled in blocks so that a record of
// any length is never held whole. The samples come in runs: a run is a
// stretch of samples on one grid, sample i of the run at run_start_ns() +
// i dt. A record is one run unless it has gaps, overlaps or jumps of its
// clock; each of those starts the next run, whose start says where it
// lies. The first run is ready, and its start known, once the source
// exists.
//
// Times are nanoseconds: since 1970-01-01T00:00:00 UTC where the record
// says when it was made (miniSEED, SAC, column text whose times are epoch
// seconds), else from the origin of the record's own time column.
class SampleSource {
 public:
  virtual ~SampleSource() = default;

  // What the samples are called in messages (the record file's path).
  virtual const std::string& name() const = 0;
  // The sampling interval, seconds.
  virtual double interval() const = 0;
  // Whether the times are UTC.
  virtual bool absolute_time() const = 0;

  // Time of the first sample of the current run.
  virtual int64_t run_start_ns() const = 0;
  // Stores the next samples of the current run in out[0 .. count);
  // returns how many were stored, fewer than `count` only at the end of
  // the run. Throws textio::InputError (naming the file and the line, the
  // channel or the time) for a bad sample.
  virtual size_t Read(double* out, size_t count) = 0;
  // Moves to the next run; false at the end of the record.
  virtual bool NextRun() = 0;

  // The time of the last sample delivered, as the record gives it (a
  // column-text line's own time; the run's grid time for the others).
  virtual int64_t last_time_ns() const = 0;

  // How many samples the record holds, where its format says so before
  // they are read (miniSEED and SAC headers; not column text).
  virtual std::optional<int64_t> length_hint() const { return std::nullopt; }
};

// The largest magnitude of a time in seconds that the sources' nanosecond
// clock holds (int64 nanoseconds reach 9.22e9 s, the year 2262).
inline constexpr double kLatestSeconds = 9.2e9;

// Seconds (|seconds| <= kLatestSeconds) as the nanoseconds the sources
// count in, to the nearest.
inline int64_t Nanoseconds(double seconds) { return std::llround(seconds * 1e9); }

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_SAMPLE_SOURCE_H_
