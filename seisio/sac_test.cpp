#include "seisio/sac.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testsupport/seismic_traces.h"
#include "textio/errors.h"

namespace seisio {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A SAC file built word by word here, independently of the writer, in
// either byte order and header version.
class SacFile {
 public:
  SacFile(bool big_endian, int version) : big_(big_endian), version_(version), header_(632, '\0') {
    for (int w = 0; w < 70; ++w) Float(w, -12345.0f);
    for (int w = 70; w < 110; ++w) Int(w, -12345);
    for (int w = 105; w < 110; ++w) Int(w, 0);
    std::memset(header_.data() + 440, ' ', 192);
    Int(76, version);  // NVHDR
    Int(85, 1);        // IFTYPE = ITIME
    Int(105, 1);       // LEVEN
    Float(0, 0.01f);   // DELTA
    Float(5, 0.25f);   // B: the first sample at 01:02:03.706
    Int(70, 2020);     // NZYEAR .. NZMSEC: 2020, day 32 (February 1), 01:02:03.456
    Int(71, 32);
    Int(72, 1);
    Int(73, 2);
    Int(74, 3);
    Int(75, 456);
    Text(440, "STA1");    // KSTNM
    Text(600, "BHZ");     // KCMPNM
    Text(608, "XX");      // KNETWK
    Text(464, "-12345");  // KHOLE undefined
  }

  void Int(int word, int32_t v) { Put32(header_.data() + 4 * word, std::bit_cast<uint32_t>(v)); }
  void Float(int word, float v) { Put32(header_.data() + 4 * word, std::bit_cast<uint32_t>(v)); }
  void Text(size_t offset, const std::string& s) { std::memcpy(header_.data() + offset, s.data(), s.size()); }
  void Samples(const std::vector<float>& v) {
    samples_ = v;
    Int(79, static_cast<int32_t>(v.size()));  // NPTS
  }
  void Footer(double delta, double b) {
    footer_delta_ = delta;
    footer_b_ = b;
  }

  std::string Bytes() const {
    std::string out = header_;
    for (float f : samples_) {
      char w[4];
      Put32(w, std::bit_cast<uint32_t>(f));
      out.append(w, 4);
    }
    if (version_ == 7) {
      for (int k = 0; k < 22; ++k) {
        const double v = k == 0 ? footer_delta_ : k == 1 ? footer_b_ : -12345.0;
        const uint64_t bits = std::bit_cast<uint64_t>(v);
        char d[8];
        Put32(d + (big_ ? 0 : 4), static_cast<uint32_t>(bits >> 32));
        Put32(d + (big_ ? 4 : 0), static_cast<uint32_t>(bits));
        out.append(d, 8);
      }
    }
    return out;
  }

 private:
  void Put32(char* p, uint32_t v) const {
    for (int i = 0; i < 4; ++i) p[big_ ? 3 - i : i] = static_cast<char>((v >> (8 * i)) & 0xff);
  }

  bool big_;
  int version_;
  std::string header_;
  std::vector<float> samples_;
  double footer_delta_ = 0.0;
  double footer_b_ = 0.0;
};

// 2020-02-01T01:02:03.456 UTC, the reference time of SacFile.
constexpr int64_t kReference = (1580518923LL * 1000 + 456) * 1000000;

Trace Read(const std::string& bytes, const std::string& name = "x.sac") {
  return ReadSac(std::span<const char>(bytes.data(), bytes.size()), name);
}

TEST(SacReaderTest, BothByteOrdersAndBothVersions) {
  const std::vector<float> samples = {1.5f, -2.25f, 3e6f, 0.0f, -1e-3f};
  struct Case {
    bool big_endian;
    int version;
    double interval;
    int64_t start_ns;
  };
  // Version 7 takes DELTA and B from the footer's doubles: the header's
  // floats are set to other values to show which is used.
  const Case cases[] = {
      {false, 6, 0.01, kReference + 250'000'000},
      {true, 6, 0.01, kReference + 250'000'000},
      {false, 7, 0.004, kReference + 1'123'456'789},
      {true, 7, 0.004, kReference + 1'123'456'789},
  };
  for (const Case& c : cases) {
    SacFile file(c.big_endian, c.version);
    file.Samples(samples);
    if (c.version == 7) file.Footer(0.004, 1.123456789);
    const Trace t = Read(file.Bytes());
    SCOPED_TRACE(std::string(c.big_endian ? "big" : "little") + "-endian v" + std::to_string(c.version));
    EXPECT_EQ(t.interval, c.interval);
    EXPECT_EQ(t.start_ns, c.start_ns);
    EXPECT_EQ(t.samples, std::vector<double>(samples.begin(), samples.end()));
    EXPECT_EQ(t.station, "STA1");
    EXPECT_EQ(t.channel, "BHZ");
    EXPECT_EQ(t.network, "XX");
    EXPECT_EQ(t.location, "") << "KHOLE -12345 is undefined";
    // Read piecewise, from a stream that starts past leading bytes: the
    // same header and samples.
    for (size_t block : {1u, 2u, 100u}) {
      std::istringstream in("lead" + file.Bytes());
      in.seekg(4);
      SacChannelReader reader(in, "x.sac");
      EXPECT_EQ(reader.trace().interval, c.interval);
      EXPECT_EQ(reader.trace().start_ns, c.start_ns);
      EXPECT_EQ(reader.trace().channel, "BHZ");
      ASSERT_EQ(reader.count(), samples.size());
      std::vector<double> got(samples.size() + 1, -7.0);
      size_t n = 0;
      for (size_t k; (k = reader.Read(got.data() + n, std::min(block, got.size() - n))) > 0;) n += k;
      EXPECT_EQ(n, samples.size()) << "block " << block;
      got.resize(n);
      EXPECT_EQ(got, t.samples) << "block " << block;
    }
  }
}

TEST(SacReaderTest, HeaderFloatsAreTheDecimalsTheyStandFor) {
  // 0.01 is stored as the float 0.00999999977648258...; read as 0.01, so
  // sample 8,640,000 of a day at 100 Hz lies at 86400 s, not 1.9 ms early.
  SacFile file(false, 6);
  file.Samples({1.0f});
  file.Float(5, 12.345f);  // B
  const Trace t = Read(file.Bytes());
  EXPECT_EQ(t.interval, 0.01);
  EXPECT_EQ(t.start_ns, kReference + 12'345'000'000);
}

TEST(SacReaderTest, RefusesBadHeadersNamingTheField) {
  struct Case {
    const char* what;
    void (*damage)(SacFile&);
    const char* message;
  };
  const Case cases[] = {
      {"version 5", [](SacFile& f) { f.Int(76, 5); }, "NVHDR (word 76) is neither 6 nor 7"},
      {"negative NPTS", [](SacFile& f) { f.Int(79, -1); }, "NPTS = -1 is negative"},
      {"NPTS beyond the file", [](SacFile& f) { f.Int(79, 1000); }, "calls for 4632"},
      {"spectrum", [](SacFile& f) { f.Int(85, 2); }, "IFTYPE = 2 (a spectrum, real and imaginary parts)"},
      {"x-y data", [](SacFile& f) { f.Int(85, 4); }, "IFTYPE = 4 (general x-y data)"},
      {"uneven", [](SacFile& f) { f.Int(105, 0); }, "LEVEN = 0"},
      {"no year", [](SacFile& f) { f.Int(70, -12345); }, "NZYEAR is undefined"},
      {"day 366 of 2019", [](SacFile& f) { f.Int(70, 2019), f.Int(71, 366); }, "NZJDAY = 366 is outside 1 to 365"},
      {"hour 24", [](SacFile& f) { f.Int(72, 24); }, "NZHOUR = 24"},
      {"minute 60", [](SacFile& f) { f.Int(73, 60); }, "NZMIN = 60"},
      {"second 61", [](SacFile& f) { f.Int(74, 61); }, "NZSEC = 61"},
      {"millisecond 1000", [](SacFile& f) { f.Int(75, 1000); }, "NZMSEC = 1000"},
      {"zero DELTA", [](SacFile& f) { f.Float(0, 0.0f); }, "DELTA = 0 is not a sampling interval"},
      {"undefined DELTA", [](SacFile& f) { f.Float(0, -12345.0f); }, "DELTA = -12345"},
      {"NaN DELTA", [](SacFile& f) { f.Float(0, std::numeric_limits<float>::quiet_NaN()); }, "DELTA = nan"},
      {"undefined B", [](SacFile& f) { f.Float(5, -12345.0f); }, "B = -12345 is not a begin time"},
      {"NaN sample",
       [](SacFile& f) {
         f.Samples({1.0f, std::numeric_limits<float>::quiet_NaN()});
       },
       "sample 2 (at 2020-02-01T01:02:03.716000) is not a finite number"},
  };
  for (const Case& c : cases) {
    SacFile file(true, 6);
    file.Samples({1.0f, 2.0f, 3.0f});
    c.damage(file);
    try {
      Read(file.Bytes(), "big.sac");
      ADD_FAILURE() << c.what << ": read without complaint";
    } catch (const textio::InputError& e) {
      EXPECT_THAT(e.what(), StartsWith("big.sac: ")) << c.what;
      EXPECT_THAT(e.what(), HasSubstr(c.message)) << c.what;
    }
  }
}

TEST(SacReaderTest, RefusesFilesWhoseSizeTheHeaderDoesNotExplain) {
  // Two samples of version 7: 632 + 8 + 176 = 816 bytes.
  SacFile file(false, 7);
  file.Samples({1.0f, 2.0f});
  file.Footer(0.01, 0.0);
  const std::string whole = file.Bytes();
  const struct {
    std::string bytes;
    const char* message;
  } cases[] = {
      {whole.substr(0, 100), "x.sac: holds 100 bytes, fewer than a SAC header (632)"},
      {whole.substr(0, whole.size() - 8), "x.sac: holds 808 bytes, but its header (NPTS = 2, version 7) calls for 816"},
      {whole + "x", "x.sac: holds 817 bytes, but its header (NPTS = 2, version 7) calls for 816"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT([&] { Read(c.bytes); }, ::testing::ThrowsMessage<textio::InputError>(HasSubstr(c.message)));
  }
}

// A stream that cannot seek, like a pipe.
class PipeBuffer : public std::stringbuf {
 public:
  explicit PipeBuffer(const std::string& s) : std::stringbuf(s) {}

 protected:
  pos_type seekoff(off_type, std::ios_base::seekdir, std::ios_base::openmode) override { return pos_type(-1); }
  pos_type seekpos(pos_type, std::ios_base::openmode) override { return pos_type(-1); }
};

TEST(SacWriterTest, RoundTripKeepsCodesTimeAndSamples) {
  // 2020-01-01T00:00:07.123456789: the writer keeps the millisecond in
  // the reference time and the rest (456789 ns) in B.
  const Trace written =
      testing::MakeTrace("HHE", testing::kNewYear2020 + 7'123'456'789, 0.005, {0.5, -1.25, 1e6, 3.0, -7.0});
  const std::string bytes = testing::SacBytes(written);
  ASSERT_EQ(bytes.size(), 632u + 4 * 5);
  for (bool through_pipe : {false, true}) {
    SCOPED_TRACE(through_pipe ? "through a pipe" : "from memory");
    Trace read;
    if (through_pipe) {
      PipeBuffer pipe(bytes);
      std::istream in(&pipe);
      read = ReadSac(in, "w.sac");
    } else {
      read = Read(bytes, "w.sac");
    }
    EXPECT_EQ(read.samples, written.samples);
    EXPECT_EQ(read.start_ns, written.start_ns);
    EXPECT_EQ(read.interval, written.interval);
    EXPECT_EQ(read.network, "XX");
    EXPECT_EQ(read.station, "ST01");
    EXPECT_EQ(read.location, "00");
    EXPECT_EQ(read.channel, "HHE");
  }
}

TEST(SacWriterTest, WritesVersionSixLittleEndianTimeSeries) {
  const Trace t = testing::MakeTrace("BHN", testing::kNewYear2020 + 86'400'000'000'000, 0.01, {1.0, 4.0, -2.0});
  const std::string bytes = testing::SacBytes(t);
  auto word = [&](int w) {
    int32_t v = 0;
    std::memcpy(&v, bytes.data() + 4 * w, 4);  // this host is little-endian, as the file
    return v;
  };
  auto real = [&](int w) { return std::bit_cast<float>(word(w)); };
  EXPECT_EQ(word(76), 6);   // NVHDR
  EXPECT_EQ(word(79), 3);   // NPTS
  EXPECT_EQ(word(85), 1);   // IFTYPE ITIME
  EXPECT_EQ(word(105), 1);  // LEVEN
  EXPECT_EQ(word(87), 9);   // IZTYPE IB: the start is the reference time
  EXPECT_EQ(word(70), 2020);
  EXPECT_EQ(word(71), 2);     // January 2
  EXPECT_EQ(real(5), 0.0f);   // B
  EXPECT_EQ(real(6), 0.02f);  // E
  EXPECT_EQ(real(1), -2.0f);  // DEPMIN
  EXPECT_EQ(real(2), 4.0f);   // DEPMAX
  EXPECT_EQ(real(56), 1.0f);  // DEPMEN
  EXPECT_EQ(bytes.substr(440, 8), "ST01    ");
  EXPECT_EQ(bytes.substr(448, 16), "-12345          ");  // KEVNM undefined
  EXPECT_EQ(bytes.substr(600, 8), "BHN     ");
}

TEST(SacWriterTest, RefusesWhatSacCannotHold) {
  const struct {
    Trace trace;
    const char* message;
  } cases[] = {
      {testing::MakeTrace("BHZ", 0, 0.01, {1.0, 1e300}), "sample 2 is not a finite 32-bit float"},
      // A 32-bit DELTA of 1e-300 would be 0: a file no reader takes.
      {testing::MakeTrace("BHZ", 0, 1e-300, {1.0}), "sampling interval 1e-300 s is outside 1e-9 to 1e6 s"},
      {testing::MakeTrace("BHZ", 0, 0.0, {1.0}), "sampling interval 0 s is outside"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT([&] { testing::SacBytes(c.trace); },
                ::testing::ThrowsMessage<textio::RuntimeError>(HasSubstr(c.message)));
  }
}

TEST(SacReaderTest, RefusesFooterIntervalsOutsideTheirRange) {
  for (double delta : {1e-300, 0.0, -0.01, 2e6}) {
    SacFile file(false, 7);
    file.Samples({1.0f});
    file.Footer(delta, 0.0);
    EXPECT_THAT([&] { Read(file.Bytes()); }, ::testing::ThrowsMessage<textio::InputError>(
                                                 HasSubstr("header field DELTA (footer) = " + SecondsText(delta) +
                                                           " is not a sampling interval (seconds, from 1e-9 to 1e6)")));
  }
}

}  // namespace
}  // namespace seisio
