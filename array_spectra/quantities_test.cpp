// The quantities from the channel sums, and their jackknife errors.
#include "array_spectra/quantities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "testsupport/random_series.h"

namespace circspec {
namespace {

constexpr double kPi = std::numbers::pi;

ArrayGeometry Geometry(bool centre, int rings) {
  ArrayGeometry g;
  size_t next = 0;
  if (centre) {
    g.centre = next++;
    g.x.push_back(0);
    g.y.push_back(0);
  }
  for (int r = 0; r < rings; ++r) {
    RingGeometry ring;
    ring.radius = r == 0 ? 10 : 5;
    for (int j = 0; j < 3; ++j) {
      ring.stations.push_back(next++);
      ring.azimuths.push_back(2 * kPi * j / 3);
      g.x.push_back(ring.radius * std::cos(ring.azimuths.back()));
      g.y.push_back(ring.radius * std::sin(ring.azimuths.back()));
    }
    g.rings.push_back(ring);
  }
  return g;
}

TEST(Quantities, FollowTheirDefinitionsFromTheChannelSums) {
  const ArrayGeometry g = Geometry(true, 2);
  const ChannelLayout ch(g);
  std::vector<double> s(ch.count);
  s[ch.centre_power] = 4;
  const RingChannels& o = ch.rings[0];
  const double power[3] = {1, 4, 16}, cross[3] = {1, 2, -4};
  for (int j = 0; j < 3; ++j) {
    s[o.station_power[j]] = power[j];
    s[o.centre_cross[j]] = cross[j];
  }
  s[o.cz0_re] = 0.6, s[o.cz0_im] = -0.8, s[o.g0] = 0.5, s[o.g1] = 0.25;
  s[ch.rings[1].g1] = 0.1;
  s[*ch.ring_cross] = 0.15;
  struct Expect {
    Quantity q;
    double value;
  };
  const Expect table[] = {
      {Quantity::kSpac, (1 / 2.0 + 2 / 4.0 - 4 / 8.0) / 3},
      {Quantity::kCoh, 1.0 / (4 * 0.5)},
      {Quantity::kCca, 2},
      {Quantity::kJ0sq, 0.125},
      {Quantity::kJ1sq, 0.0625},
      {Quantity::kJ0J1sq, 2.4},
      {Quantity::kRingsq, 2.5},
      {Quantity::kRing, 1.5},
  };
  for (const Expect& e : table) EXPECT_DOUBLE_EQ(Evaluate(e.q, ch, 0, s.data()), e.value) << NameOf(e.q);
  EXPECT_EQ(AvailableQuantities(ch).size(), 8u);
}

TEST(Quantities, WithoutACentreOnlyTheRingQuantitiesExist) {
  const ChannelLayout one(Geometry(false, 1));
  EXPECT_EQ(AvailableQuantities(one), std::vector<Quantity>{Quantity::kCca});
  EXPECT_NE(WhyUnavailable(Quantity::kSpac, one).find("needs a centre station"), std::string::npos);
  EXPECT_NE(WhyUnavailable(Quantity::kRing, one).find("two rings"), std::string::npos);
  const ChannelLayout two(Geometry(false, 2));
  EXPECT_EQ(AvailableQuantities(two), (std::vector<Quantity>{Quantity::kCca, Quantity::kRingsq, Quantity::kRing}));
  for (const char* name : {"spac", "coh", "cca", "j0sq", "j1sq", "j0j1sq", "ringsq", "ring"}) {
    ASSERT_TRUE(QuantityNamed(name).has_value()) << name;
    EXPECT_EQ(NameOf(*QuantityNamed(name)), name);
  }
}

TEST(Jackknife, GivesTheStandardErrorOfTheMeanForARatioWithAFixedDenominator) {
  // j0sq = G0 / S_cc with S_cc the same in every group: the quantity is the
  // mean of the groups' G0/S_cc, whose standard error is sd / sqrt(G); the
  // delete-one-group jackknife reproduces it exactly.
  const ArrayGeometry g = Geometry(true, 1);
  const ChannelLayout ch(g);
  SpectralSums sums;
  sums.frequencies = {1.0};
  sums.channels = ch.count;
  sums.total.assign(ch.count, 0);
  const std::vector<double> g0 = testsupport::GaussianSeries(30, 11);
  for (double x : g0) {
    std::vector<double> group(ch.count, 1.0);
    group[ch.rings[0].g0] = 5 + x;
    for (size_t c = 0; c < ch.count; ++c) sums.total[c] += group[c];
    sums.groups.push_back(group);
    sums.group_segments.push_back(1);
  }
  double mean = 0, var = 0;
  for (double x : g0) mean += (5 + x) / 30;
  for (double x : g0) var += (5 + x - mean) * (5 + x - mean) / 29;
  const Series s = Estimate(Quantity::kJ0sq, ch, 0, sums);
  EXPECT_NEAR(s.value[0], mean, 1e-12);
  EXPECT_NEAR(s.se[0], std::sqrt(var / 30), 1e-12);

  sums.groups.resize(1);  // one group: no error estimate
  EXPECT_TRUE(std::isnan(Estimate(Quantity::kJ0sq, ch, 0, sums).se[0]));
}

}  // namespace
}  // namespace circspec
