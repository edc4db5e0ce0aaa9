// Opening a station's record in each of its forms: column text, one
// miniSEED file, three SAC or miniSEED files; the components asked for,
// the times from the headers, and the refusals naming file and time.
#include "array_spectra/station_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "array/layout.h"
#include "testsupport/seismic_traces.h"
#include "testsupport/temp_dir.h"
#include "testsupport/test_context.h"
#include "textio/errors.h"
#include "textio/format.h"

namespace circspec {
namespace {

using seisio::Component;
using seisio::testing::Counts;
using seisio::testing::kNewYear2020;
using seisio::testing::MakeTrace;
using seisio::testing::MiniSeedBytes;
using seisio::testing::SacBytes;
using ::testing::HasSubstr;

constexpr size_t kSamples = 3000;  // several records of every encoding
constexpr double kEpoch2020 = 1577836800.0;

// Three components of one station, integer counts (exact in every form).
std::vector<seisio::Trace> Components() {
  return {MakeTrace("HHZ", kNewYear2020, 0.01, Counts(kSamples, 1)),
          MakeTrace("HHE", kNewYear2020, 0.01, Counts(kSamples, 2)),
          MakeTrace("HHN", kNewYear2020, 0.01, Counts(kSamples, 3))};
}

std::string ColumnText(const std::vector<seisio::Trace>& t) {
  std::string text;
  for (size_t i = 0; i < kSamples; ++i) {
    text += textio::Shortest(0.01 * static_cast<double>(i));
    for (const seisio::Trace& c : t) {
      text += ' ';
      text += textio::Shortest(c.samples[i]);
    }
    text += "\n";
  }
  return text;
}

array::Station StationOf(const std::string& file, const std::filesystem::path& folder) {
  std::istringstream in("A 0 0 " + file + "\nB 0 1 b\nC 120 1 c\nD 240 1 d\n");
  const array::Layout layout = array::ParseLayout(in, "layout.txt", folder);
  return layout.stations[0];
}

std::vector<double> ReadAll(SampleSource& s) {
  std::vector<double> out, buf(700);  // blocks that cut records anywhere
  for (size_t got; (got = s.Read(buf.data(), buf.size())) > 0;) out.insert(out.end(), buf.begin(), buf.begin() + got);
  return out;
}

TEST(OpenStation, GivesTheComponentsAskedForFromEveryForm) {
  testsupport::TempDir dir("circspec_station_forms");
  const std::vector<seisio::Trace> t = Components();
  dir.Write("a.txt", ColumnText(t));
  dir.Write("a.mseed", MiniSeedBytes({t[2], t[0], t[1]}, {seisio::MiniSeedEncoding::kSteim2, 512}));
  const char* names[] = {"u", "e", "n"};
  for (size_t k = 0; k < 3; ++k) {
    dir.Write(std::string("a.") + names[k] + ".sac", SacBytes(t[k]));
    dir.Write(std::string("a.") + names[k] + ".mseed",
              MiniSeedBytes({t[k]}, {seisio::MiniSeedEncoding::kFloat32, 1024}));
  }
  struct Form {
    const char* file;
    double start;  // seconds: the time column, or epoch seconds from the headers
  };
  const Form forms[] = {
      {"a.txt", 0.0},
      {"a.mseed", kEpoch2020},
      {"a.u.sac,a.e.sac,a.n.sac", kEpoch2020},
      {"a.u.mseed,a.e.mseed,a.n.mseed", kEpoch2020},
      {"a.u.sac,a.e.mseed,a.n.sac", kEpoch2020},
  };
  const std::vector<std::vector<Component>> asked = {
      {Component::kU}, {Component::kE, Component::kN}, {Component::kU, Component::kE, Component::kN}};
  for (const Form& form : forms) {
    for (const std::vector<Component>& wanted : asked) {
      SCOPED_TRACE(std::string(form.file) + ", " + std::to_string(wanted.size()) + " components");
      testsupport::TestContext context;
      Sources sources = OpenStation(context, StationOf(form.file, dir.path()), wanted);
      ASSERT_EQ(sources.size(), wanted.size());
      for (size_t i = 0; i < wanted.size(); ++i) {
        SampleSource& s = *sources[i];
        EXPECT_EQ(s.run_start_ns(), Nanoseconds(form.start));
        EXPECT_EQ(s.absolute_time(), form.start > 0);
        EXPECT_NEAR(s.interval(), 0.01, 1e-15);
        EXPECT_EQ(ReadAll(s), t[static_cast<size_t>(wanted[i])].samples);
        EXPECT_FALSE(s.NextRun());
        EXPECT_NEAR(static_cast<double>(s.last_time_ns()) * 1e-9, form.start + 0.01 * (kSamples - 1), 1e-6);
      }
    }
  }
}

TEST(OpenStation, RefusesWhatCannotBeAStationNamingTheFile) {
  testsupport::TempDir dir("circspec_station_bad");
  const std::vector<seisio::Trace> t = Components();
  dir.Write("no_n.mseed", MiniSeedBytes({t[0], t[1]}));
  dir.Write("u.sac", SacBytes(t[0]));
  dir.Write("e.sac", SacBytes(t[1]));
  dir.Write("n.sac", SacBytes(t[2]));
  dir.Write("u.txt", ColumnText(t));
  dir.Write("three.mseed", MiniSeedBytes(t));
  struct Case {
    const char* file;
    const char* message;
  };
  const Case cases[] = {
      {"no_n.mseed", "no_n.mseed: no channel whose code ends in N or 1"},
      {"u.sac", "u.sac: a SAC file holds one channel; give the station's three files u,e,n"},
      {"e.sac,u.sac,n.sac", "e.sac: channel XX.ST01.00.HHE is the east (E) component, but the file is given first"},
      {"u.txt,e.sac,n.sac", "u.txt: neither SAC"},
      {"three.mseed,e.sac,n.sac", "three.mseed: holds 3 channels"},
      {"missing.sac,e.sac,n.sac", "missing.sac"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    testsupport::TestContext context;
    const std::vector<Component> all = {Component::kU, Component::kE, Component::kN};
    EXPECT_THAT([&] { OpenStation(context, StationOf(c.file, dir.path()), all); },
                ::testing::ThrowsMessage<textio::InputError>(HasSubstr(c.message)));
  }
}

// A miniSEED channel with a gap, an overlap or a record off its grid is
// read in runs, each starting at its own time; the channels of a sensor
// not aligned to north, coded 1 and 2, are its n and e.
TEST(OpenStation, ReadsGapsOverlapsAndUnorientedChannelsInRuns) {
  testsupport::TempDir dir("circspec_station_runs");
  const std::vector<seisio::Trace> t = Components();
  seisio::Trace first = t[0], second = t[0], third = t[0];
  first.samples.resize(1000);  // samples 0 .. 999; a gap of 5; samples 1005 .. 1499
  second.samples.assign(t[0].samples.begin() + 1005, t[0].samples.begin() + 1500);
  second.start_ns = t[0].time_ns(1005);
  third.samples.assign(t[0].samples.begin() + 1490, t[0].samples.end());  // back 10 samples: an overlap
  third.start_ns = t[0].time_ns(1490) + 3'000'000;                        // and 0.3 dt late
  seisio::Trace one = t[2], two = t[1];
  one.channel = "HH1";
  two.channel = "HH2";
  dir.Write("runs.mseed", MiniSeedBytes({first, second, third, two, one}, {seisio::MiniSeedEncoding::kSteim2, 512}));
  testsupport::TestContext context;
  const std::vector<Component> all = {Component::kU, Component::kE, Component::kN};
  Sources sources = OpenStation(context, StationOf("runs.mseed", dir.path()), all);
  SampleSource& u = *sources[0];
  for (const seisio::Trace* piece : {&first, &second, &third}) {
    EXPECT_EQ(u.run_start_ns(), piece->start_ns);
    EXPECT_EQ(ReadAll(u), piece->samples);
    EXPECT_EQ(u.NextRun(), piece != &third);
  }
  EXPECT_EQ(ReadAll(*sources[1]), t[1].samples);  // HH2
  EXPECT_EQ(ReadAll(*sources[2]), t[2].samples);  // HH1
}

// The east and north of a column text record: refused as the vertical is,
// naming the file and the line, and never taken from a two-column record.
TEST(OpenStation, RefusesTextRecordsWithoutSoundHorizontalColumns) {
  testsupport::TempDir dir("circspec_station_text");
  struct Case {
    const char* text;
    const char* says;
  };
  const Case cases[] = {
      {"0 1\n0.01 2\n0.02 3\n0.03 4\n0.04 5\n0.05 6\n", "(the column file; a two-column record has no e and n)"},
      {"0 1 2 3\n0 1 2 3\n", "rec.txt line 2: time 0 does not increase from 0 on line 1"},
      {"0 1 2 3\n0.01 1 2 3\n0.02 1 x 3\n", "rec.txt line 3: expected numbers 'time u e n'"},
      {"0 1 2 3\n0.01 1 2 3\n0.02 1 2 inf\n", "rec.txt line 3: expected finite numbers"},
      {"0 1 2 3\n", "rec.txt: only one sample"},
  };
  const std::vector<Component> east_north = {Component::kE, Component::kN};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    dir.Write("rec.txt", c.text);
    testsupport::TestContext context;
    EXPECT_THAT(
        [&] {
          Sources sources = OpenStation(context, StationOf("rec.txt", dir.path()), east_north);
          double buf[8];
          for (auto& source : sources) {
            while (source->Read(buf, 8) > 0) {
            }
          }
        },
        ::testing::ThrowsMessage<textio::InputError>(HasSubstr(c.says)));
  }
}

}  // namespace
}  // namespace circspec
