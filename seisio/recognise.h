#ifndef CIRCARRAY_SEISIO_RECOGNISE_H_
#define CIRCARRAY_SEISIO_RECOGNISE_H_

#include <cstdint>
#include <istream>
#include <span>
#include <string_view>
#include <vector>

#include "seisio/trace.h"

namespace seisio {

// The formats a record file may come in, told apart by content, never by
// name.
enum class Format {
  kSac,       // SAC binary (LooksLikeSac)
  kMiniSeed,  // miniSEED (LooksLikeMiniSeed)
  kText,      // anything else: the suite's column text
};

// "SAC", "miniSEED" or "column text".
std::string_view FormatName(Format format);

// The format of a file from its first bytes (64 KiB are plenty) and its
// size. SAC is tried first: its header test is the stricter (a version
// word of 6 or 7 and a size that NPTS accounts for).
Format RecogniseBytes(std::span<const char> head, uint64_t size);

// The format of the rest of `in`; the stream is left where it was (a
// stream that cannot seek is read to its end, so read it no further).
Format Recognise(std::istream& in);

// The channels of a SAC or miniSEED file, whichever it is: a SAC file
// holds one, a miniSEED file any number. Column text, or anything else
// that is neither, is a textio::InputError "<name>: ... is column text,
// not SAC or miniSEED".
std::vector<Trace> ReadChannels(std::istream& in, std::string_view name);
std::vector<Trace> ReadChannels(std::span<const char> bytes, std::string_view name);

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_RECOGNISE_H_
