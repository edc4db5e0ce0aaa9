#include "seisio/mseed.h"

#include <libmseed.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "seisio/mseed_index.h"
#include "testsupport/expect_trace.h"
#include "testsupport/seismic_traces.h"
#include "textio/errors.h"

namespace seisio {
namespace {

using testing::Counts;
using testing::ExpectSameTrace;
using ::testing::HasSubstr;
using testing::kNewYear2020;
using testing::MakeTrace;
using testing::MiniSeedBytes;
using ::testing::StartsWith;

std::vector<Trace> Read(const std::string& bytes, const std::string& name = "x.mseed") {
  return ReadMiniSeed(std::span<const char>(bytes.data(), bytes.size()), name);
}

// The encodings of the records in `bytes`, read by libmseed directly.
std::vector<int> Encodings(std::string bytes) {
  std::vector<int> found;
  MSRecord* msr = nullptr;
  for (size_t at = 0; at < bytes.size();) {
    if (msr_parse(bytes.data() + at, static_cast<int>(bytes.size() - at), &msr, 0, 0, 0) != 0) break;
    found.push_back(msr->encoding);
    at += static_cast<size_t>(msr->reclen);
  }
  msr_free(&msr);
  return found;
}

TEST(MiniSeedTest, RoundTripThroughLibmseedInEveryEncoding) {
  // Three channels of one station in one file, each in its own encoding
  // choice and record length.
  struct Case {
    MiniSeedEncoding encoding;
    int record_length;
    bool integer_samples;
    int expected_encoding;
  };
  const Case cases[] = {
      {MiniSeedEncoding::kAuto, 4096, true, DE_STEIM2},       {MiniSeedEncoding::kAuto, 512, false, DE_FLOAT64},
      {MiniSeedEncoding::kSteim2, 512, true, DE_STEIM2},      {MiniSeedEncoding::kFloat64, 4096, true, DE_FLOAT64},
      {MiniSeedEncoding::kFloat64, 65536, false, DE_FLOAT64}, {MiniSeedEncoding::kFloat32, 1024, true, DE_FLOAT32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("record length " + std::to_string(c.record_length) + ", encoding " +
                 std::to_string(c.expected_encoding));
    std::vector<Trace> written;
    const char* channels[] = {"HHZ", "HHE", "HHN"};
    for (uint32_t k = 0; k < 3; ++k) {
      std::vector<double> samples = Counts(25'000 + k, 7 + k);
      if (!c.integer_samples) {
        for (double& v : samples) v = v / 3.0 + 0.1;
      }
      // Starts to the microsecond, miniSEED's resolution.
      written.push_back(MakeTrace(channels[k], kNewYear2020 + 123'456'000 + k * 1000, 0.01, samples));
    }
    const std::string bytes = MiniSeedBytes(written, {c.encoding, c.record_length});
    const std::vector<int> encodings = Encodings(bytes);
    ASSERT_FALSE(encodings.empty());
    EXPECT_TRUE(std::all_of(encodings.begin(), encodings.end(), [&](int e) { return e == c.expected_encoding; }));
    const std::vector<Trace> read = Read(bytes);
    ASSERT_EQ(read.size(), 3u);
    for (size_t k = 0; k < 3; ++k) ExpectSameTrace(read[k], written[k]);
  }
}

TEST(MiniSeedTest, Float32RoundsEachSampleToNearest) {
  const Trace written = MakeTrace("HHZ", kNewYear2020, 0.01, {0.1, -1.0 / 3.0, 1e-30, 3.4e38});
  const std::vector<Trace> read = Read(MiniSeedBytes({written}, {MiniSeedEncoding::kFloat32, 512}));
  ASSERT_EQ(read.size(), 1u);
  ASSERT_EQ(read[0].samples.size(), written.samples.size());
  for (size_t i = 0; i < written.samples.size(); ++i) {
    EXPECT_EQ(read[0].samples[i], static_cast<double>(static_cast<float>(written.samples[i])));
  }
}

TEST(MiniSeedTest, AChannelReadRecordByRecordGivesTheSamplesOfTheWholeRead) {
  // Two channels, their records interleaved and reversed in the file; a
  // stream that starts past some leading bytes, so offsets must be the
  // file's own. Pulled in block sizes that cut records anywhere.
  const Trace z = MakeTrace("HHZ", kNewYear2020, 0.01, Counts(7000, 5));
  Trace e = MakeTrace("HHE", kNewYear2020, 0.01, Counts(6000, 9));
  for (double& v : e.samples) v = v / 7.0;
  const std::string zb = MiniSeedBytes({z}, {MiniSeedEncoding::kSteim2, 512});
  const std::string eb = MiniSeedBytes({e}, {MiniSeedEncoding::kFloat64, 512});
  std::string file = "lead";
  for (size_t k = 0; k * 512 < std::max(zb.size(), eb.size()); ++k) {
    const size_t back = std::max(zb.size(), eb.size()) / 512 - 1 - k;
    if (back * 512 < zb.size()) file += zb.substr(back * 512, 512);
    if (back * 512 < eb.size()) file += eb.substr(back * 512, 512);
  }
  for (size_t block : {1u, 97u, 700u, 100000u}) {
    SCOPED_TRACE("block " + std::to_string(block));
    std::istringstream in(file);
    in.seekg(4);
    std::vector<MiniSeedChannel> index = IndexMiniSeed(in, "x.mseed");
    ASSERT_EQ(index.size(), 2u);
    // Channels come in the order of their first records: here e's.
    const Trace* expected[] = {index[0].trace.channel == "HHZ" ? &z : &e, index[0].trace.channel == "HHZ" ? &e : &z};
    EXPECT_EQ(index[0].trace.channel, "HHE");
    // Both readers share the stream, as the channels of one file do.
    std::vector<std::unique_ptr<MiniSeedChannelReader>> readers;
    for (size_t c = 0; c < 2; ++c) {
      EXPECT_EQ(index[c].trace.id(), expected[c]->id());
      EXPECT_EQ(index[c].trace.start_ns, expected[c]->start_ns);
      EXPECT_EQ(index[c].count, expected[c]->samples.size());
      readers.push_back(std::make_unique<MiniSeedChannelReader>(in, "x.mseed", index[c]));
    }
    std::vector<double> got[2];
    std::vector<double> buffer(block);
    for (bool more = true; more;) {
      more = false;
      for (size_t c = 0; c < 2; ++c) {
        const size_t n = readers[c]->Read(buffer.data(), block);
        got[c].insert(got[c].end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
        more = more || n == block;
      }
    }
    EXPECT_EQ(got[0], expected[0]->samples);
    EXPECT_EQ(got[1], expected[1]->samples);
  }
}

TEST(MiniSeedTest, RecordsInAnyOrderMakeOneChannel) {
  const Trace written = MakeTrace("BHZ", kNewYear2020, 0.025, Counts(5000, 3));
  const std::string bytes = MiniSeedBytes({written}, {MiniSeedEncoding::kSteim2, 512});
  ASSERT_EQ(bytes.size() % 512, 0u);
  // The records reversed: still one gap-free channel.
  std::string reversed;
  for (size_t at = bytes.size(); at > 0; at -= 512) reversed += bytes.substr(at - 512, 512);
  const std::vector<Trace> read = Read(reversed);
  ASSERT_EQ(read.size(), 1u);
  ExpectSameTrace(read[0], written);
}

TEST(MiniSeedTest, GapsAndOverlapsAreRefusedWithTheirTimes) {
  // Two pieces of one channel at 100 Hz: samples 0..999, then 1000 more
  // starting `shift_us` after sample 1000's place.
  struct Case {
    int64_t shift_us;
    const char* message;  // "" when the pieces join
  };
  const Case cases[] = {
      {0, ""},
      {4'000, ""},   // 0.4 sample late: within half a sample
      {-4'000, ""},  // 0.4 sample early
      {6'000,
       "XX.ST01.00.HHZ: gap in the samples: they end at 2020-01-01T00:00:09.990000 (last sample) and go on at "
       "2020-01-01T00:00:10.006000"},
      {50'000,
       "gap in the samples: they end at 2020-01-01T00:00:09.990000 (last sample) and go on at "
       "2020-01-01T00:00:10.050000"},
      {-6'000,
       "XX.ST01.00.HHZ: overlap in the samples: a record starting at 2020-01-01T00:00:09.994000 repeats "
       "samples up to 2020-01-01T00:00:09.990000"},
      {-3'000'000, "overlap in the samples: a record starting at 2020-01-01T00:00:07.000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shift_us);
    const Trace first = MakeTrace("HHZ", kNewYear2020, 0.01, Counts(1000, 1));
    const Trace second = MakeTrace("HHZ", kNewYear2020 + 10'000'000'000 + c.shift_us * 1000, 0.01, Counts(1000, 2));
    const std::string bytes = MiniSeedBytes({first, second}, {MiniSeedEncoding::kSteim2, 512});
    if (*c.message == '\0') {
      const std::vector<Trace> read = Read(bytes);
      ASSERT_EQ(read.size(), 1u);
      EXPECT_EQ(read[0].samples.size(), 2000u);
      EXPECT_EQ(read[0].start_ns, kNewYear2020);
      EXPECT_TRUE(std::equal(first.samples.begin(), first.samples.end(), read[0].samples.begin()));
      EXPECT_TRUE(std::equal(second.samples.begin(), second.samples.end(), read[0].samples.begin() + 1000));
    } else {
      EXPECT_THAT([&] { Read(bytes, "gappy.mseed"); }, ::testing::ThrowsMessage<textio::InputError>(::testing::AllOf(
                                                           StartsWith("gappy.mseed: "), HasSubstr(c.message))));
    }
  }
}

TEST(MiniSeedTest, TimingThatDriftsOffTheGridIsRefused) {
  // Ten pieces, each 0.3 sample later than the last ended: every joint is
  // within half a sample, but the record is not on one grid.
  std::vector<Trace> pieces;
  for (int64_t k = 0; k < 10; ++k) {
    pieces.push_back(MakeTrace("HHZ", kNewYear2020 + k * 1'003'000'000, 0.01, Counts(100, 5 + uint32_t(k))));
  }
  EXPECT_THAT(
      [&] {
        Read(MiniSeedBytes(pieces, {MiniSeedEncoding::kSteim2, 512}));
      },
      ::testing::ThrowsMessage<textio::InputError>(
          HasSubstr("x.mseed: XX.ST01.00.HHZ: the record starting at 2020-01-01T00:00:02.006000 lies off the channel's "
                    "sampling grid by 0.006 s")));
}

TEST(MiniSeedTest, ARateChangeInsideAChannelIsRefused) {
  const Trace first = MakeTrace("HHZ", kNewYear2020, 0.01, Counts(1000, 1));
  const Trace second = MakeTrace("HHZ", kNewYear2020 + 10'000'000'000, 0.02, Counts(1000, 2));
  EXPECT_THAT(
      [&] {
        Read(MiniSeedBytes({first, second}));
      },
      ::testing::ThrowsMessage<textio::InputError>(
          HasSubstr("XX.ST01.00.HHZ: the sampling rate changes from 100 Hz to 50 Hz at 2020-01-01T00:00:10.000000")));
}

TEST(MiniSeedTest, DamagedFilesAreRefusedWithTheByteOffset) {
  const std::string good =
      MiniSeedBytes({MakeTrace("HHZ", kNewYear2020, 0.01, Counts(3000, 4))}, {MiniSeedEncoding::kSteim2, 512});
  ASSERT_GE(good.size(), 1024u);
  // A record of whole 64-bit samples whose header (bytes 30-31) claims 60
  // of them: 480 bytes from its data offset, more than its 512 hold.
  std::string wide =
      MiniSeedBytes({MakeTrace("HHZ", kNewYear2020, 0.01, {1.5, 2.5, 3.5, 4.5})}, {MiniSeedEncoding::kFloat64, 512});
  wide[30] = 0;
  wide[31] = 60;
  const struct {
    std::string bytes;
    std::string message;
  } cases[] = {
      {good + std::string(512, 'x'), "byte " + std::to_string(good.size()) + ": not a miniSEED data record"},
      {good.substr(0, good.size() - 100), "the file ends inside a record (412 bytes left)"},
      {good.substr(0, 512) + std::string(512, '\0') + good.substr(1024), "byte 512: not a miniSEED data record"},
      // The second record's year (bytes 20-21 of its header) made 2300.
      {good.substr(0, 532) + "\x08\xfc" + good.substr(534),
       "XX.ST01.00.HHZ: the record at byte 512 starts outside the years 1685 to 2254"},
      {wide, "XX.ST01.00.HHZ: the record at byte 0 claims 60 samples, more than its data section (from byte "},
  };
  for (const auto& c : cases) {
    EXPECT_THAT([&] { Read(c.bytes); }, ::testing::ThrowsMessage<textio::InputError>(
                                            ::testing::AllOf(StartsWith("x.mseed: "), HasSubstr(c.message))));
  }
}

TEST(MiniSeedTest, NonFiniteSamplesAreRefusedWithTheirTime) {
  std::string bytes =
      MiniSeedBytes({MakeTrace("HHZ", kNewYear2020, 0.01, {1.5, 2.5, 3.5, 4.5})}, {MiniSeedEncoding::kFloat64, 512});
  // Sample 3 becomes a NaN: big-endian doubles from the data offset the
  // fixed header gives (bytes 44-45).
  const size_t data = static_cast<unsigned char>(bytes[44]) * 256 + static_cast<unsigned char>(bytes[45]);
  const char nan[8] = {'\x7f', '\xf8', 0, 0, 0, 0, 0, 0};
  bytes.replace(data + 16, 8, nan, 8);
  EXPECT_THAT([&] { Read(bytes); }, ::testing::ThrowsMessage<textio::InputError>(HasSubstr(
                                        "x.mseed: XX.ST01.00.HHZ: sample 3 (at 2020-01-01T00:00:00.020000) is not a "
                                        "finite number")));
}

TEST(MiniSeedTest, ChooseEncodingKeepsEverySampleExact) {
  const struct {
    std::vector<double> samples;
    MiniSeedEncoding expected;
  } cases[] = {
      {{0, 1, -5, 536870906.0, 0.0}, MiniSeedEncoding::kSteim2},  // differences up to 2^29 - 1
      {{0.5}, MiniSeedEncoding::kFloat64},                        // not an integer
      {{2147483648.0}, MiniSeedEncoding::kFloat64},               // beyond 32 bits
      {{0, 536870912.0}, MiniSeedEncoding::kFloat64},             // a difference beyond 30 bits
      {{}, MiniSeedEncoding::kSteim2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseEncoding(MakeTrace("HHZ", 0, 0.01, c.samples)), c.expected) << c.samples.size();
  }
  // Steim 2 really holds the extremes it is chosen for: the largest
  // counts, and the largest differences in both directions.
  const Trace extremes = MakeTrace("HHE", kNewYear2020, 0.01,
                                   {2147483647.0, 2147483647.0 - 536870911.0, 2147483647.0, -2147483648.0,
                                    -2147483648.0 + 536870911.0, -2147483648.0, 0.0});
  ASSERT_EQ(ChooseEncoding(extremes), MiniSeedEncoding::kFloat64) << "differences of 2^32 need floats";
  const Trace wide = MakeTrace("HHZ", kNewYear2020, 0.01, {2147483647.0, 2147483647.0 - 536870911.0, 2147483647.0});
  ASSERT_EQ(ChooseEncoding(wide), MiniSeedEncoding::kSteim2);
  const std::vector<Trace> read = Read(MiniSeedBytes({wide, extremes}, {MiniSeedEncoding::kAuto, 512}));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].samples, wide.samples);
  EXPECT_EQ(read[1].samples, extremes.samples);
}

TEST(MiniSeedTest, WriterRefusesWhatMiniSeedCannotHold) {
  Trace long_station = MakeTrace("HHZ", 0, 0.01, {1, 2, 3}, "STATION");
  Trace fractional = MakeTrace("HHZ", 0, 0.01, {0.5});
  const struct {
    Trace trace;
    MiniSeedOptions options;
    const char* message;
  } cases[] = {
      {long_station, {}, "its station code 'STATION' is longer than 5 characters"},
      {fractional, {MiniSeedEncoding::kSteim2, 4096}, "Steim 2 holds integer samples"},
      {fractional, {MiniSeedEncoding::kAuto, 1000}, "record length 1000 is not a power of two"},
      {MakeTrace("HHZ", 0, 0.0, {1}), {}, "sampling interval 0 s is not positive"},
      {MakeTrace("HHZ", 0, 0.01, {1, 1e39}),
       {MiniSeedEncoding::kFloat32, 4096},
       "sample 2 lies beyond the range of 32-bit floats"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT([&] { MiniSeedBytes({c.trace}, c.options); },
                ::testing::ThrowsMessage<textio::RuntimeError>(HasSubstr(c.message)));
  }
}

}  // namespace
}  // namespace seisio
