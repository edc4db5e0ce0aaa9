#ifndef CIRCARRAY_SEISIO_MSEED_INDEX_H_
#define CIRCARRAY_SEISIO_MSEED_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "seisio/trace.h"

namespace seisio {

// One channel of a miniSEED file as the first pass over the record
// headers lays it out, before a sample is decoded: its codes, start time
// and interval (in `trace`, whose samples stay empty), its sample count,
// and where its records lie in the file, in time order, each with its
// start time. One sampling rate throughout.
//
// A run is a stretch of records that continue one another on one grid of
// samples (each record starting where the one before ends, within half a
// sample). Indexed for strict continuity (ReadMiniSeed's rule, and
// seis2col's), a channel is one run: a gap, an overlap or timing that
// drifts off the channel's grid by half a sample is refused. Indexed with
// runs allowed (for circspec, which leaves out the segments they touch),
// each of these starts a new run.
struct MiniSeedChannel {
  struct Record {
    int64_t offset = 0;       // byte offset in the file
    int32_t length = 0;       // bytes
    int64_t samples = 0;      // sample count from the header
    size_t position = 0;      // index of its first sample in the channel
    int64_t start_ns = 0;     // time of its first sample
    bool starts_run = false;  // the first record of a run
  };
  Trace trace;
  size_t count = 0;
  std::vector<Record> records;
};

enum class Continuity { kStrict, kRuns };

// The channels of a miniSEED file, in the order of their first records;
// failures as ReadMiniSeed's (textio::InputError "<name>: ..."). `in` is
// read from its position now to its end.
std::vector<MiniSeedChannel> IndexMiniSeed(std::istream& in, std::string_view name,
                                           Continuity continuity = Continuity::kStrict);

// The samples of one indexed channel, decoded record by record on demand:
// a channel of any length is read holding one record's samples, and a
// record that the caller's buffer holds whole is decoded straight into
// it. `in` is the file the channel was indexed from, positioned as it was
// then (the offsets count from there); it must be able to seek, and it may
// be shared by the readers of several channels of one file, as every
// record is sought before it is read.
class MiniSeedChannelReader {
 public:
  MiniSeedChannelReader(std::istream& in, std::string name, MiniSeedChannel channel);
  MiniSeedChannelReader(const MiniSeedChannelReader&) = delete;
  MiniSeedChannelReader& operator=(const MiniSeedChannelReader&) = delete;
  ~MiniSeedChannelReader();

  const Trace& trace() const { return channel_.trace; }
  size_t count() const { return channel_.count; }

  // Stores the next samples of the current run in out[0 .. count);
  // returns how many, fewer only at the run's end. A record that does not
  // decode to the samples its header promised, or a sample that is not a
  // finite number, is a textio::InputError naming the file, the channel
  // and the time.
  size_t Read(double* out, size_t count);
  // Moves to the next run (see MiniSeedChannel); false after the last.
  bool NextRun();
  // The time of the first sample of the current run.
  int64_t run_start_ns() const { return channel_.records[run_first_].start_ns; }

 private:
  // Decodes record `k` into `to` (its sample count of values).
  void Decode(size_t k, double* to);
  bool RunEndsBefore(size_t k) const { return k == channel_.records.size() || channel_.records[k].starts_run; }

  std::istream& in_;
  std::string name_;
  MiniSeedChannel channel_;
  size_t next_record_ = 0;
  size_t run_first_ = 0;  // the first record of the current run
  std::vector<char> bytes_;
  std::vector<double> decoded_;  // the samples of the record decoded last
  size_t used_ = 0;              // of them delivered
  void* msr_ = nullptr;          // libmseed's MSRecord, reused
};

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_MSEED_INDEX_H_
