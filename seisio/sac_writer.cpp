// Writing SAC binary files: header version 6, little-endian.

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "seisio/bytes.h"
#include "seisio/day_time.h"
#include "seisio/sac.h"
#include "seisio/sac_layout.h"
#include "textio/errors.h"

namespace seisio {

namespace {

void PutText(char* header, size_t offset, size_t width, std::string_view text) {
  if (text.empty()) text = sac::kUndefinedText;
  std::fill(header + offset, header + offset + width, ' ');
  std::copy_n(text.data(), std::min(width, text.size()), header + offset);
}

// The header of an undefined file: every float -12345.0, every integer
// -12345, every logical false, every text "-12345".
std::array<char, sac::kHeaderBytes> BlankHeader() {
  std::array<char, sac::kHeaderBytes> h{};
  for (size_t w = 0; w < 70; ++w) StoreFloatLittle(h.data() + 4 * w, sac::kUndefinedFloat);
  for (size_t w = 70; w < 105; ++w) StoreInt32Little(h.data() + 4 * w, sac::kUndefinedInt);
  for (size_t w = 105; w < 110; ++w) StoreInt32Little(h.data() + 4 * w, 0);
  PutText(h.data(), sac::kKstnm, 8, "");
  PutText(h.data(), sac::kKevnm, 16, "");
  for (size_t offset = sac::kKhole; offset < sac::kTextEnd; offset += 8) PutText(h.data(), offset, 8, "");
  return h;
}

// The float a sample is stored as; infinities and NaN are refused rather
// than written as values no reader can use.
float SampleFloat(const Trace& trace, size_t i) {
  const double v = trace.samples[i];
  const float f = static_cast<float>(v);
  if (!std::isfinite(f)) {
    throw textio::RuntimeError("cannot write " + trace.id() + " as SAC: sample " + std::to_string(i + 1) +
                               " is not a finite 32-bit float");
  }
  return f;
}

}  // namespace

void WriteSac(const Trace& trace, textio::Output& out) {
  if (trace.samples.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw textio::RuntimeError("cannot write " + trace.id() + " as SAC: more samples than NPTS holds");
  }
  const auto npts = static_cast<int32_t>(trace.samples.size());
  if (!(trace.interval >= sac::kShortestInterval && trace.interval <= sac::kLongestInterval)) {
    throw textio::RuntimeError("cannot write " + trace.id() + " as SAC: sampling interval " +
                               SecondsText(trace.interval) + " s is outside 1e-9 to 1e6 s");
  }

  // Minimum, maximum and mean of the samples as stored.
  float low = 0.0f;
  float high = 0.0f;
  double sum = 0.0;
  for (size_t i = 0; i < trace.samples.size(); ++i) {
    const float f = SampleFloat(trace, i);
    low = i == 0 ? f : std::min(low, f);
    high = i == 0 ? f : std::max(high, f);
    sum += f;
  }

  // The reference time is the start cut to the millisecond; B holds the
  // rest (under a millisecond, so the float keeps it to far below a
  // nanosecond) and E the time of the last sample.
  int64_t rest_ns = 0;
  const DayTime t = DayTimeOf(trace.start_ns, &rest_ns);
  const double begin = static_cast<double>(rest_ns) * 1e-9;
  const double end = begin + static_cast<double>(npts > 0 ? npts - 1 : 0) * trace.interval;

  std::array<char, sac::kHeaderBytes> h = BlankHeader();
  auto put_float = [&](size_t word, double v) { StoreFloatLittle(h.data() + 4 * word, static_cast<float>(v)); };
  auto put_int = [&](size_t word, int32_t v) { StoreInt32Little(h.data() + 4 * word, v); };
  put_float(sac::kDelta, trace.interval);
  put_float(sac::kB, begin);
  put_float(sac::kE, end);
  if (npts > 0) {
    put_float(sac::kDepmin, low);
    put_float(sac::kDepmax, high);
    put_float(sac::kDepmen, sum / npts);
  }
  put_int(sac::kNzyear, t.year);
  put_int(sac::kNzjday, t.day_of_year);
  put_int(sac::kNzhour, t.hour);
  put_int(sac::kNzmin, t.minute);
  put_int(sac::kNzsec, t.second);
  put_int(sac::kNzmsec, t.millisecond);
  put_int(sac::kNvhdr, 6);
  put_int(sac::kNpts, npts);
  put_int(sac::kIftype, sac::kItime);
  put_int(sac::kIdep, sac::kIunkn);
  put_int(sac::kIztype, rest_ns == 0 ? sac::kIb : sac::kIunkn);
  put_int(sac::kLeven, 1);
  put_int(sac::kLpspol, 0);
  put_int(sac::kLovrok, 1);
  put_int(sac::kLcalda, 0);
  PutText(h.data(), sac::kKnetwk, 8, trace.network);
  PutText(h.data(), sac::kKstnm, 8, trace.station);
  PutText(h.data(), sac::kKhole, 8, trace.location);
  PutText(h.data(), sac::kKcmpnm, 8, trace.channel);

  out.Write(std::string_view(h.data(), h.size()));
  // The samples go straight into the output's buffer, a block at a time.
  constexpr size_t kBlock = 16384;
  for (size_t done = 0; done < trace.samples.size(); done += kBlock) {
    const size_t count = std::min(kBlock, trace.samples.size() - done);
    std::string* buffer = out.buffer();
    const size_t at = buffer->size();
    buffer->resize(at + 4 * count);
    for (size_t i = 0; i < count; ++i) StoreFloatLittle(buffer->data() + at + 4 * i, SampleFloat(trace, done + i));
    out.Commit();
  }
}

}  // namespace seisio
