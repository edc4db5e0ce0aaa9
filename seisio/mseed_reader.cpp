// Reading miniSEED: a first pass over the record headers lays out every
// channel (records in time order, gaps and overlaps found before a sample
// is decoded, the exact number of samples known), a second pass decodes
// each record's samples straight into their place.

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "seisio/input.h"
#include "seisio/mseed.h"
#include "seisio/mseed_index.h"
#include "seisio/mseed_log.h"
#include "seisio/mseed_records.h"
#include "textio/errors.h"

namespace seisio {

namespace {

// What the first pass keeps of a record that carries samples.
struct RecordInfo {
  int64_t offset = 0;  // in the file
  int32_t length = 0;  // bytes
  size_t channel = 0;  // index into the channel list
  hptime_t start = 0;  // first sample, microseconds
  int64_t samples = 0;
  double rate = 0.0;    // samples per second
  size_t position = 0;  // index of its first sample in the channel (set after sorting)
  bool starts_run = false;
};

struct ChannelLayout {
  Trace trace;                  // codes, start, interval; no samples
  std::vector<size_t> records;  // indices into the record list
  int64_t total = 0;
};

// A SEED code without its padding: the fields are blank-filled, and SEED
// codes hold no blanks of their own.
std::string Code(const char* field) {
  std::string code;
  for (const char* p = field; *p != '\0'; ++p) {
    if (*p != ' ') code.push_back(*p);
  }
  return code;
}

std::string IdOf(const MSRecord& r) {
  return Code(r.network) + "." + Code(r.station) + "." + Code(r.location) + "." + Code(r.channel);
}

int64_t NsOf(hptime_t t) { return t * (kNanosecondsPerSecond / HPTMODULUS); }

// Times are held as nanoseconds in 64 bits, about 292 years either side
// of 1970; records are taken within 285 of them (1685 to 2254), so every
// time derived from theirs fits.
constexpr double kTimeLimitUs = 9e15;

bool TimeInRange(double us) { return std::fabs(us) < kTimeLimitUs; }

std::string TimeOf(hptime_t t) { return IsoTime(NsOf(t)); }

[[noreturn]] void Fail(std::string_view name, const std::string& what) {
  throw textio::InputError(std::string(name) + ": " + what);
}

// Puts a channel's records in time order and checks that they continue one
// another: each record must start where the one before it ends, and on the
// grid of samples of its run (the run's start + i / rate), both within
// less than half a sample. Strictly, the channel is one run and anything
// else is refused; with runs allowed, a record that does not continue
// starts a new run. Sets each record's place in the channel and marks the
// first record of each run.
void LayOut(std::string_view name, ChannelLayout& channel, std::vector<RecordInfo>& records, Continuity continuity) {
  std::stable_sort(channel.records.begin(), channel.records.end(),
                   [&](size_t a, size_t b) { return records[a].start < records[b].start; });
  const RecordInfo& first = records[channel.records.front()];
  const double rate = first.rate;
  const std::string id = channel.trace.id();
  const double half_us = 0.5e6 / rate;
  // start + offset in microseconds, refused where it leaves the range.
  auto at = [&](hptime_t start, double offset_us) {
    const double t = static_cast<double>(start) + offset_us;
    if (!TimeInRange(t)) Fail(name, id + ": the samples run beyond the years 1685 to 2254");
    return static_cast<hptime_t>(std::llround(t));
  };
  const bool strict = continuity == Continuity::kStrict;
  int64_t position = 0;
  hptime_t run_start = first.start;  // of the run the record continues
  int64_t run_position = 0;          // the index of its first sample
  for (size_t k = 0; k < channel.records.size(); ++k) {
    RecordInfo& r = records[channel.records[k]];
    if (!MS_ISRATETOLERABLE(rate, r.rate)) {
      Fail(name, id + ": the sampling rate changes from " + SecondsText(rate) + " Hz to " + SecondsText(r.rate) +
                     " Hz at " + TimeOf(r.start));
    }
    bool continues = k > 0;
    if (k > 0) {
      const RecordInfo& previous = records[channel.records[k - 1]];
      const hptime_t end = at(previous.start, static_cast<double>(previous.samples) * 1e6 / rate);
      const auto step = static_cast<double>(r.start - end);
      if (step >= half_us) {
        if (strict) {
          Fail(name, id + ": gap in the samples: they end at " + TimeOf(end - std::llround(1e6 / rate)) +
                         " (last sample) and go on at " + TimeOf(r.start));
        }
        continues = false;
      }
      if (step <= -half_us) {
        if (strict) {
          Fail(name, id + ": overlap in the samples: a record starting at " + TimeOf(r.start) +
                         " repeats samples up to " + TimeOf(end - std::llround(1e6 / rate)));
        }
        continues = false;
      }
    }
    if (continues) {
      const hptime_t on_grid = at(run_start, static_cast<double>(position - run_position) * 1e6 / rate);
      if (std::fabs(static_cast<double>(r.start - on_grid)) >= half_us) {
        if (strict) {
          Fail(name, id + ": the record starting at " + TimeOf(r.start) + " lies off the channel's sampling grid by " +
                         SecondsText(static_cast<double>(r.start - on_grid) * 1e-6) +
                         " s (half a sample or more): the timing drifts from the sampling rate");
        }
        continues = false;
      }
    }
    if (!continues) {
      run_start = r.start;
      run_position = position;
    }
    r.starts_run = !continues;
    r.position = static_cast<size_t>(position);
    position += r.samples;
  }
  at(first.start, static_cast<double>(position) * 1e6 / rate);  // the end, too
  channel.total = position;
  channel.trace.start_ns = NsOf(first.start);
  channel.trace.interval = 1.0 / rate;
}

// Copies a decoded record's samples into the channel; returns the index
// of the first that is not a finite number (float encodings can hold NaN
// and infinities), or the count when all are.
size_t Place(const MSRecord& r, double* to) {
  const auto n = static_cast<size_t>(r.numsamples);
  switch (r.sampletype) {
    case 'i': {
      const auto* from = static_cast<const int32_t*>(r.datasamples);
      for (size_t i = 0; i < n; ++i) to[i] = from[i];
      break;
    }
    case 'f': {
      const auto* from = static_cast<const float*>(r.datasamples);
      for (size_t i = 0; i < n; ++i) to[i] = from[i];
      break;
    }
    case 'd': {
      const auto* from = static_cast<const double*>(r.datasamples);
      std::copy(from, from + n, to);
      break;
    }
    default:
      break;
  }
  if (r.sampletype == 'i') return n;
  for (size_t i = 0; i < n; ++i) {
    if (!std::isfinite(to[i])) return i;
  }
  return n;
}

bool CarriesSamples(const MSRecord& r) { return r.samplecnt > 0 && r.encoding != DE_ASCII; }

// Bytes per sample of the encodings that store each sample whole, 0 for
// the Steim encodings (whose frames libmseed decodes only up to the
// record's end) and for encodings it does not decode. libmseed unpacks a
// whole-sample encoding for as many samples as the header claims, reading
// past the record if they do not fit, so such a header is refused first.
int WholeSampleBytes(int8_t encoding) {
  switch (encoding) {
    case DE_INT16:
    case DE_GEOSCOPE163:
    case DE_GEOSCOPE164:
    case DE_CDSN:
    case DE_SRO:
    case DE_DWWSSN:
      return 2;
    case DE_GEOSCOPE24:
      return 3;
    case DE_INT32:
    case DE_FLOAT32:
      return 4;
    case DE_FLOAT64:
      return 8;
    default:
      return 0;
  }
}

}  // namespace

bool LooksLikeMiniSeed(std::span<const char> head) {
  CatchMiniSeedLog();
  if (head.size() < 48) return false;
  return ms_detect(head.data(), static_cast<int>(std::min<size_t>(head.size(), MAXRECLEN))) >= 0;
}

namespace {

// Pass 1 over `in` from its position now (offsets count from there).
std::vector<MiniSeedChannel> Index(std::istream& in, std::string_view name, Continuity continuity) {
  std::vector<RecordInfo> records;
  std::vector<ChannelLayout> channels;
  std::map<std::string, size_t> channel_of_id;
  RecordScanner scanner(in, name);
  while (scanner.Next(false)) {
    const MSRecord& r = scanner.record();
    if (!CarriesSamples(r)) continue;
    // No encoding packs more than 7 samples into 4 bytes (Steim 2), so a
    // count above two per byte of the record is a damaged header; it is
    // refused before it can size an allocation.
    if (r.samplecnt > 2 * int64_t{r.reclen}) {
      Fail(name, IdOf(r) + ": the record at byte " + std::to_string(scanner.offset()) + " claims " +
                     std::to_string(r.samplecnt) + " samples, more than its " + std::to_string(r.reclen) +
                     " bytes can hold");
    }
    const int64_t data_offset = r.fsdh != nullptr ? int64_t{r.fsdh->data_offset} : 0;
    if (data_offset > r.reclen || data_offset + r.samplecnt * WholeSampleBytes(r.encoding) > r.reclen) {
      Fail(name, IdOf(r) + ": the record at byte " + std::to_string(scanner.offset()) + " claims " +
                     std::to_string(r.samplecnt) + " samples, more than its data section (from byte " +
                     std::to_string(data_offset) + " of " + std::to_string(r.reclen) + ") holds");
    }
    if (!TimeInRange(static_cast<double>(r.starttime))) {
      Fail(name, IdOf(r) + ": the record at byte " + std::to_string(scanner.offset()) +
                     " starts outside the years 1685 to 2254");
    }
    // From one sample in 11.6 days to a gigahertz.
    const double rate = msr_samprate(const_cast<MSRecord*>(&r));
    if (!(rate >= 1e-6 && rate <= 1e9)) {
      Fail(name, IdOf(r) + ": the record at " + TimeOf(r.starttime) + " (byte " + std::to_string(scanner.offset()) +
                     ") has no usable sampling rate (" + SecondsText(rate) + " Hz)");
    }
    const std::string id = IdOf(r);
    auto [it, added] = channel_of_id.emplace(id, channels.size());
    if (added) {
      ChannelLayout& c = channels.emplace_back();
      c.trace.network = Code(r.network);
      c.trace.station = Code(r.station);
      c.trace.location = Code(r.location);
      c.trace.channel = Code(r.channel);
    }
    channels[it->second].records.push_back(records.size());
    records.push_back({scanner.offset(), r.reclen, it->second, r.starttime, r.samplecnt, rate, 0, false});
  }
  std::vector<MiniSeedChannel> index;
  index.reserve(channels.size());
  for (ChannelLayout& c : channels) {
    LayOut(name, c, records, continuity);
    MiniSeedChannel& m = index.emplace_back();
    m.trace = std::move(c.trace);
    m.count = static_cast<size_t>(c.total);
    m.records.reserve(c.records.size());
    for (size_t k : c.records) {
      const RecordInfo& r = records[k];
      m.records.push_back({r.offset, r.length, r.samples, r.position, NsOf(r.start), r.starts_run});
    }
  }
  return index;
}

// Checks a record decoded for `channel` against what its header promised
// and copies its samples to `to`.
void Unpack(std::string_view name, const MiniSeedChannel& channel, const MiniSeedChannel::Record& record,
            const MSRecord& r, double* to) {
  const Trace& t = channel.trace;
  const std::string at = IsoTime(record.start_ns);
  if (r.sampletype != 'i' && r.sampletype != 'f' && r.sampletype != 'd') {
    Fail(name, t.id() + ": the record at " + at + " holds no numeric samples");
  }
  if (r.numsamples != record.samples) {
    std::string message = t.id() + ": the record at " + at + " decodes to " + std::to_string(r.numsamples) +
                          " of its " + std::to_string(record.samples) + " samples";
    if (const std::string detail = LastMiniSeedLog(); !detail.empty()) message += " (libmseed: " + detail + ")";
    Fail(name, message);
  }
  const size_t bad = Place(r, to);
  if (bad != static_cast<size_t>(r.numsamples)) {
    Fail(name, t.id() + ": sample " + std::to_string(record.position + bad + 1) + " (at " +
                   IsoTime(record.start_ns + std::llround(static_cast<double>(bad) * t.interval * 1e9)) +
                   ") is not a finite number");
  }
}

}  // namespace

std::vector<MiniSeedChannel> IndexMiniSeed(std::istream& stream, std::string_view name, Continuity continuity) {
  const std::streamoff start = stream.tellg();
  SeekableInput input(stream);
  std::vector<MiniSeedChannel> index = Index(input.stream(), name, continuity);
  // Offsets in the file itself, for readers that seek in it.
  if (start > 0) {
    for (MiniSeedChannel& c : index) {
      for (MiniSeedChannel::Record& r : c.records) r.offset += start;
    }
  }
  return index;
}

std::vector<Trace> ReadMiniSeed(std::istream& stream, std::string_view name) {
  SeekableInput input(stream);
  std::vector<MiniSeedChannel> channels = Index(input.stream(), name, Continuity::kStrict);
  // The records in file order, where the second pass meets them.
  struct Spot {
    int64_t offset;
    size_t channel, record;
  };
  std::vector<Spot> spots;
  for (size_t c = 0; c < channels.size(); ++c) {
    channels[c].trace.samples.resize(channels[c].count);
    for (size_t k = 0; k < channels[c].records.size(); ++k) spots.push_back({channels[c].records[k].offset, c, k});
  }
  std::sort(spots.begin(), spots.end(), [](const Spot& a, const Spot& b) { return a.offset < b.offset; });

  {  // Pass 2: samples.
    input.Rewind();
    RecordScanner scanner(input.stream(), name);
    size_t next = 0;
    while (scanner.Next(true)) {
      const MSRecord& r = scanner.record();
      if (!CarriesSamples(r)) continue;
      if (next >= spots.size() || spots[next].offset != scanner.offset()) {
        Fail(name, "the file changed while it was read");
      }
      const Spot& spot = spots[next++];
      MiniSeedChannel& c = channels[spot.channel];
      const MiniSeedChannel::Record& record = c.records[spot.record];
      Unpack(name, c, record, r, c.trace.samples.data() + record.position);
    }
    if (next != spots.size()) Fail(name, "the file changed while it was read");
  }

  std::vector<Trace> traces;
  traces.reserve(channels.size());
  for (MiniSeedChannel& c : channels) traces.push_back(std::move(c.trace));
  return traces;
}

std::vector<Trace> ReadMiniSeed(std::span<const char> bytes, std::string_view name) {
  MemoryStream in(bytes);
  return ReadMiniSeed(in, name);
}

MiniSeedChannelReader::MiniSeedChannelReader(std::istream& in, std::string name, MiniSeedChannel channel)
    : in_(in), name_(std::move(name)), channel_(std::move(channel)) {
  CatchMiniSeedLog();
}

MiniSeedChannelReader::~MiniSeedChannelReader() {
  auto* msr = static_cast<MSRecord*>(msr_);
  msr_free(&msr);
}

void MiniSeedChannelReader::Decode(size_t k, double* to) {
  const MiniSeedChannel::Record& record = channel_.records[k];
  bytes_.resize(static_cast<size_t>(record.length));
  in_.clear();
  in_.seekg(record.offset);
  in_.read(bytes_.data(), record.length);
  if (in_.gcount() != record.length) {
    Fail(name_, channel_.trace.id() + ": cannot read the record at byte " + std::to_string(record.offset) +
                    " (the file changed while it was read)");
  }
  auto* msr = static_cast<MSRecord*>(msr_);
  ClearMiniSeedLog();
  const int status = msr_parse(bytes_.data(), record.length, &msr, record.length, 1, 0);
  msr_ = msr;
  if (status != 0) {
    Fail(name_, "byte " + std::to_string(record.offset) + ": the record no longer parses (" +
                    (status < 0 ? std::string(ms_errorstr(status)) : "truncated") +
                    "; the file changed while it was read)");
  }
  Unpack(name_, channel_, record, *msr, to);
}

size_t MiniSeedChannelReader::Read(double* out, size_t count) {
  size_t done = 0;
  while (done < count) {
    if (used_ == decoded_.size()) {
      if (next_record_ > run_first_ && RunEndsBefore(next_record_)) break;
      const auto samples = static_cast<size_t>(channel_.records[next_record_].samples);
      if (count - done >= samples) {  // the whole record fits: no copy
        Decode(next_record_++, out + done);
        done += samples;
        continue;
      }
      decoded_.resize(samples);
      Decode(next_record_++, decoded_.data());
      used_ = 0;
      continue;
    }
    const size_t n = std::min(count - done, decoded_.size() - used_);
    std::copy_n(decoded_.data() + used_, n, out + done);
    used_ += n;
    done += n;
  }
  return done;
}

bool MiniSeedChannelReader::NextRun() {
  while (!RunEndsBefore(next_record_)) ++next_record_;  // the rest of this run is not wanted
  decoded_.clear();
  used_ = 0;
  if (next_record_ == channel_.records.size()) return false;
  run_first_ = next_record_;
  return true;
}

}  // namespace seisio
