#include "seisio/station.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testsupport/seismic_traces.h"
#include "textio/errors.h"

namespace seisio {
namespace {

using ::testing::HasSubstr;
using testing::kNewYear2020;
using testing::MakeTrace;

std::vector<double> Ones(size_t n) { return std::vector<double>(n, 1.0); }

TEST(StationTest, OneFileGivesItsChannelsByTheirLastLetter) {
  // The order in the file does not matter, and a channel of another
  // letter (a hydrophone, a "1" horizontal) is left out.
  std::vector<Trace> channels = {
      MakeTrace("HHN", kNewYear2020, 0.01, {3, 3}), MakeTrace("HDF", kNewYear2020, 0.01, {9, 9}),
      MakeTrace("HHZ", kNewYear2020, 0.01, {1, 1}), MakeTrace("HHE", kNewYear2020, 0.01, {2, 2})};
  const StationRecord s = StationOfFile(channels, "st.mseed");
  EXPECT_EQ(s.traces[0].channel, "HHZ");
  EXPECT_EQ(s.traces[1].channel, "HHE");
  EXPECT_EQ(s.traces[2].channel, "HHN");
  EXPECT_EQ(s.length, 2u);
  EXPECT_FALSE(s.lengths_differ());
  EXPECT_EQ(s.files[2], "st.mseed");
}

TEST(StationTest, OneFileMustNameEachComponentOnce) {
  const struct {
    std::vector<Trace> channels;
    const char* message;
  } cases[] = {
      {{MakeTrace("HHZ", 0, 0.01, {1}), MakeTrace("HHE", 0, 0.01, {1})},
       "st.mseed: no channel whose code ends in N (the north (N) component); the file holds XX.ST01.00.HHZ, "
       "XX.ST01.00.HHE"},
      {{MakeTrace("HHZ", 0, 0.01, {1}), MakeTrace("HHE", 0, 0.01, {1}), MakeTrace("HHN", 0, 0.01, {1}),
        MakeTrace("HHZ", 0, 0.01, {1}, "ST02")},
       "st.mseed: two channels name the up (Z) component, XX.ST01.00.HHZ and XX.ST02.00.HHZ"},
      {{}, "no channel whose code ends in Z (the up (Z) component); the file holds none"},
      {{MakeTrace("HHZ", 0, 0.01, {}), MakeTrace("HHE", 0, 0.01, {1}), MakeTrace("HHN", 0, 0.01, {1})},
       "st.mseed: XX.ST01.00.HHZ holds no samples"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT([&] { StationOfFile(c.channels, "st.mseed"); },
                ::testing::ThrowsMessage<textio::InputError>(HasSubstr(c.message)));
  }
}

TEST(StationTest, ComponentsMustShareTheTimeGrid) {
  // u at 100 Hz from 2020-01-01T00:00:00; e and n shifted or resampled.
  struct Case {
    int64_t e_offset_ns;
    double e_interval;
    size_t samples;
    const char* message;  // "" when they align
  };
  const Case cases[] = {
      {0, 0.01, 1000, ""},
      {4'999'999, 0.01, 1000, ""},  // just under half a sample late
      {-4'999'999, 0.01, 1000, ""},
      {5'000'000, 0.01, 1000,
       "e.sac: XX.ST01.00.HHE (e.sac) starts at 2020-01-01T00:00:00.005000, XX.ST01.00.HHZ (u.sac) at "
       "2020-01-01T00:00:00.000000: 0.005 s apart, not within half a sample (0.005 s)"},
      {-20'000'000, 0.01, 1000, "-0.02 s apart"},
      // 1e-6 s shorter intervals: 0.001 s apart after 1000 samples, fine;
      // after 10,000 samples 0.01 s, a whole sample.
      {0, 0.009999, 1000, ""},
      {0, 0.009999, 10'000,
       "e.sac: XX.ST01.00.HHE (e.sac) is sampled every 0.009999 s, XX.ST01.00.HHZ (u.sac) "
       "every 0.01 s: over 10000 samples they part by half a sample or more"},
      {0, 0.02, 10, "is sampled every 0.02 s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.e_offset_ns);
    std::array<std::vector<Trace>, 3> channels = {
        std::vector<Trace>{MakeTrace("HHZ", kNewYear2020, 0.01, Ones(c.samples))},
        std::vector<Trace>{MakeTrace("HHE", kNewYear2020 + c.e_offset_ns, c.e_interval, Ones(c.samples))},
        std::vector<Trace>{MakeTrace("HHN", kNewYear2020, 0.01, Ones(c.samples))}};
    const std::array<std::string, 3> files = {"u.sac", "e.sac", "n.sac"};
    if (*c.message == '\0') {
      EXPECT_EQ(StationOfFiles(channels, files).length, c.samples);
    } else {
      EXPECT_THAT([&] { StationOfFiles(channels, files); },
                  ::testing::ThrowsMessage<textio::InputError>(HasSubstr(c.message)));
    }
  }
}

TEST(StationTest, ThreeFilesGiveOneChannelEachInTheirPlaces) {
  const std::array<std::string, 3> files = {"a.sac", "b.sac", "c.sac"};
  auto one = [](const char* channel) { return std::vector<Trace>{MakeTrace(channel, 0, 0.01, Ones(5))}; };
  // Channel codes without a component letter are taken where they stand.
  EXPECT_EQ(StationOfFiles({one("X"), one(""), one("BH1")}, files).length, 5u);
  const struct {
    std::array<std::vector<Trace>, 3> channels;
    const char* message;
  } cases[] = {
      {{one("BHE"), one("BHZ"), one("BHN")},
       "a.sac: channel XX.ST01.00.BHE is the east (E) component, but the file is given first of u,e,n, as the up (Z) "
       "one"},
      {{one("BHZ"), one("BHE"), {}}, "c.sac: holds 0 channels (none); each of three files must hold one"},
      {{one("BHZ"), {MakeTrace("BHE", 0, 0.01, Ones(5)), MakeTrace("BHN", 0, 0.01, Ones(5))}, one("BHN")},
       "b.sac: holds 2 channels (XX.ST01.00.BHE, XX.ST01.00.BHN)"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT([&] { StationOfFiles(c.channels, files); },
                ::testing::ThrowsMessage<textio::InputError>(HasSubstr(c.message)));
  }
}

TEST(StationTest, LengthIsWhatAllThreeHold) {
  const StationRecord s = StationOfFiles(
      {std::vector<Trace>{MakeTrace("Z", 0, 0.01, Ones(10))}, std::vector<Trace>{MakeTrace("E", 0, 0.01, Ones(8))},
       std::vector<Trace>{MakeTrace("N", 0, 0.01, Ones(12))}},
      {"u", "e", "n"});
  EXPECT_EQ(s.length, 8u);
  EXPECT_TRUE(s.lengths_differ());
}

}  // namespace
}  // namespace seisio
