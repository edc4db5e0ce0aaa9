#ifndef CIRCARRAY_SEISIO_SAC_H_
#define CIRCARRAY_SEISIO_SAC_H_

#include <cstdint>
#include <istream>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "seisio/input.h"
#include "seisio/trace.h"
#include "textio/output.h"

namespace seisio {

// Reads a SAC binary file: either byte order (told by the header version
// NVHDR, 6 or 7, in one of them), header version 6 or 7 (7 adds a footer of
// doubles after the samples, whose DELTA and B are used instead of the
// header's floats). Only evenly spaced time series (IFTYPE = ITIME, LEVEN
// true) are read. The start time is the reference time NZYEAR, NZJDAY,
// NZHOUR, NZMIN, NZSEC, NZMSEC plus B; the 32-bit DELTA and B of a version-6
// file are taken as the shortest decimals that the floats stand for (a
// DELTA of 0.01 is 0.01, not 0.00999999977648258).
//
// `name` is the file's name for messages: every failure is a
// textio::InputError "<name>: ..." naming the header field at fault, or the
// sample. `in` is read from its position now; a stream that cannot seek (a
// pipe) is read into memory first.
Trace ReadSac(std::istream& in, std::string_view name);
Trace ReadSac(std::span<const char> bytes, std::string_view name);

// A SAC file read piecewise: the header is read and checked as ReadSac
// checks it when the reader is made, the samples as they are pulled, so
// a channel of any length is read in a block's memory. `in` is read from
// its position now and is sought (the footer of version 7 follows the
// samples); a stream that cannot seek is read into memory first.
struct SacHead {
  Trace trace;  // codes, start time and interval; no samples
  size_t count = 0;
  bool little_endian = true;
};

class SacChannelReader {
 public:
  SacChannelReader(std::istream& in, std::string name);
  SacChannelReader(const SacChannelReader&) = delete;
  SacChannelReader& operator=(const SacChannelReader&) = delete;
  ~SacChannelReader();

  const Trace& trace() const { return head_.trace; }
  size_t count() const { return head_.count; }
  // Stores the next samples in out[0 .. count); returns how many, fewer
  // only at the end. A sample that is not a finite number is a
  // textio::InputError naming it and its time.
  size_t Read(double* out, size_t count);
  // A SAC file holds one run of samples (see MiniSeedChannelReader).
  bool NextRun() { return false; }
  int64_t run_start_ns() const { return head_.trace.start_ns; }

 private:
  std::unique_ptr<SeekableInput> input_;
  std::string name_;
  SacHead head_;
  size_t next_ = 0;
  std::vector<char> block_;
};

// Whether the first bytes of a file (up to the header's 632) and its size
// look like a SAC binary file: the version word is 6 or 7 in one byte
// order and NPTS, taken in that order, accounts for the size (one or two
// sections of samples, plus the footer of version 7).
bool LooksLikeSac(std::span<const char> head, uint64_t size);
// Whether the version word alone reads 6 or 7 in one byte order: a SAC
// file, maybe damaged, whose reading says what is wrong with it.
bool HasSacVersion(std::span<const char> head);

// Writes `trace` as a SAC binary file of header version 6 in little-endian
// byte order (what every current SAC reader takes): IFTYPE ITIME, LEVEN
// true, DELTA, B, E, DEPMIN, DEPMAX, DEPMEN, the reference time (the start
// time cut to the millisecond, the rest in B), and KNETWK, KSTNM, KHOLE,
// KCMPNM from the trace's codes (each cut at 8 characters). Samples are
// stored as 32-bit floats, rounded to nearest; a sample beyond the float
// range is a textio::RuntimeError. Write failures come from `out`.
void WriteSac(const Trace& trace, textio::Output& out);

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_SAC_H_
