#include "array/layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <sstream>

#include "suite/files.h"
#include "testsupport/temp_dir.h"
#include "testsupport/test_context.h"
#include "textio/errors.h"

namespace array {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

Layout Parse(const std::string& text, const std::filesystem::path& folder = "site") {
  std::istringstream in(text);
  return ParseLayout(in, "layout.txt", folder);
}

// What a well-formed layout must come out as.
struct GoodCase {
  const char* label;
  const char* text;
  size_t stations;
  std::optional<size_t> centre;
  std::vector<std::vector<size_t>> rings;  // station indices per ring, outer first
  std::vector<double> radii;               // ring radii, outer first
};

void PrintTo(const GoodCase& c, std::ostream* os) { *os << c.label; }

class GoodLayout : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodLayout, StationsCentreAndRings) {
  const GoodCase& c = GetParam();
  const Layout layout = Parse(c.text);
  EXPECT_EQ(layout.file, "layout.txt");
  ASSERT_EQ(layout.stations.size(), c.stations);
  EXPECT_EQ(layout.centre, c.centre);
  ASSERT_EQ(layout.rings.size(), c.rings.size());
  for (size_t r = 0; r < c.rings.size(); ++r) {
    EXPECT_EQ(layout.rings[r].stations, c.rings[r]) << "ring " << r;
    EXPECT_NEAR(layout.rings[r].radius, c.radii[r], 1e-12) << "ring " << r;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, GoodLayout,
    ::testing::Values(
        GoodCase{"centre_and_three",
                 "C 0 0 c.txt\nA 90 10 a.txt\nB 210 10 b.txt\nD 330 10 d.txt\n",
                 4,
                 0,
                 {{1, 2, 3}},
                 {10}},
        GoodCase{"no_centre", "A 0 5 a\nB 120 5 b\nD 240 5 d\n", 3, std::nullopt, {{0, 1, 2}}, {5}},
        GoodCase{"comments_blank_lines_tabs_crlf",
                 "# site X\n\n  A\t0 5 a  # north-east\r\nB 120 5 b\r\n   \n#C 0 0 c\nD 240 5 d",
                 3,
                 std::nullopt,
                 {{0, 1, 2}},
                 {5}},
        // The ring radius is the mean; 0.5 % of the smallest radius is the limit.
        GoodCase{"radius_tolerance",
                 "A 0 10 a\nB 120 10.05 b\nD 240 10.02 d\n",
                 3,
                 std::nullopt,
                 {{0, 1, 2}},
                 {(10 + 10.05 + 10.02) / 3}},
        // Two rings, stations interleaved in the file: outer first, file order kept.
        GoodCase{"two_rings_interleaved",
                 "i1 0 5 i1\no1 0 10 o1\nc 0 0 c\ni2 120 5 i2\no2 72 10 o2\ni3 240 5 i3\n"
                 "o3 144 10 o3\no4 216 10 o4\no5 288 10 o5\n",
                 9,
                 2,
                 {{1, 4, 6, 7, 8}, {0, 3, 5}},
                 {10, 5}},
        // Fortran-style exponents and a centre in the middle of the file.
        GoodCase{
            "number_spellings", "A 0.0 1.0d1 a\nC 0 0.0 c\nB 1.2e2 10 b\nD 2.4E+2 +10. d\n", 4, 1, {{0, 2, 3}}, {10}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Layout, FieldsAndResolvedPaths) {
  const Layout layout = Parse("C 0 0 rec/c.txt\nA 90 10 a.txt\nB 210.5 10 /data/b.txt\nD -30 10 ../d.txt\n");
  const Station& a = layout.stations[1];
  EXPECT_EQ(a.name, "A");
  EXPECT_EQ(a.azimuth_deg, 90);
  EXPECT_EQ(a.radius, 10);
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
                "layout.txt line 2: expected 'name azimuth radius file', got 3 fields"},
        BadCase{"five_fields", "A 0 10 a extra\n",
                "layout.txt line 1: expected 'name azimuth radius file', got 5 fields"},
        BadCase{"one_field", "\n\nA\n", "layout.txt line 3: expected 'name azimuth radius file', got 1 field"},
        BadCase{"azimuth_text", "A east 10 a\n",
                "layout.txt line 1: expected a number for the azimuth (degrees), got 'east'"},
        BadCase{"radius_text", "A 0 10m a\n",
                "layout.txt line 1: expected a number for the radius (metres), got '10m'"},
        BadCase{"radius_nan", "A 0 nan a\n", "layout.txt line 1: expected a number for the radius (metres), got 'nan'"},
        BadCase{"azimuth_inf", "A inf 1 a\n", "layout.txt line 1: expected a number for the azimuth"},
        BadCase{"negative_radius", "A 0 -10 a\n", "layout.txt line 1: the radius must be 0 or more, got '-10'"},
        BadCase{"second_centre", "C 0 0 c\nA 0 10 a\nB 120 10 b\nD 240 10 d\nE 0 0 e\n",
                "layout.txt line 5: second centre station (radius 0); the first is on line 1"},
        BadCase{"duplicate_name", "A 0 10 a\nB 120 10 b\nA 240 10 d\n",
                "layout.txt line 3: station name 'A' is already used on line 1"},
        BadCase{"duplicate_file", "A 0 10 a\nB 120 10 ./a\nD 240 10 d\n",
                "layout.txt line 2: record file './a' is already used on line 1"},
        BadCase{"ring_of_two", "C 0 0 c\nA 0 10 a\nB 120 10 b\n",
                "layout.txt line 2: station 'A' at radius 10 m is on a ring of 2 stations (radii within 0.5 %); a ring "
                "needs at least 3"},
        BadCase{"radius_just_outside_tolerance", "A 0 10 a\nB 120 10 b\nD 240 10 d\nE 60 10.051 e\n",
                "layout.txt line 4: station 'E' at radius 10.051 m is on a ring of 1 station (radii"},
        BadCase{"three_rings",
                "A 0 10 a\nB 120 10 b\nD 240 10 d\nE 0 5 e\nF 120 5 f\nG 240 5 g\n"
                "H 0 2 h\nI 120 2 i\nJ 240 2 j\n",
                "layout.txt line 1: station 'A' at radius 10 m makes a third ring; at most two rings"},
        BadCase{"centre_only", "# only the centre\nC 0 0 c\n",
                "layout.txt line 2: no ring (a ring needs at least 3 stations at one radius > 0)"},
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
  ASSERT_EQ(layout.rings.size(), 1u);
  EXPECT_THAT(layout.rings[0].stations, ElementsAre(1, 2, 3));
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
