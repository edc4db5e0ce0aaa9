#ifndef CIRCARRAY_ARRAY_SPECTRA_SAMPLE_SOURCE_H_
#define CIRCARRAY_ARRAY_SPECTRA_SAMPLE_SOURCE_H_

#include <cstddef>
#include <string>

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

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_SAMPLE_SOURCE_H_
