// The stages between samples and quantities: transform, smoothing,
// grouping, rejection and the jackknife.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "array_spectra/group_store.h"
#include "array_spectra/quantities.h"
#include "array_spectra/segment_screen.h"
#include "array_spectra/segment_transform.h"
#include "array_spectra/smoothing.h"

namespace circspec {
namespace {

constexpr double kPi = std::numbers::pi;

std::vector<double> Noise(size_t n, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> g;
  std::vector<double> v(n);
  for (double& x : v) x = g(rng);
  return v;
}

TEST(SegmentTransform, RemovesTheStraightLine) {
  for (size_t n : {16u, 2048u, 1001u}) {
    std::vector<double> line(n);
    for (size_t j = 0; j < n; ++j) line[j] = 3.5 - 0.25 * static_cast<double>(j);
    SegmentTransform t(n);
    EXPECT_LT(t.Detrend(line.data()), 1e-12) << n;
  }
}

TEST(SegmentTransform, IsTheDftOfTheDetrendedHannTaperedSegment) {
  for (size_t n : {64u, 90u}) {  // even, with a Nyquist bin, and not a power of two
    const std::vector<double> x = Noise(n, 3);
    // Reference: the line by an explicit fit, the taper sin^2(pi j/n), a plain DFT.
    double sj = 0, sy = 0, sjj = 0, sjy = 0;
    for (size_t j = 0; j < n; ++j) {
      sj += j, sy += x[j], sjj += double(j) * j, sjy += j * x[j];
    }
    const double b = (n * sjy - sj * sy) / (n * sjj - sj * sj), a = (sy - b * sj) / n;
    std::vector<double> y(n);
    double squares = 0;
    for (size_t j = 0; j < n; ++j) {
      const double r = x[j] - a - b * j;
      squares += r * r;
      y[j] = r * std::pow(std::sin(kPi * j / n), 2);
    }
    SegmentTransform t(n);
    EXPECT_NEAR(t.Detrend(x.data()), std::sqrt(squares / n), 1e-12);
    std::vector<std::complex<double>> spectrum(t.bins());
    t.Transform(spectrum.data());
    for (size_t k = 0; k < t.bins(); ++k) {
      std::complex<double> sum = 0;
      for (size_t j = 0; j < n; ++j) sum += y[j] * std::polar(1.0, -2 * kPi * double(j * k % n) / n);
      EXPECT_NEAR(std::abs(spectrum[k] - sum), 0, 1e-10) << "n " << n << " bin " << k;
    }
    // The plan is reused: the same segment gives the same spectrum.
    std::vector<std::complex<double>> again(t.bins());
    t.Detrend(x.data());
    t.Transform(again.data());
    EXPECT_EQ(again, spectrum);
  }
}

TEST(Smoother, WeightsAreNormalisedAndFollowTheirWindows) {
  const double df = 0.05;
  const size_t last = 1024;
  const std::vector<double> grid = {1.0, 2.5, 10.0};  // on bins 20, 50, 200
  struct Case {
    SmoothingChoice choice;
    // The unnormalised window at frequency f around fc.
    double (*window)(double f, double fc, double p);
  };
  const Case cases[] = {
      {{SmoothingChoice::Kind::kKonnoOhmachi, 40},
       [](double f, double fc, double b) {
         const double x = b * std::log10(f / fc);
         return x == 0 ? 1 : std::pow(std::sin(x) / x, 4);
       }},
      {{SmoothingChoice::Kind::kParzen, 0.4},
       [](double f, double fc, double bw) {
         const double x = kPi * (280 / (151 * bw)) * (f - fc) / 2;
         return x == 0 ? 1 : std::pow(std::sin(x) / x, 4);
       }},
  };
  for (const Case& c : cases) {
    const Smoother s(c.choice, grid, df, last);
    for (size_t i = 0; i < grid.size(); ++i) {
      double total = 0;
      const size_t centre = static_cast<size_t>(std::lround(grid[i] / df));
      for (size_t k = 0; k <= last + 1; ++k) total += s.Weight(i, k);
      EXPECT_NEAR(total, 1, 1e-12) << Describe(c.choice);
      EXPECT_EQ(s.Weight(i, 0), 0);  // the mean bin never counts
      for (size_t k : {centre / 2, centre - 3, centre + 1, centre + 7, 3 * centre}) {
        EXPECT_NEAR(s.Weight(i, k) / s.Weight(i, centre), c.window(k * df, grid[i], c.choice.parameter), 1e-12)
            << Describe(c.choice) << " fc " << grid[i] << " bin " << k;
      }
    }
  }
  const Smoother none({SmoothingChoice::Kind::kNone, 0}, {1.0, 1.02, 1.04}, df, last);
  EXPECT_EQ(none.Weight(0, 20), 1);
  EXPECT_EQ(none.Weight(1, 20), 1);  // 1.02 Hz is nearest to bin 20 (1.0 Hz)
  EXPECT_EQ(none.Weight(2, 21), 1);
}

TEST(Smoother, ParzenWindowHasTheRequestedEquivalentBandwidth) {
  // Equivalent bandwidth 1 / integral of W^2 for W of unit area: with
  // normalised bin weights w_k, W = w_k / df and the bandwidth is
  // df / sum w_k^2.
  const double df = 0.001;
  for (double bw : {0.2, 0.5, 1.0}) {
    const Smoother s({SmoothingChoice::Kind::kParzen, bw}, {20.0}, df, 40000);
    double squares = 0;
    for (size_t k = 1; k <= 40000; ++k) squares += s.Weight(0, k) * s.Weight(0, k);
    EXPECT_NEAR(df / squares, bw, 0.002 * bw);
  }
}

TEST(Smoother, AppliesItsWeightsToEveryChannel) {
  const size_t bins = 200, channels = 3;
  const Smoother s({SmoothingChoice::Kind::kKonnoOhmachi, 20}, {1.0, 3.0}, 0.05, bins);
  const std::vector<double> raw = Noise(bins * channels, 5);
  std::vector<double> out(2 * channels);
  s.Apply(raw.data(), channels, out.data());
  for (size_t i = 0; i < 2; ++i) {
    for (size_t c = 0; c < channels; ++c) {
      double expected = 0;
      for (size_t k = 1; k <= bins; ++k) expected += s.Weight(i, k) * raw[(k - 1) * channels + c];
      EXPECT_NEAR(out[i * channels + c], expected, 1e-12);
    }
  }
}

TEST(GroupStore, KeepsConsecutiveSegmentsInAtMostMaxGroupsOfEqualSpan) {
  struct Case {
    long segments;
    size_t groups, span;
  };
  for (const Case c : {Case{5, 5, 1}, Case{100, 100, 1}, Case{101, 51, 2}, Case{250, 63, 4}, Case{1000, 63, 16}}) {
    GroupStore store(2, 100);
    for (long s = 0; s < c.segments; ++s) {
      const double values[2] = {static_cast<double>(s), 1};
      store.Add(s, values, 1);
    }
    const auto groups = store.Groups();
    EXPECT_EQ(groups.size(), c.groups) << c.segments;
    EXPECT_EQ(store.span(), c.span) << c.segments;
    // Group g holds segments g*span .. : their index sum and count.
    long first = 0;
    for (const auto& g : groups) {
      const long n = std::min<long>(static_cast<long>(store.span()), c.segments - first);
      EXPECT_EQ(g.segments, n);
      EXPECT_EQ(g.values[1], static_cast<double>(n));
      EXPECT_EQ(g.values[0], static_cast<double>(n * first + n * (n - 1) / 2));
      first += n;
    }
    EXPECT_EQ(store.segments(), c.segments);
    EXPECT_EQ(store.Total()[0], static_cast<double>(c.segments * (c.segments - 1) / 2));
  }
}

TEST(GroupStore, LateSegmentsJoinTheGroupOfTheirIndex) {
  GroupStore store(1, 4);
  const double one = 1;
  for (long s : {0, 2, 3, 6, 7, 9}) store.Add(s, &one, 1);  // segments 1, 4, 5 and 8 set aside
  store.Add(4, &one, 1);                                    // span 4 now: group 1
  store.Add(1, &one, 1);                                    // group 0
  const auto groups = store.Groups();
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].segments, 4);  // 0 1 2 3
  EXPECT_EQ(groups[1].segments, 3);  // 4 6 7
  EXPECT_EQ(groups[2].segments, 1);  // 9
}

TEST(RunningMedian, MatchesTheSortedMedianAtEveryStep) {
  RunningMedian m;
  std::vector<double> seen;
  for (double v : Noise(301, 9)) {
    m.Add(v);
    seen.push_back(v);
    std::vector<double> s = seen;
    std::sort(s.begin(), s.end());
    const size_t n = s.size();
    EXPECT_EQ(m.Median(), n % 2 ? s[n / 2] : 0.5 * (s[n / 2 - 1] + s[n / 2]));
  }
}

TEST(SegmentScreen, DropsSegmentsLouderThanKTimesTheStationMedian) {
  SegmentScreen screen(2, 3.0);
  std::vector<SegmentScreen::Verdict> verdicts;
  for (int s = 0; s < 40; ++s) {
    double rms[2] = {1.0 + 0.01 * s, 2.0};
    if (s == 25) rms[1] = 6.5;  // 3.25 x the median of station 2
    if (s == 30) rms[0] = 3.1;  // 2.6 x: loud, deferred, but kept
    verdicts.push_back(screen.Record(rms));
  }
  screen.Finish();
  EXPECT_DOUBLE_EQ(screen.median(0), 1.195);
  EXPECT_EQ(screen.median(1), 2.0);
  EXPECT_EQ(screen.rejected_count(), 1);
  EXPECT_TRUE(screen.Rejected(25));
  EXPECT_FALSE(screen.Rejected(30));
  for (size_t s = 0; s < verdicts.size(); ++s) {
    const bool loud = s == 25 || s == 30;
    EXPECT_EQ(verdicts[s],
              s < SegmentScreen::kWarmup || loud ? SegmentScreen::Verdict::kDefer : SegmentScreen::Verdict::kKeep)
        << s;
  }
}

// A layout with a centre and a ring of 3, and one with a ring only.
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
  const std::vector<double> g0 = Noise(30, 11);
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
