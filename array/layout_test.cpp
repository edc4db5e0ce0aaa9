#include "array/layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <sstream>

#include "suite/files.h"
#include "testsupport/temp_dir.h"
#include "testsupport/test_context.h"
#include "textio/errors.h"

namespace array {
namespace {

using ::testing::HasSubstr;

Layout Parse(const std::string& text, const std::filesystem::path& folder = "site") {
  std::istringstream in(text);
  return ParseLayout(in, "layout.txt", folder);
}

// What a well-formed layout must come out as: each station's position
// (metres east, north), the centre, the orientations.
struct GoodCase {
  const char* label;
  const char* text;
  PositionForm form;
  std::optional<size_t> centre;
  std::vector<std::pair<double, double>> xy;
  std::vector<double> orient;  // empty: all 0
};

void PrintTo(const GoodCase& c, std::ostream* os) { *os << c.label; }

class GoodLayout : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodLayout, PositionsCentreAndOrientation) {
  const GoodCase& c = GetParam();
  const Layout layout = Parse(c.text);
  EXPECT_EQ(layout.file, "layout.txt");
  EXPECT_EQ(layout.form, c.form);
  EXPECT_EQ(layout.centre, c.centre);
  ASSERT_EQ(layout.stations.size(), c.xy.size());
  for (size_t s = 0; s < c.xy.size(); ++s) {
    EXPECT_NEAR(layout.stations[s].x, c.xy[s].first, 1e-9) << layout.stations[s].name;
    EXPECT_NEAR(layout.stations[s].y, c.xy[s].second, 1e-9) << layout.stations[s].name;
    EXPECT_NEAR(layout.stations[s].radius, std::hypot(c.xy[s].first, c.xy[s].second), 1e-9);
    EXPECT_EQ(layout.stations[s].orient_deg, c.orient.empty() ? 0.0 : c.orient[s]);
  }
}

constexpr double kS = 0.5 * 1.7320508075688772;  // sin 60 degrees

INSTANTIATE_TEST_SUITE_P(
    Layouts, GoodLayout,
    ::testing::Values(
        GoodCase{"polar_centre_and_three",
                 "C 0 0 c.txt\nA 90 10 a.txt\nB 210 10 b.txt\nD 330 10 d.txt\n",
                 PositionForm::kPolar,
                 0,
                 {{0, 0}, {0, 10}, {-10 * kS, -5}, {10 * kS, -5}}},
        GoodCase{"polar_comments_blank_lines_tabs_crlf_orient",
                 "# site X\n\n  A\t0 5 a  # north-east\r\nB 120 5 b orient=12.5\r\n   \n#C 0 0 c\nD 240 5 d",
                 PositionForm::kPolar,
                 std::nullopt,
                 {{5, 0}, {-2.5, 5 * kS}, {-2.5, -5 * kS}},
                 {0, 12.5, 0}},
        GoodCase{"polar_number_spellings",
                 "coordinates polar\nA 0.0 1.0d1 a\nC 0 0.0 c\nB 1.2e2 10 b\n",
                 PositionForm::kPolar,
                 1,
                 {{10, 0}, {0, 0}, {-5, 10 * kS}}},
        // The centre anywhere, fields after the file in any order.
        GoodCase{"xy",
                 "# total station\ncoordinates xy\nA 512010.5 5210003 a\nC 512000 5210000 c orient=-3 centre\n"
                 "B 511990 5210010.25 b orient=1\n",
                 PositionForm::kXy,
                 1,
                 {{512010.5, 5210003}, {512000, 5210000}, {511990, 5210010.25}},
                 {0, -3, 1}}),
    [](const auto& info) { return std::string(info.param.label); });

// Longitude and latitude: onto the plane tangent at the mean position,
// checked against distances along the ellipsoid that do not go through
// the projection: along a meridian, the meridian arc (the integral of the
// meridional radius of curvature M), along the parallel of the mean
// latitude, its circle of radius N cos(phi) (N the prime vertical
// radius); for stations within 1 km, within 10 um.
TEST(Layout, LongitudeLatitudeProjectOntoTheTangentPlane) {
  constexpr double kA = 6378137.0, kF = 1 / 298.257223563, kE2 = kF * (2 - kF);
  constexpr double kDeg = std::numbers::pi / 180;
  auto meridian_arc = [&](double lat1, double lat2) {  // Simpson's rule, 2000 steps
    auto m = [&](double phi) { return kA * (1 - kE2) / std::pow(1 - kE2 * std::sin(phi) * std::sin(phi), 1.5); };
    const int steps = 2000;
    const double h = (lat2 - lat1) * kDeg / steps;
    double sum = m(lat1 * kDeg) + m(lat2 * kDeg);
    for (int i = 1; i < steps; ++i) sum += (i % 2 == 1 ? 4 : 2) * m(lat1 * kDeg + i * h);
    return sum * h / 3;
  };
  // Three stations on one meridian and one to the east, about 0.9 km apart,
  // across the antimeridian.
  const Layout layout = Parse(
      "coordinates lonlat\nS -179.9996 44.9960 s\nN -179.9996 45.0040 n\nM -179.9996 45.0000 m centre\n"
      "E 179.9988 45.0000 e\n");
  EXPECT_EQ(layout.form, PositionForm::kLonLat);
  EXPECT_EQ(layout.centre, 2u);
  const Station &s = layout.stations[0], &n = layout.stations[1], &m = layout.stations[2], &e = layout.stations[3];
  EXPECT_NEAR(std::hypot(n.x - s.x, n.y - s.y), meridian_arc(44.9960, 45.0040), 1e-5);
  const double n_prime = kA / std::sqrt(1 - kE2 * std::sin(45 * kDeg) * std::sin(45 * kDeg));
  EXPECT_NEAR(std::hypot(e.x - m.x, e.y - m.y), n_prime * std::cos(45 * kDeg) * 0.0016 * kDeg, 1e-5);
  EXPECT_LT(e.x, m.x);  // 0.0016 degrees west, across the antimeridian
  // The mean position is the origin: the coordinates add up to about 0
  // (not exactly: the plane curves away from the ellipsoid).
  EXPECT_NEAR(s.x + n.x + m.x + e.x, 0, 1e-2);
  EXPECT_NEAR(s.y + n.y + m.y + e.y, 0, 1e-2);
}

TEST(Layout, FieldsAndResolvedPaths) {
  const Layout layout = Parse("C 0 0 rec/c.txt\nA 90 10 a.txt\nB 210.5 10 /data/b.txt\nD -30 10 ../d.txt\n");
  const Station& a = layout.stations[1];
  EXPECT_EQ(a.name, "A");
  EXPECT_EQ(a.azimuth_deg, 90);
  EXPECT_EQ(a.radius, 10);
  EXPECT_EQ(a.x, 10 * std::cos(std::numbers::pi / 2));  // as circsim has always placed it
  EXPECT_EQ(a.y, 10);
  EXPECT_EQ(a.file, "a.txt");
  EXPECT_EQ(a.path, std::filesystem::path("site/a.txt"));
  EXPECT_EQ(a.line, 2);
  EXPECT_EQ(layout.stations[0].path, std::filesystem::path("site/rec/c.txt"));
  EXPECT_EQ(layout.stations[2].path, std::filesystem::path("/data/b.txt"));  // absolute stays
  EXPECT_EQ(layout.stations[2].azimuth_deg, 210.5);
  EXPECT_EQ(layout.stations[3].azimuth_deg, -30);
  EXPECT_EQ(layout.stations[3].path, std::filesystem::path("site/../d.txt"));
}

TEST(Layout, ThreeComponentFilesEachResolved) {
  const Layout layout = Parse("A 0 10 a.u.sac,/abs/a.e.sac,../a.n.sac\nB 120 10 b.mseed\nD 240 10 d.txt\n");
  const Station& a = layout.stations[0];
  EXPECT_EQ(a.file, "a.u.sac,/abs/a.e.sac,../a.n.sac");
  ASSERT_EQ(a.paths.size(), 3u);
  EXPECT_EQ(a.paths[0], std::filesystem::path("site/a.u.sac"));
  EXPECT_EQ(a.paths[1], std::filesystem::path("/abs/a.e.sac"));
  EXPECT_EQ(a.paths[2], std::filesystem::path("site/../a.n.sac"));
  EXPECT_EQ(a.path, a.paths[0]);
  ASSERT_EQ(layout.stations[1].paths.size(), 1u);
  EXPECT_EQ(layout.stations[1].paths[0], std::filesystem::path("site/b.mseed"));
}

TEST(Layout, EmptyFolderLeavesPathsAsWritten) {
  const Layout layout = Parse("A 0 5 a.txt\nB 120 5 b.txt\nD 240 5 d.txt\n", "");
  EXPECT_EQ(layout.stations[0].path, std::filesystem::path("a.txt"));
}

// A bad layout: the message must name the file, the line and what was wrong.
struct BadCase {
  const char* label;
  const char* text;
  const char* message;  // expected to appear in the error
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.label; }

class BadLayout : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadLayout, ErrorNamesFileLineAndProblem) {
  const BadCase& c = GetParam();
  try {
    Parse(c.text);
    FAIL() << "accepted a bad layout";
  } catch (const textio::InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr(c.message));
  }
}

constexpr char kRing[] = "A 0 10 a\nB 120 10 b\nD 240 10 d\n";

INSTANTIATE_TEST_SUITE_P(
    Layouts, BadLayout,
    ::testing::Values(
        BadCase{"three_fields", "A 0 10 a\nB 120 10\n",
                "layout.txt line 2: expected 'name azimuth radius file [orient=DEG]', got 3 fields"},
        BadCase{"five_fields", "A 0 10 a extra\n",
                "layout.txt line 1: unexpected field 'extra'; expected 'name azimuth radius file [orient=DEG]'"},
        BadCase{"centre_word_in_polar", "A 0 0 a centre\n", "layout.txt line 1: unexpected field 'centre'"},
        BadCase{"one_field", "\n\nA\n",
                "layout.txt line 3: expected 'name azimuth radius file [orient=DEG]', got 1 field"},
        BadCase{"azimuth_text", "A east 10 a\n",
                "layout.txt line 1: expected a number for the azimuth (degrees), got 'east'"},
        BadCase{"radius_text", "A 0 10m a\n",
                "layout.txt line 1: expected a number for the radius (metres), got '10m'"},
        BadCase{"radius_nan", "A 0 nan a\n", "layout.txt line 1: expected a number for the radius (metres), got 'nan'"},
        BadCase{"azimuth_inf", "A inf 1 a\n", "layout.txt line 1: expected a number for the azimuth"},
        BadCase{"negative_radius", "A 0 -10 a\n", "layout.txt line 1: the radius must be 0 or more, got '-10'"},
        BadCase{"bad_orientation", "A 0 10 a orient=north\n",
                "layout.txt line 1: expected a number for the orientation after orient="},
        BadCase{"second_centre", "C 0 0 c\nA 0 10 a\nB 120 10 b\nD 240 10 d\nE 0 0 e\n",
                "layout.txt line 5: second centre station (radius 0); the first is on line 1"},
        BadCase{"second_centre_xy", "coordinates xy\nC 0 0 c centre\nA 0 10 a\nE 1 1 e centre\n",
                "layout.txt line 4: second centre station; the first is on line 2"},
        BadCase{"centre_twice_on_a_line", "coordinates xy\nC 0 0 c centre centre\n",
                "layout.txt line 2: 'centre' given twice"},
        BadCase{"unknown_coordinates", "# site\ncoordinates utm\nA 0 10 a\n",
                "layout.txt line 2: expected 'coordinates xy', 'coordinates lonlat' or 'coordinates polar', got 'utm'"},
        BadCase{"coordinates_not_first", "A 0 10 a\ncoordinates xy\n",
                "layout.txt line 2: the 'coordinates' line must be the first line that is not a comment"},
        BadCase{"latitude_beyond_90", "coordinates lonlat\nA 10.0 91 a\n",
                "layout.txt line 2: the latitude must lie within -90 to 90 degrees, got '91'"},
        BadCase{"xy_text", "coordinates xy\nA 0 north a\n",
                "layout.txt line 2: expected a number for the y (metres north), got 'north'"},
        BadCase{"duplicate_name", "A 0 10 a\nB 120 10 b\nA 240 10 d\n",
                "layout.txt line 3: station name 'A' is already used on line 1"},
        BadCase{"duplicate_file", "A 0 10 a\nB 120 10 ./a\nD 240 10 d\n",
                "layout.txt line 2: record file './a' is already used on line 1"},
        BadCase{"empty", "# nothing\n\n", "layout.txt: no stations"},
        BadCase{"two_component_files", "A 0 10 a.u,a.e\nB 120 10 b\nD 240 10 d\n",
                "layout.txt line 1: expected one record file or three separated by commas (u,e,n), got 2 in 'a.u,a.e'"},
        BadCase{"empty_component_file", "A 0 10 a.u,,a.n\nB 120 10 b\nD 240 10 d\n",
                "layout.txt line 1: an empty record file name in 'a.u,,a.n'"},
        BadCase{"component_file_twice_in_line", "A 0 10 a.u,a.e,a.u\nB 120 10 b\nD 240 10 d\n",
                "layout.txt line 1: record file 'a.u' is already used in this line"},
        BadCase{"component_file_of_another_station", "A 0 10 a.u,a.e,a.n\nB 120 10 b\nD 240 10 ./a.e\n",
                "layout.txt line 3: record file './a.e' is already used on line 1"},
        BadCase{"control_bytes_shown", "A 0 1\x1b[2J a\n", "got '1\\x1b[2J'"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Layout, ReadLayoutResolvesAgainstTheLayoutFolder) {
  testsupport::TempDir dir("array_layout");
  const std::string path = dir.Write("layout.txt", std::string("C 0 0 c.txt\n") + kRing);
  testsupport::TestContext context;
  const Layout layout = ReadLayout(context, path);
  EXPECT_EQ(layout.file, path);
  EXPECT_EQ(layout.stations[0].path, dir.path() / "c.txt");
  EXPECT_EQ(layout.centre, 0u);
}

// A relative name is the run's: taken from its directory, and the station
// files named relative to the same directory.
TEST(Layout, ReadLayoutTakesRelativeNamesFromTheRunsDirectory) {
  testsupport::TempDir dir("array_layout_run");
  std::filesystem::create_directories(dir.path() / "site");
  dir.Write("site/layout.txt", std::string("C 0 0 c.txt\n") + kRing);
  testsupport::TestContext context(dir.path());
  const Layout layout = ReadLayout(context, "site/layout.txt");
  EXPECT_EQ(layout.file, "site/layout.txt");
  EXPECT_EQ(layout.stations[0].path, std::filesystem::path("site/c.txt"));
  EXPECT_EQ(context.get().Resolve(layout.stations[0].path.string()), dir.path() / "site" / "c.txt");
  testsupport::TestContext elsewhere;  // the working directory holds no such file
  EXPECT_THROW(ReadLayout(elsewhere, "site/layout.txt"), textio::InputError);
}

TEST(Layout, ReadLayoutErrorsNameThePath) {
  testsupport::TempDir dir("array_layout");
  testsupport::TestContext context;
  const std::string missing = dir / "missing.txt";
  EXPECT_THROW(
      {
        try {
          ReadLayout(context, missing);
        } catch (const textio::InputError& e) {
          EXPECT_THAT(e.what(), HasSubstr(suite::OpenFailure(missing)));
          throw;
        }
      },
      textio::InputError);
  // A directory is no layout file.
  EXPECT_THROW(ReadLayout(context, dir.path().string()), textio::InputError);
  const std::string bad = dir.Write("bad.txt", "A 0 x a\n");
  try {
    ReadLayout(context, bad);
    FAIL() << "accepted a bad layout";
  } catch (const textio::InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr(bad + " line 1: expected a number"));
  }
}

}  // namespace
}  // namespace array
