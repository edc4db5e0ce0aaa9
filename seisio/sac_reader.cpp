// Reading SAC binary files. The header is checked field by field before a
// sample is read, so a damaged or foreign file is refused with the field
// at fault rather than read as noise.

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "seisio/bytes.h"
#include "seisio/day_time.h"
#include "seisio/input.h"
#include "seisio/sac.h"
#include "seisio/sac_layout.h"
#include "textio/errors.h"
#include "textio/number.h"

namespace seisio {

namespace {

using sac::kHeaderBytes;
using sac::kLongestInterval;
using sac::kShortestInterval;

[[noreturn]] void Fail(std::string_view name, const std::string& what) {
  throw textio::InputError(std::string(name) + ": " + what);
}

// The byte order whose version word reads 6 or 7, if either does.
std::optional<ByteOrder> OrderOfHeader(const char* header) {
  for (ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    const int32_t version = LoadInt32(header + 4 * sac::kNvhdr, order);
    if (version == 6 || version == 7) return order;
  }
  return std::nullopt;
}

// Bytes a file of `npts` samples in `sections` sections takes.
uint64_t SizeFor(int32_t version, int64_t npts, int sections) {
  return kHeaderBytes + uint64_t(4) * uint64_t(npts) * uint64_t(sections) + (version == 7 ? sac::kFooterBytes : 0);
}

// The double a 32-bit header value stands for: the shortest decimal that
// rounds to the float, read as a double. Writers store 0.01 as the float
// nearest it; widening that float exactly would give 0.00999999977648258,
// and a time axis built on it drifts by 0.2 ms a day at 100 Hz.
double DecimalOfFloat(float v) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, v);
  double d = v;
  textio::ParseDouble(std::string_view(text, static_cast<size_t>(result.ptr - text)), &d);
  return d;
}

// A text field: up to the first NUL, trailing blanks dropped; SAC's
// "-12345" (undefined) is empty.
std::string TextField(const char* header, size_t offset, size_t width) {
  std::string s(header + offset, width);
  if (const size_t nul = s.find('\0'); nul != std::string::npos) s.resize(nul);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  if (s == sac::kUndefinedText) s.clear();
  return s;
}

std::string IntText(int64_t v) { return std::to_string(v); }

class HeaderReader {
 public:
  HeaderReader(const char* header, ByteOrder order, std::string_view name)
      : header_(header), order_(order), name_(name) {}

  int32_t Int(size_t word) const { return LoadInt32(header_ + 4 * word, order_); }
  float Float(size_t word) const { return LoadFloat(header_ + 4 * word, order_); }

  // An integer field that must lie in [low, high].
  int32_t IntIn(size_t word, const char* field, int32_t low, int32_t high) const {
    const int32_t v = Int(word);
    if (v == sac::kUndefinedInt) Fail(name_, std::string("header field ") + field + " is undefined (-12345)");
    if (v < low || v > high) {
      Fail(name_, std::string("header field ") + field + " = " + IntText(v) + " is outside " + IntText(low) + " to " +
                      IntText(high));
    }
    return v;
  }

 private:
  const char* header_;
  ByteOrder order_;
  std::string_view name_;
};

void CheckKind(const HeaderReader& h, std::string_view name) {
  const int32_t iftype = h.Int(sac::kIftype);
  if (iftype != sac::kItime) {
    const char* kind = iftype == sac::kIrlim   ? " (a spectrum, real and imaginary parts)"
                       : iftype == sac::kIamph ? " (a spectrum, amplitude and phase)"
                       : iftype == sac::kIxy   ? " (general x-y data)"
                                               : "";
    Fail(name, "header field IFTYPE = " + IntText(iftype) + kind + ": only time series (IFTYPE = 1, ITIME) are read");
  }
  const int32_t leven = h.Int(sac::kLeven);
  if (leven != 1) {
    Fail(name, "header field LEVEN = " + IntText(leven) +
                   ": the samples are not evenly spaced (LEVEN must be 1, true); such files are not read");
  }
}

int64_t ReferenceTime(const HeaderReader& h) {
  DayTime t;
  t.year = h.IntIn(sac::kNzyear, "NZYEAR", 1700, 2200);
  t.day_of_year = h.IntIn(sac::kNzjday, "NZJDAY", 1, DaysInYear(t.year));
  t.hour = h.IntIn(sac::kNzhour, "NZHOUR", 0, 23);
  t.minute = h.IntIn(sac::kNzmin, "NZMIN", 0, 59);
  t.second = h.IntIn(sac::kNzsec, "NZSEC", 0, 60);
  t.millisecond = h.IntIn(sac::kNzmsec, "NZMSEC", 0, 999);
  return NanosecondsOf(t);
}

bool ReadExactly(std::istream& in, char* to, size_t count) {
  in.read(to, static_cast<std::streamsize>(count));
  return static_cast<size_t>(in.gcount()) == count;
}

}  // namespace

bool HasSacVersion(std::span<const char> head) {
  return head.size() >= kHeaderBytes && OrderOfHeader(head.data()).has_value();
}

bool LooksLikeSac(std::span<const char> head, uint64_t size) {
  if (head.size() < kHeaderBytes || size < kHeaderBytes) return false;
  const std::optional<ByteOrder> order = OrderOfHeader(head.data());
  if (!order) return false;
  const int32_t version = LoadInt32(head.data() + 4 * sac::kNvhdr, *order);
  const int32_t npts = LoadInt32(head.data() + 4 * sac::kNpts, *order);
  if (npts < 0) return false;
  return size == SizeFor(version, npts, 1) || size == SizeFor(version, npts, 2);
}

namespace {

// Reads and checks a SAC header from `in` (at its start, `size` bytes to
// the end). For version 7 the footer after the samples is read too; the
// stream is left at the first sample.
SacHead ReadHead(std::istream& in, uint64_t size, std::string_view name) {
  const std::streamoff start = in.tellg();
  std::array<char, kHeaderBytes> header{};
  if (size < kHeaderBytes || !ReadExactly(in, header.data(), kHeaderBytes)) {
    Fail(name, "holds " + IntText(static_cast<int64_t>(size)) + " bytes, fewer than a SAC header (632)");
  }
  const std::optional<ByteOrder> order = OrderOfHeader(header.data());
  if (!order) {
    Fail(name, "header field NVHDR (word 76) is neither 6 nor 7 in either byte order: not a SAC binary file");
  }
  const HeaderReader h(header.data(), *order, name);
  const int32_t version = h.Int(sac::kNvhdr);
  CheckKind(h, name);

  const int32_t npts = h.Int(sac::kNpts);
  if (npts < 0) Fail(name, "header field NPTS = " + IntText(npts) + " is negative");
  const uint64_t expected = SizeFor(version, npts, 1);
  if (size != expected) {
    Fail(name, "holds " + IntText(static_cast<int64_t>(size)) + " bytes, but its header (NPTS = " + IntText(npts) +
                   ", version " + IntText(version) + ") calls for " + IntText(static_cast<int64_t>(expected)));
  }
  const int64_t reference_ns = ReferenceTime(h);

  SacHead head;
  head.little_endian = *order == ByteOrder::kLittle;
  head.count = static_cast<size_t>(npts);
  Trace& trace = head.trace;
  trace.network = TextField(header.data(), sac::kKnetwk, 8);
  trace.station = TextField(header.data(), sac::kKstnm, 8);
  trace.location = TextField(header.data(), sac::kKhole, 8);
  trace.channel = TextField(header.data(), sac::kKcmpnm, 8);

  double delta = DecimalOfFloat(h.Float(sac::kDelta));
  double begin = DecimalOfFloat(h.Float(sac::kB));
  const char* delta_field = "DELTA";
  const char* begin_field = "B";
  if (version == 7) {
    // The footer follows the samples; the size check above put it there.
    std::array<char, sac::kFooterBytes> footer{};
    in.seekg(start + static_cast<std::streamoff>(kHeaderBytes + 4 * head.count));
    if (!in || !ReadExactly(in, footer.data(), footer.size())) {
      Fail(name, "cannot read the footer of header version 7");
    }
    in.seekg(start + static_cast<std::streamoff>(kHeaderBytes));
    delta = LoadDouble(footer.data() + 8 * sac::kFooterDelta, *order);
    begin = LoadDouble(footer.data() + 8 * sac::kFooterB, *order);
    delta_field = "DELTA (footer)";
    begin_field = "B (footer)";
  }
  if (!(delta >= kShortestInterval && delta <= kLongestInterval)) {
    Fail(name, std::string("header field ") + delta_field + " = " + SecondsText(delta) +
                   " is not a sampling interval (seconds, from 1e-9 to 1e6)");
  }
  // |B| below a million seconds (11.6 days), so B in nanoseconds stays
  // exact and far inside 64 bits.
  if (!std::isfinite(begin) || begin == sac::kUndefinedFloat || std::fabs(begin) >= 1e6) {
    Fail(name, std::string("header field ") + begin_field + " = " + SecondsText(begin) +
                   " is not a begin time (seconds after the reference time, below 1e6 in size)");
  }
  trace.interval = delta;
  trace.start_ns = reference_ns + std::llround(begin * 1e9);
  return head;
}

// Reads samples [done, done + count) of `head` from `in`, positioned at
// sample `done`, into `to`, refusing any that is not a finite number.
void ReadSamples(std::istream& in, const SacHead& head, size_t done, size_t count, double* to, std::vector<char>& block,
                 std::string_view name) {
  const ByteOrder order = head.little_endian ? ByteOrder::kLittle : ByteOrder::kBig;
  block.resize(4 * count);
  if (!ReadExactly(in, block.data(), 4 * count)) {
    Fail(name, "cannot read sample " + IntText(static_cast<int64_t>(done + 1)) + " of " +
                   IntText(static_cast<int64_t>(head.count)));
  }
  for (size_t i = 0; i < count; ++i) {
    to[i] = LoadFloat(block.data() + 4 * i, order);
    if (!std::isfinite(to[i])) {
      Fail(name, "sample " + IntText(static_cast<int64_t>(done + i + 1)) + " (at " +
                     IsoTime(head.trace.time_ns(done + i)) + ") is not a finite number");
    }
  }
}

constexpr size_t kBlock = 16384;

}  // namespace

Trace ReadSac(std::istream& stream, std::string_view name) {
  SeekableInput input(stream);
  std::istream& in = input.stream();
  const SacHead head = ReadHead(in, input.size(), name);
  // The samples, in blocks: the size check bounds the allocation by the
  // file's real size.
  Trace trace = head.trace;
  trace.samples.resize(head.count);
  std::vector<char> block;
  for (size_t done = 0; done < head.count;) {
    const size_t count = std::min(kBlock, head.count - done);
    ReadSamples(in, head, done, count, trace.samples.data() + done, block, name);
    done += count;
  }
  return trace;
}

SacChannelReader::SacChannelReader(std::istream& in, std::string name)
    : input_(std::make_unique<SeekableInput>(in)), name_(std::move(name)) {
  head_ = ReadHead(input_->stream(), input_->size(), name_);
}

SacChannelReader::~SacChannelReader() = default;

size_t SacChannelReader::Read(double* out, size_t count) {
  count = std::min(count, head_.count - next_);
  for (size_t done = 0; done < count;) {
    const size_t n = std::min(kBlock, count - done);
    ReadSamples(input_->stream(), head_, next_, n, out + done, block_, name_);
    next_ += n;
    done += n;
  }
  return count;
}

Trace ReadSac(std::span<const char> bytes, std::string_view name) {
  MemoryStream in(bytes);
  return ReadSac(in, name);
}

}  // namespace seisio
