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
// and where its records lie in the file, in time order. The records have
// been checked as ReadMiniSeed checks them: one sampling rate, no gap, no
// overlap, no drift from the channel's grid.
struct MiniSeedChannel {
  struct Record {
    int64_t offset = 0;   // byte offset in the file
    int32_t length = 0;   // bytes
    int64_t samples = 0;  // sample count from the header
    size_t position = 0;  // index of its first sample in the channel
  };
  Trace trace;
  size_t count = 0;
  std::vector<Record> records;
};

// The channels of a miniSEED file, in the order of their first records;
// failures as ReadMiniSeed's (textio::InputError "<name>: ..."). `in` is
// read from its position now to its end.
std::vector<MiniSeedChannel> IndexMiniSeed(std::istream& in, std::string_view name);

// The samples of one indexed channel, decoded record by record on demand:
// a channel of any length is read holding one record's samples. `in` is
// the file the channel was indexed from, positioned as it was then (the
// offsets count from there); it must be able to seek, and it may be shared
// by the readers of several channels of one file, as every record is
// sought before it is read.
class MiniSeedChannelReader {
 public:
  MiniSeedChannelReader(std::istream& in, std::string name, MiniSeedChannel channel);
  MiniSeedChannelReader(const MiniSeedChannelReader&) = delete;
  MiniSeedChannelReader& operator=(const MiniSeedChannelReader&) = delete;
  ~MiniSeedChannelReader();

  const Trace& trace() const { return channel_.trace; }
  size_t count() const { return channel_.count; }

  // Stores the next samples in out[0 .. count); returns how many, fewer
  // only at the channel's end. A record that does not decode to the
  // samples its header promised, or a sample that is not a finite number,
  // is a textio::InputError naming the file, the channel and the time.
  size_t Read(double* out, size_t count);

 private:
  void Decode(size_t record);

  std::istream& in_;
  std::string name_;
  MiniSeedChannel channel_;
  size_t next_record_ = 0;
  std::vector<char> bytes_;
  std::vector<double> decoded_;  // the samples of the record decoded last
  size_t used_ = 0;              // of them delivered
  void* msr_ = nullptr;          // libmseed's MSRecord, reused
};

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_MSEED_INDEX_H_
