// circspec on records as the field gives them: rings that are not
// circles, positions as coordinates, stations that start, end and sample
// apart, gaps, transients, sensors not aligned to north. Each result is
// checked against the theory of the true positions, or against the same
// records made regular beforehand.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iostream>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "array_spectra/analysis.h"
#include "array_spectra/quantities.h"
#include "array_spectra/station_source.h"
#include "array_testing/agreement.h"
#include "array_testing/field_records.h"
#include "array_testing/memory_source.h"
#include "array_testing/synthetic_array.h"
#include "suite/programs.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"
#include "testsupport/test_context.h"
#include "textio/format.h"

namespace circspec {
namespace {

using ::testing::HasSubstr;
using testing::MemorySource;
using testing::RecordEdit;
using testing::SyntheticArray;

constexpr double kDegree = std::numbers::pi / 180;
constexpr Quantity kVertical[] = {Quantity::kSpac, Quantity::kCoh, Quantity::kCca};

// An irregular ring of n stations about (0, 0) and a centre station 4 %
// of the radius off it: radii alternating +8 % and -8 % (and in between),
// one azimuth step 1.5 times the others.
struct Position {
  std::string name;
  double x, y;
};
std::vector<Position> IrregularArray(int n, double radius) {
  std::vector<Position> p = {{"C0", 0.04 * radius, 0}};
  const double step = 2 * std::numbers::pi / (n - 1 + 1.5);  // n - 1 steps of `step`, one of 1.5 step
  for (int j = 0; j < n; ++j) {
    const double r = radius * (1 + 0.08 * std::cos(2.3 * j + 0.4));
    const double theta = step * j + 0.3;
    p.push_back({std::string("S").append(std::to_string(j + 1)), r * std::cos(theta), r * std::sin(theta)});
  }
  return p;
}

// The same positions in each form of the layout file. The polar form
// measures from the origin; longitude and latitude come from inverting the
// tangent-plane projection about a point in the Alps (to the micrometre).
std::string LayoutOf(const std::vector<Position>& p, array::PositionForm form) {
  std::string text;
  const array::TangentPlane plane{7.25, 46.5};
  if (form == array::PositionForm::kXy) text = "coordinates xy\n";
  if (form == array::PositionForm::kLonLat) text = "coordinates lonlat\n";
  // The mean position of the lon/lat form is the tangent point: shift the
  // positions so that their mean is 0.
  double mx = 0, my = 0;
  for (const Position& s : p) mx += s.x / static_cast<double>(p.size()), my += s.y / static_cast<double>(p.size());
  for (size_t i = 0; i < p.size(); ++i) {
    const Position& s = p[i];
    const std::string centre = i == 0 && form != array::PositionForm::kPolar ? " centre" : "";
    std::string where;
    switch (form) {
      case array::PositionForm::kPolar:
        where = i == 0 ? "0 0"
                       : textio::Shortest(std::atan2(s.y - p[0].y, s.x - p[0].x) / kDegree) + " " +
                             textio::Shortest(std::hypot(s.x - p[0].x, s.y - p[0].y));
        break;
      case array::PositionForm::kXy:
        where = textio::Shortest(s.x) + " " + textio::Shortest(s.y);
        break;
      case array::PositionForm::kLonLat: {
        // Newton's method on the projection: the lon/lat whose projection
        // is (x - mx, y - my).
        double lon = plane.lon0_deg, lat = plane.lat0_deg;
        for (int k = 0; k < 8; ++k) {
          double e = 0, n = 0, e1 = 0, n1 = 0, e2 = 0, n2 = 0;
          plane.Project(lon, lat, &e, &n);
          plane.Project(lon + 1e-6, lat, &e1, &n1);
          plane.Project(lon, lat + 1e-6, &e2, &n2);
          const double a = (e1 - e) / 1e-6, b = (e2 - e) / 1e-6, c = (n1 - n) / 1e-6, d = (n2 - n) / 1e-6;
          const double re = s.x - mx - e, rn = s.y - my - n, det = a * d - b * c;
          lon += (d * re - b * rn) / det;
          lat += (a * rn - c * re) / det;
        }
        where = textio::Shortest(lon) + " " + textio::Shortest(lat);
        break;
      }
    }
    text += s.name + " " + where + " " + s.name + ".txt" + centre + "\n";
  }
  return text;
}

// Acceptance: the irregular ring of N = 5 and 7 stations (radii +-8 %, an
// azimuth gap of 1.5 steps, the centre 4 % of r off), eps = 0.01, 30 min:
// spac, coh and cca within 4 jackknife standard errors of the smoothed
// theory of the true positions at 95 % of the frequencies with 0.2 <= kr
// <= 2.5, for the polar, xy and lonlat forms of one layout, whose tables
// agree within 1e-6 standard errors.
TEST(FieldData, IrregularRingsAgreeWithTheTheoryOfTheirTruePositionsInEveryForm) {
  for (int n : {5, 7}) {
    const std::vector<Position> positions = IrregularArray(n, 10);
    SyntheticArray array = testing::MakeArray({.layout_text = LayoutOf(positions, array::PositionForm::kXy),
                                               .duration = 1800,
                                               .noise = 0.01,
                                               .seed = 40 + static_cast<uint64_t>(n)});
    const AnalysisOptions options;
    std::vector<std::vector<Series>> tables;
    for (array::PositionForm form :
         {array::PositionForm::kXy, array::PositionForm::kPolar, array::PositionForm::kLonLat}) {
      array.UseLayout(LayoutOf(positions, form));
      ASSERT_EQ(array.rings.rings.size(), 1u);
      ASSERT_EQ(array.rings.rings[0].stations.size(), static_cast<size_t>(n));
      const SpectralSums sums = Analyse(array.geometry, array.Opener(), options);
      std::vector<Series> table;
      for (Quantity q : kVertical) {
        const testing::Agreement agreement = testing::AgreeWithTheory(array, options, sums, q);
        std::cout << "N=" << n << " form " << static_cast<int>(form) << " " << agreement.Describe(q, 4) << "\n";
        EXPECT_GE(agreement.frequencies, 20);
        EXPECT_GE(agreement.fraction(), 0.95) << agreement.Describe(q, 4);
        table.push_back(Estimate(q, ChannelLayout(array.geometry), 0, sums));
      }
      tables.push_back(std::move(table));
    }
    for (size_t form = 1; form < tables.size(); ++form) {
      for (size_t q = 0; q < tables[0].size(); ++q) {
        for (size_t i = 0; i < tables[0][q].value.size(); ++i) {
          ASSERT_NEAR(tables[form][q].value[i], tables[0][q].value[i], 1e-6 * tables[0][q].se[i])
              << "form " << form << " quantity " << q << " frequency " << i;
        }
      }
    }
  }
}

// The sources of `array`'s stations as the field gives them: each station's
// record cut at its start and end by the samples `cut` gives (none for the
// others).
SourceOpener Staggered(const SyntheticArray& array, const std::map<std::string, std::pair<long, long>>& cut) {
  return [&array, cut] {
    Sources sources;
    for (size_t s : array.geometry.layout_index) {
      const std::string& name = array.layout.stations[s].name;
      const auto c = cut.find(name);
      const long first = c == cut.end() ? 0 : c->second.first;
      const long last = static_cast<long>(array.vertical[s].size()) - (c == cut.end() ? 0 : c->second.second);
      const double dt = array.wavefield.dt;
      sources.push_back(std::make_unique<MemorySource>(
          name, std::vector<double>(array.vertical[s].begin() + first, array.vertical[s].begin() + last),
          static_cast<double>(first + 1) * dt + array.clock_offsets[s], dt));
    }
    return sources;
  };
}

// Acceptance: stations that start up to 5 minutes apart and end apart, and
// a station sampled 0.3 dt off the grid, give the table of the same
// records cut to their common span and aligned beforehand: identical when
// the offset is 0, within 0.1 standard errors with it.
TEST(FieldData, StaggeredAndOffsetStationsGiveTheTableOfAlignedRecords) {
  testing::ArrayDesign design{.duration = 1200, .noise = 0.01, .seed = 61};
  const SyntheticArray aligned = testing::MakeArray(design);
  design.clock_offsets = {{"R1S3", 0.3 * design.dt}};
  const SyntheticArray offset = testing::MakeArray(design);
  const long minute = 6000;
  const long total = static_cast<long>(aligned.vertical[0].size());
  const std::map<std::string, std::pair<long, long>> staggered = {
      {"C0", {5 * minute, 0}}, {"R1S1", {2 * minute, minute}}, {"R1S2", {0, 3 * minute}}, {"R1S4", {30, 0}}};
  // The same records, all cut to the common span: from 5 min to 3 min before the end.
  std::map<std::string, std::pair<long, long>> common;
  for (const array::Station& s : aligned.layout.stations) common[s.name] = {5 * minute, 3 * minute};
  const AnalysisOptions options;
  const ChannelLayout ch(aligned.geometry);
  const SpectralSums reference = Analyse(aligned.geometry, Staggered(aligned, common), options);
  EXPECT_EQ(reference.segments, (total - 8 * minute - 2048) / 1024 + 1);

  const SpectralSums same = Analyse(aligned.geometry, Staggered(aligned, staggered), options);
  EXPECT_EQ(same.total, reference.total);
  EXPECT_EQ(same.groups, reference.groups);
  EXPECT_EQ(same.grid.TimeOf(same.common_first), Nanoseconds(static_cast<double>(5 * minute + 1) * design.dt));

  const SpectralSums shifted = Analyse(offset.geometry, Staggered(offset, staggered), options);
  EXPECT_NEAR(shifted.sources[3].offset, 0.3 * design.dt, 1e-9);  // R1S3
  for (Quantity q : kVertical) {
    const Series a = Estimate(q, ch, 0, reference), b = Estimate(q, ch, 0, shifted);
    double worst = 0;
    for (size_t i = 0; i < a.value.size(); ++i) worst = std::max(worst, std::fabs(a.value[i] - b.value[i]) / a.se[i]);
    std::cout << NameOf(q) << ": worst difference with the offset " << worst << " se\n";
    EXPECT_LE(worst, 0.1) << NameOf(q);
  }
}

testsupport::Outcome Circspec(std::vector<std::string> args, const std::filesystem::path& directory = {}) {
  return testsupport::RunInProcess(kProgram, "", {std::move(args), directory});
}

// The header line that starts with `start` ("# breaks:"), or "".
std::string HeaderLine(const std::string& table, std::string_view start) {
  std::istringstream in(table);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(start)) return line;
  }
  return "";
}

// The analysis of the records of a layout file on disk, as circspec reads them.
SpectralSums AnalyseFiles(const SyntheticArray& array, const std::string& layout_path,
                          const AnalysisOptions& options = {}) {
  testsupport::TestContext context;
  const array::Layout layout = array::ReadLayout(context, layout_path);
  auto open = [&] {
    Sources sources;
    constexpr seisio::Component kU[] = {seisio::Component::kU};
    for (size_t s : array.geometry.layout_index) {
      for (auto& source : OpenStation(context, layout.stations[s], kU)) sources.push_back(std::move(source));
    }
    return sources;
  };
  return Analyse(array.geometry, open, options);
}

// Acceptance: a 2 s gap in one station, in miniSEED and in text: the run
// succeeds, the header names the gap, and the results stay within 4
// standard errors of the theory.
TEST(FieldData, AGapLeavesOutTheSegmentsAroundItAndIsInTheHeader) {
  const SyntheticArray array = testing::MakeArray({.duration = 1200, .noise = 0.01, .seed = 71});
  const std::map<std::string, RecordEdit> gap = {{"R1S2", {.gaps = {{60000, 200}}}}};  // 2 s at 600 s
  for (testing::RecordForm form : {testing::RecordForm::kText, testing::RecordForm::kMiniSeed}) {
    testsupport::TempDir dir("circspec_gap");
    const std::string layout = testing::WriteRecords(array, dir.path(), form, gap);
    const testsupport::Outcome run = Circspec({layout});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(HeaderLine(run.out, "# breaks:"), HasSubstr("R1S2.txt gap at "));
    EXPECT_THAT(HeaderLine(run.out, "# breaks:"), HasSubstr(", 2 s"));
    // The windows of 2048 samples every 1024 that overlap [60000, 60200).
    EXPECT_THAT(HeaderLine(run.out, "# segments:"), HasSubstr(" 2 for breaks in the records"));
    EXPECT_THAT(run.err, HasSubstr("left out 2 of "));
    const SpectralSums sums = AnalyseFiles(array, layout);
    EXPECT_EQ(sums.broken, 2);
    for (Quantity q : kVertical) {
      const testing::Agreement agreement = testing::AgreeWithTheory(array, AnalysisOptions{}, sums, q);
      EXPECT_GE(agreement.fraction(), 0.95) << agreement.Describe(q, 4);
    }
  }
}

// Acceptance: a 60 s burst 100 times a station's RMS: with the default
// --reject, spac and cca agree with the burst-free record's within one
// standard error at every frequency, and the header gives the dropped
// time range.
TEST(FieldData, ABurstIsDroppedByDefaultAndItsTimeIsInTheHeader) {
  const SyntheticArray clean = testing::MakeArray({.duration = 1800, .noise = 0.01, .seed = 81});
  const std::map<std::string, RecordEdit> burst = {
      {"R1S4", {.bursts = {{.first = 90000, .count = 6000, .factor = 100}}}}};  // 900 to 960 s
  testsupport::TempDir dir("circspec_burst");
  const std::string layout = testing::WriteRecords(clean, dir.path(), testing::RecordForm::kMiniSeed, burst);
  const testsupport::Outcome run = Circspec({layout});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string transients = HeaderLine(run.out, "# transients:");
  EXPECT_THAT(transients, HasSubstr("1970-01-01T00:14:"));  // the segments about 900 s
  EXPECT_THAT(run.err, HasSubstr("segments as transients"));

  const SpectralSums with = AnalyseFiles(clean, layout);
  const SpectralSums without = Analyse(clean.geometry, clean.Opener(), AnalysisOptions{});
  EXPECT_GE(with.dropped, 6);
  EXPECT_LE(with.dropped, 9);
  const ChannelLayout ch(clean.geometry);
  for (Quantity q : {Quantity::kSpac, Quantity::kCca}) {
    const Series a = Estimate(q, ch, 0, without), b = Estimate(q, ch, 0, with);
    double worst = 0;
    for (size_t i = 0; i < a.value.size(); ++i) worst = std::max(worst, std::fabs(a.value[i] - b.value[i]) / a.se[i]);
    std::cout << NameOf(q) << ": worst difference with the burst " << worst << " se\n";
    EXPECT_LE(worst, 1) << NameOf(q);
  }
}

// A sensor turned by theta (its channels coded 1 and 2, orient=theta in
// the layout) gives the radial and transverse coefficients of one aligned
// to north; a station inside the ring is left out with a note.
TEST(FieldData, TurnedSensorsAndStationsOffTheRing) {
  const SyntheticArray array = testing::MakeArray({.duration = 600, .noise = 0.01, .seed = 91, .love_fraction = 0.3});
  testsupport::TempDir dir("circspec_turned");
  const std::string aligned = testing::WriteRecords(array, dir.path(), testing::RecordForm::kMiniSeed);
  const testsupport::Outcome reference = Circspec({"--component", "h", aligned});
  ASSERT_EQ(reference.status, 0) << reference.err;
  // R1S2's sensor turned 30 degrees clockwise: n' = E sin 30 + N cos 30,
  // e' = E cos 30 - N sin 30.
  SyntheticArray turned = array;
  const double c = std::cos(30 * kDegree), s = std::sin(30 * kDegree);
  std::vector<double>& east = turned.east[2];
  std::vector<double>& north = turned.north[2];
  for (size_t j = 0; j < east.size(); ++j) {
    const double e = east[j], n = north[j];
    north[j] = e * s + n * c;
    east[j] = e * c - n * s;
  }
  testsupport::TempDir other("circspec_turned_files");
  std::string text = array.layout_text;
  text.replace(text.find("R1S2.txt"), 8, "R1S2.txt orient=30");
  text += "X1 40 3 X1.txt\n";  // an extra station inside the ring
  turned.UseLayout(array.layout_text);
  const std::string layout = testing::WriteRecords(turned, other.path(), testing::RecordForm::kMiniSeed,
                                                   {{"R1S2", {.unoriented = true}}}, text);
  std::ofstream(other / "X1.txt") << "0 1 2 3\n0.01 1 2 3\n";
  const testsupport::Outcome run = Circspec({"--component", "h", layout});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("station X1 ("));
  EXPECT_THAT(run.err, HasSubstr("is on no ring of 3 or more stations: left out"));
  EXPECT_THAT(HeaderLine(run.out, "# left out:"), HasSubstr("X1"));
  // The tables agree to the rounding of the turn.
  auto values = [](const std::string& table) {
    std::vector<double> v;
    std::istringstream in(table);
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("#")) continue;
      std::istringstream fields(line);
      for (double x; fields >> x;) v.push_back(x);
    }
    return v;
  };
  const std::vector<double> a = values(reference.out), b = values(run.out);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_GT(a.size(), 100u);
  for (size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i], b[i], 1e-6 * std::fabs(a[i]) + 1e-12) << i;
}

// Field layouts and spans that cannot be analysed: one line naming the
// file and line or the option, status 2, nothing written to --output.
TEST(FieldData, RefusalsOfLayoutsAndSpansLeaveNoOutput) {
  const SyntheticArray array = testing::MakeArray({.duration = 300, .noise = 0.01, .seed = 5});
  testsupport::TempDir dir("circspec_field_refusals");
  const std::string layout = testing::WriteRecords(array, dir.path(), testing::RecordForm::kMiniSeed);
  dir.Write("unknown.txt", "coordinates utm\nC0 0 0 C0.txt\n");
  dir.Write("centres.txt", "coordinates xy\nC0 0 0 C0.txt centre\nR1S1 10 0 R1S1.txt centre\n");
  dir.Write("latitude.txt", "coordinates lonlat\nC0 7.1 91.5 C0.txt centre\n");
  // Two stations that share no time: R1S1's record ends before C0's begins.
  const SyntheticArray late = testing::MakeArray(
      {.layout_text = "C0 0 0 C0.txt\nR1S1 0 10 R1S1.txt\nR1S2 120 10 R1S2.txt\nR1S3 240 10 R1S3.txt\n",
       .duration = 300,
       .seed = 6});
  testsupport::TempDir apart("circspec_apart");
  const std::string apart_layout = testing::WriteRecords(late, apart.path(), testing::RecordForm::kText,
                                                         {{"C0", {.cut_start = 20000}}, {"R1S1", {.cut_end = 15000}}});
  const std::string out = dir / "out.txt";
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const Case cases[] = {
      {{dir / "unknown.txt"}, "unknown.txt line 1: expected 'coordinates xy', 'coordinates lonlat'"},
      {{dir / "centres.txt"}, "centres.txt line 3: second centre station; the first is on line 2"},
      {{dir / "latitude.txt"}, "latitude.txt line 2: the latitude must lie within -90 to 90 degrees, got '91.5'"},
      {{"--start", "200", "--end", "100", layout}, "--end 1970-01-01T00:01:40.010000 is not after the start"},
      {{"--start", "1969-12-31T23:00:00", layout}, "--start 1969-12-31T23:00:00.000000 lies before the first time"},
      {{"--start", "290", layout}, "the records hold no common span of one window"},
      {{"--start", "soon", layout}, "--start: expected seconds (0 or more) after the first common sample"},
      {{apart_layout}, "the records hold no common span of one window"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--output", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const testsupport::Outcome r = Circspec(args);
    EXPECT_EQ(r.status, 2) << c.says;
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(r.err, "circspec")) << r.err;
    EXPECT_THAT(r.err, HasSubstr(c.says));
    EXPECT_FALSE(std::filesystem::exists(out)) << c.says;
  }
}

}  // namespace
}  // namespace circspec
