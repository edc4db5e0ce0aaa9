#include "seisio/recognise.h"

#include <algorithm>
#include <vector>

#include "seisio/input.h"
#include "seisio/mseed.h"
#include "seisio/sac.h"
#include "textio/errors.h"

namespace seisio {

namespace {

constexpr size_t kHead = 1 << 16;

std::vector<char> Head(SeekableInput& input) {
  std::vector<char> head(static_cast<size_t>(std::min<uint64_t>(kHead, input.size())));
  input.stream().read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(input.stream().gcount()));
  input.Rewind();
  return head;
}

}  // namespace

std::string_view FormatName(Format format) {
  switch (format) {
    case Format::kSac:
      return "SAC";
    case Format::kMiniSeed:
      return "miniSEED";
    case Format::kText:
      return "column text";
  }
  return "?";
}

Format RecogniseBytes(std::span<const char> head, uint64_t size) {
  if (LooksLikeSac(head, size)) return Format::kSac;
  if (LooksLikeMiniSeed(head)) return Format::kMiniSeed;
  return Format::kText;
}

Format Recognise(std::istream& in) {
  SeekableInput input(in);
  return RecogniseBytes(Head(input), input.size());
}

std::vector<Trace> ReadChannels(std::istream& in, std::string_view name) {
  SeekableInput input(in);
  const std::vector<char> head = Head(input);
  Format format = RecogniseBytes(head, input.size());
  // A SAC header whose size does not fit is still read as SAC, so that the
  // message says what is wrong with it.
  if (format == Format::kText && HasSacVersion(head)) format = Format::kSac;
  switch (format) {
    case Format::kSac: {
      std::vector<Trace> traces;
      traces.push_back(ReadSac(input.stream(), name));
      return traces;
    }
    case Format::kMiniSeed:
      return ReadMiniSeed(input.stream(), name);
    case Format::kText:
      break;
  }
  throw textio::InputError(std::string(name) +
                           ": neither SAC (no header version 6 or 7 with a matching size) nor miniSEED (no data record"
                           " header): it is column text, not SAC or miniSEED");
}

std::vector<Trace> ReadChannels(std::span<const char> bytes, std::string_view name) {
  MemoryStream in(bytes);
  return ReadChannels(in, name);
}

}  // namespace seisio
