#ifndef CIRCARRAY_SEISIO_MSEED_H_
#define CIRCARRAY_SEISIO_MSEED_H_

#include <cstdint>
#include <istream>
#include <span>
#include <string_view>
#include <vector>

#include "seisio/trace.h"
#include "textio/output.h"

namespace seisio {

// Reads every channel of a miniSEED file through libmseed: records of any
// length, byte order and sample encoding the library decodes (integers,
// floats, Steim 1 and 2, the older integer codes), in any order in the
// file. Records of one channel (network, station, location and channel
// code; the quality letter is not part of it) are put in time order and
// must follow each other without a gap or an overlap of half a sample or
// more; each channel keeps one sampling rate. Text records (log channels)
// and records without samples are passed over. The channels come back in
// the order of their first records.
//
// `name` is the file's name for messages: every failure is a
// textio::InputError "<name>: ..." naming the channel and the time (or the
// byte offset of a record that cannot be read). `in` is read from its
// position now, twice: once for the record headers, once for the samples;
// a stream that cannot seek (a pipe) is read into memory first.
std::vector<Trace> ReadMiniSeed(std::istream& in, std::string_view name);
std::vector<Trace> ReadMiniSeed(std::span<const char> bytes, std::string_view name);

// Whether the first bytes of a file begin a miniSEED data record, by
// libmseed's record detection.
bool LooksLikeMiniSeed(std::span<const char> head);

// How samples are encoded in the records written.
enum class MiniSeedEncoding {
  // Steim 2 when every sample is an integer that it can hold (digitizer
  // counts: compact, and what data centres store), else 64-bit floats.
  kAuto,
  kSteim2,   // refused (textio::RuntimeError) for samples it cannot hold exactly
  kFloat64,  // exact for every double
  // 32-bit floats, each sample rounded to nearest (half the bytes of
  // kFloat64; a sample beyond the float range is a textio::RuntimeError).
  kFloat32,
};

struct MiniSeedOptions {
  MiniSeedEncoding encoding = MiniSeedEncoding::kAuto;
  int record_length = 4096;  // bytes, a power of two from 256 to 65536
};

// The encoding kAuto picks for `trace`.
MiniSeedEncoding ChooseEncoding(const Trace& trace);

// Writes `trace` as miniSEED records (big-endian, data quality D, with the
// blockette 1000 every reader needs) through libmseed's packer. The codes
// must fit SEED's fields (network 2, station 5, location 2, channel 3
// characters) and the start time is kept to the microsecond, miniSEED's
// resolution; a trace that cannot be written is a textio::RuntimeError.
// Several traces written to one output make one file of several channels.
void WriteMiniSeed(const Trace& trace, textio::Output& out, const MiniSeedOptions& options = {});

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_MSEED_H_
