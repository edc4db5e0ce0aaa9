#include "array/rings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>

#include "textio/errors.h"
#include "textio/format.h"

namespace array {
namespace {

using ::testing::ElementsAre;

constexpr double kDeg = std::numbers::pi / 180;

Layout Parse(const std::string& text) {
  std::istringstream in(text);
  return ParseLayout(in, "layout.txt", "");
}

// What a layout's rings must come out as.
struct RingCase {
  const char* label;
  const char* text;
  double tolerance;
  RingLayout::Point point;
  std::vector<std::vector<size_t>> rings;  // outer first
  std::vector<double> radii;
  std::vector<size_t> left_out;
};

void PrintTo(const RingCase& c, std::ostream* os) { *os << c.label; }

class Rings : public ::testing::TestWithParam<RingCase> {};

TEST_P(Rings, GroupsByDistanceWithinTheTolerance) {
  const RingCase& c = GetParam();
  const RingLayout r = FormRings(Parse(c.text), c.tolerance);
  EXPECT_EQ(r.point, c.point);
  ASSERT_EQ(r.rings.size(), c.rings.size());
  for (size_t k = 0; k < c.rings.size(); ++k) {
    EXPECT_EQ(r.rings[k].stations, c.rings[k]) << "ring " << k;
    EXPECT_NEAR(r.rings[k].radius, c.radii[k], 1e-9) << "ring " << k;
  }
  EXPECT_EQ(r.left_out, c.left_out);
}

constexpr auto kCentre = RingLayout::Point::kCentreStation;
constexpr auto kOrigin = RingLayout::Point::kOrigin;
constexpr auto kFitted = RingLayout::Point::kFitted;

INSTANTIATE_TEST_SUITE_P(
    Layouts, Rings,
    ::testing::Values(
        RingCase{
            "centre_and_three", "C 0 0 c\nA 90 10 a\nB 210 10 b\nD 330 10 d\n", 0.1, kCentre, {{1, 2, 3}}, {10}, {}},
        RingCase{"no_centre_polar", "A 0 5 a\nB 120 5 b\nD 240 5 d\n", 0.1, kOrigin, {{0, 1, 2}}, {5}, {}},
        // The tolerance is the spread about the mean: 10 and 11 are 4.8 %
        // off their mean, within 5 % but not within 4 %.
        RingCase{"spread_within", "A 0 10 a\nB 120 11 b\nD 240 10.5 d\n", 0.05, kOrigin, {{0, 1, 2}}, {10.5}, {}},
        RingCase{"spread_beyond",
                 "A 0 10 a\nB 120 11 b\nD 240 10.5 d\nE 60 10 e\nF 180 10.3 f\n",
                 0.02,
                 kOrigin,
                 {{0, 3, 4}},
                 {(10 + 10 + 10.3) / 3},
                 {1, 2}},
        // Two rings, stations interleaved in the file: outer first, file order kept.
        RingCase{"two_rings_interleaved",
                 "i1 0 5 i1\no1 0 10 o1\nc 0 0 c\ni2 120 5 i2\no2 72 10 o2\ni3 240 5 i3\no3 144 10 o3\n"
                 "o4 216 10 o4\no5 288 10 o5\n",
                 0.1,
                 kCentre,
                 {{1, 4, 6, 7, 8}, {0, 3, 5}},
                 {10, 5},
                 {}},
        // An extra station inside the ring, and one beyond it, are left out.
        RingCase{"extra_stations",
                 "C 0 0 c\nA 0 25 a\nX 40 3 x\nB 120 24 b\nD 240 26 d\nF 10 60 f\n",
                 0.1,
                 kCentre,
                 {{1, 3, 4}},
                 {25},
                 {2, 5}},
        // xy without a centre: the circle through the ring stations.
        RingCase{"xy_fitted",
                 "coordinates xy\nA 110 200 a\nB 100 210 b\nD 90 200 d\nE 100 190 e\n",
                 0.1,
                 kFitted,
                 {{0, 1, 2, 3}},
                 {10},
                 {}}),
    [](const auto& info) { return std::string(info.param.label); });

// A field ring: radii from -3 % to +7 %, an azimuth gap of 1.5 steps, the
// centre station 1 m off the ring's centre; distances and azimuths are the
// centre station's, the spread and the largest gap as they are.
TEST(Rings, IrregularRingSeenFromTheCentreStation) {
  std::string text = "coordinates xy\nC 1 0 c centre\n";
  const double radius[] = {24.2, 25.0, 26.7, 24.9, 25.3};
  const double azimuth[] = {0, 60, 120, 210, 290};  // a 90 degree gap: 1.5 of the 60 degree step
  for (int j = 0; j < 5; ++j) {
    const double x = 1 + radius[j] * std::cos(azimuth[j] * kDeg), y = radius[j] * std::sin(azimuth[j] * kDeg);
    text += "S" + std::to_string(j) + " " + textio::Shortest(x) + " " + textio::Shortest(y) + " s" + std::to_string(j) +
            "\n";
  }
  const RingLayout r = FormRings(Parse(text), kDefaultRingTolerance);
  ASSERT_EQ(r.rings.size(), 1u);
  const Ring& ring = r.rings[0];
  EXPECT_EQ(r.cx, 1);
  for (int j = 0; j < 5; ++j) {
    EXPECT_NEAR(ring.distances[j], radius[j], 1e-12);
    EXPECT_NEAR(ring.azimuths[j], std::remainder(azimuth[j] * kDeg, 2 * std::numbers::pi), 1e-12);
  }
  const double mean = (24.2 + 25.0 + 26.7 + 24.9 + 25.3) / 5;
  EXPECT_NEAR(ring.radius, mean, 1e-12);
  EXPECT_NEAR(ring.spread_low, 24.2 / mean - 1, 1e-12);
  EXPECT_NEAR(ring.spread_high, 26.7 / mean - 1, 1e-12);
  EXPECT_NEAR(ring.largest_gap, 90 * kDeg, 1e-12);
}

// Without a centre station the two rings share the centre of the circles
// through them: for stations on circles (at irregular azimuths) about one
// point, that point. Survey coordinates far from their origin keep their
// digits.
TEST(Rings, FittedCentreOfTwoRings) {
  constexpr double kX = 512345.678, kY = 5201234.5;  // the true centre, in UTM-like metres
  std::string text = "coordinates xy\n";
  for (int j = 0; j < 7; ++j) {
    const double theta = (51.4 * j + 10 * std::cos(j)) * kDeg;
    text += "O" + std::to_string(j) + " " + textio::Shortest(kX + 30 * std::cos(theta)) + " " +
            textio::Shortest(kY + 30 * std::sin(theta)) + " o" + std::to_string(j) + "\n";
  }
  for (int j = 0; j < 4; ++j) {
    const double theta = (90 * j + 20) * kDeg;
    text += "I" + std::to_string(j) + " " + textio::Shortest(kX + 8 * std::cos(theta)) + " " +
            textio::Shortest(kY + 8 * std::sin(theta)) + " i" + std::to_string(j) + "\n";
  }
  const RingLayout r = FormRings(Parse(text), kDefaultRingTolerance);
  EXPECT_EQ(r.point, kFitted);
  ASSERT_EQ(r.rings.size(), 2u);
  EXPECT_THAT(r.rings[1].stations, ElementsAre(7, 8, 9, 10));
  EXPECT_NEAR(r.cx, kX, 1e-6);
  EXPECT_NEAR(r.cy, kY, 1e-6);
  for (double d : r.rings[0].distances) EXPECT_NEAR(d, 30, 1e-6);
  for (double d : r.rings[1].distances) EXPECT_NEAR(d, 8, 1e-6);
}

TEST(Rings, RefusalsNameTheLayout) {
  const std::pair<const char*, const char*> cases[] = {
      {"C 0 0 c\n", "layout.txt: no ring: a ring needs at least 3 stations whose distances from the centre station"},
      {"C 0 0 c\nA 0 10 a\nB 120 10 b\n", "layout.txt: no ring"},
      {"A 0 10 a\nB 120 10 b\nD 240 10 d\nE 0 5 e\nF 120 5 f\nG 240 5 g\nH 0 2 h\nI 120 2 i\nJ 240 2 j\n",
       "layout.txt line 7: station 'H' at 2 m makes a third ring; at most two rings"},
  };
  for (const auto& [text, message] : cases) {
    try {
      FormRings(Parse(text), kDefaultRingTolerance);
      ADD_FAILURE() << "formed rings of " << text;
    } catch (const textio::InputError& e) {
      EXPECT_THAT(e.what(), ::testing::HasSubstr(message)) << text;
    }
  }
}

}  // namespace
}  // namespace array
