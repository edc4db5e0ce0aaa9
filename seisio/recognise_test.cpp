#include "seisio/recognise.h"

#include <sstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testsupport/seismic_traces.h"
#include "textio/errors.h"

namespace seisio {
namespace {

using ::testing::HasSubstr;
using testing::kNewYear2020;
using testing::MakeTrace;

Format Of(const std::string& bytes) {
  std::istringstream in(bytes);
  return Recognise(in);
}

// A SAC file turned big-endian word by word (the header's numbers and the
// samples; the text fields stay as they are).
std::string BigEndian(std::string sac) {
  for (size_t at = 0; at + 4 <= sac.size(); at += 4) {
    if (at >= 440 && at < 632) continue;
    std::swap(sac[at], sac[at + 3]);
    std::swap(sac[at + 1], sac[at + 2]);
  }
  return sac;
}

TEST(RecogniseTest, TellsTheFormatByContentAlone) {
  const Trace trace = MakeTrace("HHZ", kNewYear2020, 0.01, {1, 2, 3, 4});
  const std::string sac = testing::SacBytes(trace);
  const std::string mseed = testing::MiniSeedBytes({trace});
  const struct {
    const char* what;
    std::string bytes;
    Format expected;
  } cases[] = {
      {"SAC little-endian", sac, Format::kSac},
      {"SAC big-endian", BigEndian(sac), Format::kSac},
      {"miniSEED", mseed, Format::kMiniSeed},
      {"miniSEED, little-endian records", testing::MiniSeedBytes({trace}, {MiniSeedEncoding::kFloat64, 512}),
       Format::kMiniSeed},
      {"column text", "   0.00000000        1.00000000        2.00000000        3.00000000    \n", Format::kText},
      {"text that starts with digits", "000000D 1 2 3\n", Format::kText},
      {"empty", "", Format::kText},
      {"SAC header whose NPTS does not fit the size", sac.substr(0, sac.size() - 4), Format::kText},
      {"SAC header alone", sac.substr(0, 632), Format::kText},
      {"binary noise", std::string(700, '\x07'), Format::kText},
  };
  for (const auto& c : cases) EXPECT_EQ(Of(c.bytes), c.expected) << c.what;
}

TEST(RecogniseTest, RecognitionLeavesTheStreamWhereItWas) {
  const std::string sac = testing::SacBytes(MakeTrace("HHZ", kNewYear2020, 0.01, {1, 2, 3}));
  std::istringstream in("prefix" + sac);
  in.seekg(6);
  EXPECT_EQ(Recognise(in), Format::kSac);
  EXPECT_EQ(in.tellg(), std::streampos(6));
}

TEST(RecogniseTest, ReadChannelsReadsEitherFormatAndRefusesText) {
  const Trace z = MakeTrace("HHZ", kNewYear2020, 0.01, {1, 2, 3});
  const Trace e = MakeTrace("HHE", kNewYear2020, 0.01, {4, 5, 6});
  const std::string sac = testing::SacBytes(z);
  const std::string mseed = testing::MiniSeedBytes({z, e});
  EXPECT_EQ(ReadChannels(std::span<const char>(sac.data(), sac.size()), "z.sac").size(), 1u);
  const std::vector<Trace> both = ReadChannels(std::span<const char>(mseed.data(), mseed.size()), "ze.mseed");
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[1].samples, e.samples);

  const std::string text = " 0.0 1.0 2.0 3.0\n";
  EXPECT_THAT([&] { ReadChannels(std::span<const char>(text.data(), text.size()), "col.txt"); },
              ::testing::ThrowsMessage<textio::InputError>(HasSubstr("col.txt: ")));
  EXPECT_THAT([&] { ReadChannels(std::span<const char>(text.data(), text.size()), "col.txt"); },
              ::testing::ThrowsMessage<textio::InputError>(HasSubstr("it is column text, not SAC or miniSEED")));
  // A SAC file cut short is read as SAC, so the message says what is wrong.
  const std::string cut = sac.substr(0, sac.size() - 4);
  EXPECT_THAT([&] { ReadChannels(std::span<const char>(cut.data(), cut.size()), "cut.sac"); },
              ::testing::ThrowsMessage<textio::InputError>(
                  HasSubstr("cut.sac: holds 640 bytes, but its header (NPTS = 3, version 6) calls for 644")));
}

}  // namespace
}  // namespace seisio
