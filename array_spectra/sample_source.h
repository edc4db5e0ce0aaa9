#ifndef CIRCARRAY_ARRAY_SPECTRA_SAMPLE_SOURCE_H_
#define CIRCARRAY_ARRAY_SPECTRA_SAMPLE_SOURCE_H_

#include <cstddef>
#include <string>
#include <utility>

namespace circspec {

// One station's record as a stream of equally spaced samples, pulled in
// blocks so that a record of any length is never held whole. The first
// two samples are known once the source exists (they fix the start time
// and the sampling interval); Read() delivers every sample from the first.
class SampleSource {
 public:
  virtual ~SampleSource() = default;

  // What the samples are called in messages (the record file's path).
  virtual const std::string& name() const = 0;
  // Time of the first sample, seconds.
  virtual double start_time() const = 0;
  // Time step between the first two samples: the sampling interval.
  virtual double first_step() const = 0;

  // Stores the next samples in out[0 .. count); returns how many were
  // stored, fewer than `count` only at the end of the record. Throws
  // textio::InputError (naming the file and line) for a bad sample.
  virtual size_t Read(double* out, size_t count) = 0;

  // Samples delivered so far, and the time of the last of them.
  virtual long samples_read() const = 0;
  virtual double last_time() const = 0;
};

// A source whose samples stand on the grid its start and interval fix,
// sample i at start + i dt: a record whose header gives the times (SAC,
// miniSEED) or one already in memory. Subclasses deliver the samples.
class GriddedSource : public SampleSource {
 public:
  GriddedSource(std::string name, double start, double dt) : name_(std::move(name)), start_(start), dt_(dt) {}

  const std::string& name() const final { return name_; }
  double start_time() const final { return start_; }
  double first_step() const final { return dt_; }
  size_t Read(double* out, size_t count) final {
    const size_t n = ReadSamples(out, count);
    read_ += static_cast<long>(n);
    return n;
  }
  long samples_read() const final { return read_; }
  double last_time() const final { return start_ + dt_ * static_cast<double>(read_ - 1); }

 protected:
  // As Read(), for the subclass's samples.
  virtual size_t ReadSamples(double* out, size_t count) = 0;

 private:
  std::string name_;
  double start_, dt_;
  long read_ = 0;
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_SAMPLE_SOURCE_H_
