// Writing miniSEED through libmseed's trace packer.

#include <libmseed.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "seisio/mseed.h"
#include "seisio/mseed_log.h"
#include "textio/errors.h"

namespace seisio {

namespace {

// libmseed's objects are freed by functions of its own, which take the
// pointer's address.
struct FreeTrace {
  void operator()(MSTrace* mst) const { mst_free(&mst); }
};
struct FreeRecord {
  void operator()(MSRecord* msr) const { msr_free(&msr); }
};

// Owns an object libmseed made; null (libmseed out of memory) throws
// std::bad_alloc.
template <class Free, class T>
std::unique_ptr<T, Free> Own(T* made) {
  if (made == nullptr) throw std::bad_alloc();
  return std::unique_ptr<T, Free>(made);
}

// Samples packed per call: the packer works on a copy in its own sample
// type, so a day of 100 Hz costs a few megabytes at a time, not its whole.
constexpr size_t kChunk = 1 << 20;

// Steim 2 stores first differences in at most 30 bits.
constexpr double kSteim2Difference = 536870911.0;  // 2^29 - 1

[[noreturn]] void Refuse(const Trace& trace, const std::string& why) {
  throw textio::RuntimeError("cannot write " + trace.id() + " as miniSEED: " + why);
}

void CopyCode(char* to, const std::string& code, size_t limit, const char* field, const Trace& trace) {
  if (code.size() > limit) {
    Refuse(trace, std::string("its ") + field + " code '" + code + "' is longer than " + std::to_string(limit) +
                      " characters");
  }
  std::memcpy(to, code.c_str(), code.size() + 1);
}

// Collects the packer's records; the packer is C, so nothing may unwind
// through it: a failure is kept and thrown after it returns.
struct Collector {
  std::string records;
  std::exception_ptr failure;
};

void Collect(char* record, int length, void* data) {
  auto* collector = static_cast<Collector*>(data);
  if (collector->failure) return;
  try {
    collector->records.append(record, static_cast<size_t>(length));
  } catch (...) {
    collector->failure = std::current_exception();
  }
}

// The rate libmseed stores for an interval: a whole number of hertz when
// the interval is the reciprocal of one (1 / 0.01 is 100, not 99.99...).
double RateOf(double interval) {
  const double rate = 1.0 / interval;
  const double whole = std::round(rate);
  return whole >= 1.0 && std::fabs(rate - whole) <= 1e-9 * whole ? whole : rate;
}

}  // namespace

MiniSeedEncoding ChooseEncoding(const Trace& trace) {
  constexpr double kInt32Max = 2147483647.0;
  double previous = 0.0;
  for (size_t i = 0; i < trace.samples.size(); ++i) {
    const double v = trace.samples[i];
    if (!(std::fabs(v) <= kInt32Max) || v != std::trunc(v)) return MiniSeedEncoding::kFloat64;
    if (i > 0 && std::fabs(v - previous) > kSteim2Difference) return MiniSeedEncoding::kFloat64;
    previous = v;
  }
  return MiniSeedEncoding::kSteim2;
}

void WriteMiniSeed(const Trace& trace, textio::Output& out, const MiniSeedOptions& options) {
  CatchMiniSeedLog();
  const int length = options.record_length;
  if (length < 256 || length > 65536 || (length & (length - 1)) != 0) {
    Refuse(trace, "record length " + std::to_string(length) + " is not a power of two from 256 to 65536");
  }
  if (!(trace.interval > 0.0) || !std::isfinite(trace.interval)) {
    Refuse(trace, "sampling interval " + SecondsText(trace.interval) + " s is not positive");
  }
  MiniSeedEncoding encoding = options.encoding;
  if (encoding == MiniSeedEncoding::kAuto) encoding = ChooseEncoding(trace);
  if (encoding == MiniSeedEncoding::kSteim2 && ChooseEncoding(trace) != MiniSeedEncoding::kSteim2) {
    Refuse(trace, "Steim 2 holds integer samples with differences below 2^29 only");
  }
  const bool steim2 = encoding == MiniSeedEncoding::kSteim2;
  const bool float32 = encoding == MiniSeedEncoding::kFloat32;
  for (size_t i = 0; i < trace.samples.size(); ++i) {
    if (!std::isfinite(trace.samples[i])) Refuse(trace, "sample " + std::to_string(i + 1) + " is not finite");
    if (float32 && !std::isfinite(static_cast<float>(trace.samples[i]))) {
      Refuse(trace, "sample " + std::to_string(i + 1) + " lies beyond the range of 32-bit floats");
    }
  }
  const size_t sample_size = steim2 ? sizeof(int32_t) : float32 ? sizeof(float) : sizeof(double);

  const auto owned_trace = Own<FreeTrace>(mst_init(nullptr));
  MSTrace* mst = owned_trace.get();
  CopyCode(mst->network, trace.network, 2, "network", trace);
  CopyCode(mst->station, trace.station, 5, "station", trace);
  CopyCode(mst->location, trace.location, 2, "location", trace);
  CopyCode(mst->channel, trace.channel, 3, "channel", trace);
  mst->dataquality = 'D';
  mst->samprate = RateOf(trace.interval);
  mst->sampletype = steim2 ? 'i' : float32 ? 'f' : 'd';

  // The record template carries a blockette 1001: the fixed header holds
  // start times to 100 microseconds only, the blockette the microseconds
  // below (the packer fills it in for every record).
  const auto owned_record = Own<FreeRecord>(msr_init(nullptr));
  MSRecord* record = owned_record.get();
  std::memcpy(record->network, mst->network, sizeof record->network);
  std::memcpy(record->station, mst->station, sizeof record->station);
  std::memcpy(record->location, mst->location, sizeof record->location);
  std::memcpy(record->channel, mst->channel, sizeof record->channel);
  record->dataquality = 'D';
  blkt_1001_s extension{};
  if (msr_addblockette(record, reinterpret_cast<char*>(&extension), sizeof extension, 1001, 0) == nullptr) {
    Refuse(trace, "libmseed cannot add a blockette 1001");
  }

  for (size_t done = 0; done < trace.samples.size(); done += kChunk) {
    const size_t count = std::min(kChunk, trace.samples.size() - done);
    // The packer frees or shifts what it is given, so it gets malloc'd
    // memory of its own.
    void* samples = std::malloc(count * sample_size);
    if (samples == nullptr) throw std::bad_alloc();
    std::free(mst->datasamples);
    mst->datasamples = samples;
    if (steim2) {
      auto* to = static_cast<int32_t*>(samples);
      for (size_t i = 0; i < count; ++i) to[i] = static_cast<int32_t>(trace.samples[done + i]);
    } else if (float32) {
      auto* to = static_cast<float*>(samples);
      for (size_t i = 0; i < count; ++i) to[i] = static_cast<float>(trace.samples[done + i]);
    } else {
      std::memcpy(samples, trace.samples.data() + done, count * sample_size);
    }
    mst->numsamples = static_cast<int64_t>(count);
    mst->samplecnt = static_cast<int64_t>(count);
    // miniSEED keeps microseconds: the nearest one.
    const int64_t ns = trace.time_ns(done);
    mst->starttime = (ns >= 0 ? ns + 500 : ns - 499) / 1000;

    Collector collector;
    int64_t packed = 0;
    ClearMiniSeedLog();
    const int records = mst_pack(mst, Collect, &collector, length,
                                 steim2    ? DE_STEIM2
                                 : float32 ? DE_FLOAT32
                                           : DE_FLOAT64,
                                 1, &packed, 1, 0, record);
    if (collector.failure) std::rethrow_exception(collector.failure);
    if (records < 0 || packed != static_cast<int64_t>(count)) {
      std::string why = "libmseed packed " + std::to_string(packed) + " of " + std::to_string(count) + " samples";
      if (const std::string detail = LastMiniSeedLog(); !detail.empty()) why += " (" + detail + ")";
      Refuse(trace, why);
    }
    out.Write(collector.records);
  }
}

}  // namespace seisio
