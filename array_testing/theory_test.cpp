// The expected spectra: the pair form of the theory against the aliased
// closed form for equally spaced rings and against a direct average over
// wave directions for an irregular array.
#include <gtest/gtest.h>

#include <boost/math/special_functions/bessel.hpp>
#include <cmath>
#include <complex>
#include <numbers>

#include "array_spectra/quantities.h"
#include "array_testing/theory.h"

namespace circspec::testing {
namespace {

constexpr double kPi = std::numbers::pi;

double J(int n, double x) { return boost::math::cyl_bessel_j(n, x); }

ArrayGeometry Array(bool centre, std::vector<std::vector<double>> azimuths_deg,
                    std::vector<std::vector<double>> radii) {
  ArrayGeometry g;
  if (centre) {
    g.centre = 0;
    g.x.push_back(0);
    g.y.push_back(0);
  }
  for (size_t r = 0; r < azimuths_deg.size(); ++r) {
    RingGeometry ring;
    ring.radius = radii[r][0];
    for (size_t j = 0; j < azimuths_deg[r].size(); ++j) {
      const double theta = azimuths_deg[r][j] * kPi / 180;
      ring.stations.push_back(g.x.size());
      ring.azimuths.push_back(theta);
      g.x.push_back(radii[r][j] * std::cos(theta));
      g.y.push_back(radii[r][j] * std::sin(theta));
    }
    g.rings.push_back(ring);
  }
  return g;
}

WaveModel Model(double velocity, double noise) {
  return {[](double) { return 2.0; }, [velocity](double) { return velocity; }, noise};
}

TEST(Theory, EquallySpacedRingsSeeTheAliasedCircularOrders) {
  const double r = 10, c = 200;
  for (int n : {3, 5, 7}) {
    std::vector<double> az;
    for (int j = 0; j < n; ++j) az.push_back(25 + 360.0 * j / n);
    const ArrayGeometry g = Array(true, {az}, {std::vector<double>(n, r)});
    const ChannelLayout ch(g);
    for (double eps : {0.0, 0.1}) {
      for (double f : {0.5, 3.0, 6.0, 9.0}) {
        std::vector<double> s(ch.count);
        ExpectedSums(g, ch, Model(c, eps), f, s.data());
        const double kr = 2 * kPi * f / c * r;
        const RingChannels& rc = ch.rings[0];
        EXPECT_NEAR(s[ch.centre_power], 2 * (1 + eps), 1e-12);
        EXPECT_NEAR(s[rc.cz0_re], 2 * J(0, kr), 1e-12);
        EXPECT_NEAR(s[rc.centre_cross[1]], 2 * J(0, kr), 1e-12);
        EXPECT_NEAR(s[rc.g0], 2 * (AliasedOrderPower(0, n, kr) + eps / n), 1e-12) << "N " << n << " kr " << kr;
        EXPECT_NEAR(s[rc.g1], 2 * (AliasedOrderPower(1, n, kr) + eps / n), 1e-12) << "N " << n << " kr " << kr;
      }
    }
  }
  // The aliases are those of order N: with three stations J3, J6, ...
  // join J0, and J2, J4, J5, ... join J1 (J_(-n)^2 = J_n^2).
  const double x = 2.0;
  double zero = 0, one = 0;
  for (int order : {0, 3, -3, 6, -6, 9, -9, 12, -12, 15, -15}) zero += J(std::abs(order), x) * J(std::abs(order), x);
  for (int order : {1, -2, 4, -5, 7, -8, 10, -11, 13, -14, 16}) one += J(std::abs(order), x) * J(std::abs(order), x);
  EXPECT_NEAR(AliasedOrderPower(0, 3, x), zero, 1e-15);
  EXPECT_NEAR(AliasedOrderPower(1, 3, x), one, 1e-15);
  EXPECT_GT(AliasedOrderPower(1, 3, x) - J(1, x) * J(1, x), 0.1);  // J2(2)^2 = 0.125: aliasing is not small
}

TEST(Theory, MatchesADirectAverageOverWaveDirectionsForAnyLayout) {
  // Two irregular rings. For a plane wave toward alpha a station at p sees
  // exp(-i k u(alpha).p); the expected channel sums are the averages over
  // alpha of the products, here by the trapezoid rule (exact for these
  // trigonometric integrands of bounded order).
  const ArrayGeometry g = Array(true, {{0, 100, 230, 300}, {40, 160, 280}}, {{10, 10.02, 9.98, 10}, {4, 4, 4.01}});
  const ChannelLayout ch(g);
  const double f = 4, c = 150, k = 2 * kPi * f / c;
  std::vector<double> pair(ch.count);
  ExpectedSums(g, ch, Model(c, 0), f, pair.data());

  const int directions = 4000;
  std::vector<double> average(ch.count, 0);
  for (int d = 0; d < directions; ++d) {
    const double alpha = 2 * kPi * d / directions;
    auto seen = [&](size_t s) { return std::polar(1.0, -k * (std::cos(alpha) * g.x[s] + std::sin(alpha) * g.y[s])); };
    std::complex<double> z0[2], z1[2];
    for (size_t r = 0; r < 2; ++r) {
      const double n = static_cast<double>(g.rings[r].stations.size());
      for (size_t j = 0; j < g.rings[r].stations.size(); ++j) {
        z0[r] += seen(g.rings[r].stations[j]) / n;
        z1[r] += seen(g.rings[r].stations[j]) * std::polar(1.0, -g.rings[r].azimuths[j]) / n;
      }
      average[ch.rings[r].g0] += std::norm(z0[r]) / directions;
      average[ch.rings[r].g1] += std::norm(z1[r]) / directions;
      average[ch.rings[r].cz0_re] += (seen(0) * std::conj(z0[r])).real() / directions;
      average[ch.rings[r].cz0_im] += (seen(0) * std::conj(z0[r])).imag() / directions;
    }
    average[*ch.ring_cross] += (z1[0] * std::conj(z1[1])).real() / directions;
  }
  for (size_t r = 0; r < 2; ++r) {
    for (size_t v : {ch.rings[r].g0, ch.rings[r].g1, ch.rings[r].cz0_re, ch.rings[r].cz0_im}) {
      EXPECT_NEAR(pair[v], 2 * average[v], 1e-9) << "ring " << r << " channel " << v;
    }
  }
  EXPECT_NEAR(pair[*ch.ring_cross], 2 * average[*ch.ring_cross], 1e-9);
}

TEST(Theory, SmoothedTheoryPassesThroughTheSmoothingWeights) {
  // With P(f) = f and J0 varying, the smoothed S_cc is sum_k w_k f_k (1+eps)
  // and the smoothed ratio differs from the ratio at fc.
  const ArrayGeometry g = Array(true, {{0, 120, 240}}, {{10, 10, 10}});
  const ChannelLayout ch(g);
  const WaveModel m{[](double f) { return f; }, [](double) { return 100.0; }, 0.1};
  const double df = 0.05;
  const Smoother s({SmoothingChoice::Kind::kKonnoOhmachi, 40}, {2.0, 4.0}, df, 400);
  const std::vector<double> t = SmoothedTheory(g, ch, m, s, df);
  for (size_t i = 0; i < 2; ++i) {
    double cc = 0, cross = 0;
    for (size_t k = 1; k <= 400; ++k) {
      const double f = k * df;
      cc += s.Weight(i, k) * f * 1.1;
      cross += s.Weight(i, k) * f * J(0, 2 * kPi * f / 100 * 10);
    }
    EXPECT_NEAR(t[i * ch.count + ch.centre_power], cc, 1e-12);
    EXPECT_NEAR(t[i * ch.count + ch.rings[0].centre_cross[2]], cross, 1e-12);
  }
}

// The horizontal closed form: Rayleigh waves J0 -+ J2 on the radial and
// transverse components, Love waves the reverse, a mixture in proportion.
TEST(Theory, HorizontalCoefficientsOfRayleighLoveAndMixtures) {
  // J0(1) = 0.765197686557967, J2(1) = 0.114903484931901.
  const double minus = 0.650294201626066, plus = 0.880101171489868;
  struct Case {
    double love_fraction, radial, transverse;
  };
  for (const Case& c : {Case{0, minus, plus}, Case{1, plus, minus},
                        Case{0.25, 0.75 * minus + 0.25 * plus, 0.75 * plus + 0.25 * minus}}) {
    const HorizontalCoefficients h = HorizontalSpac(1, 1, c.love_fraction);
    EXPECT_NEAR(h.radial, c.radial, 1e-14) << c.love_fraction;
    EXPECT_NEAR(h.transverse, c.transverse, 1e-14) << c.love_fraction;
  }
  // Each wave type at its own wavenumber.
  const HorizontalCoefficients h = HorizontalSpac(2, 3, 0.5);
  EXPECT_NEAR(h.radial, 0.5 * (J(0, 2) - J(2, 2)) + 0.5 * (J(0, 3) + J(2, 3)), 1e-14);
  EXPECT_NEAR(h.transverse, 0.5 * (J(0, 2) + J(2, 2)) + 0.5 * (J(0, 3) - J(2, 3)), 1e-14);
}

// The expected projected spectra against a direct average over wave
// directions of plane waves moving along (Rayleigh) or across (Love) their
// direction m: E[R_c conj R_j] = <(u_c . h)(u_j . h) cos(k m . (p_c - p_j))>
// with h = m or m rotated by 90 degrees, for an irregular ring; and the
// coefficients they form equal the closed form divided by 1 + eps.
TEST(Theory, HorizontalPairFormMatchesTheAverageOverDirectionsAndTheClosedForm) {
  const double r = 10, c_rayleigh = 200, c_love = 150, f = 4, eps = 0.05;
  const ArrayGeometry g = Array(true, {{10, 100, 170, 300}}, {{r, r, r, r}});
  const ChannelLayout ch(g, Component::kHorizontal);
  ASSERT_EQ(ch.count, 4u * 6u);
  for (double a : {0.0, 0.3, 1.0}) {
    WaveModel m;
    m.power = [](double) { return 2.0; };
    m.velocity = [=](double) { return c_rayleigh; };
    m.love_velocity = [=](double) { return c_love; };
    m.love_fraction = a;
    m.noise = eps;
    std::vector<double> sums(ch.count);
    ExpectedSums(g, ch, m, f, sums.data());
    const double k_r = 2 * kPi * f / c_rayleigh, k_l = 2 * kPi * f / c_love;
    const RingGeometry& ring = g.rings[0];
    for (size_t j = 0; j < ring.stations.size(); ++j) {
      const double xj = g.x[ring.stations[j]], yj = g.y[ring.stations[j]];
      for (int transverse = 0; transverse < 2; ++transverse) {
        const double phi = ring.azimuths[j] + (transverse ? kPi / 2 : 0);
        const double ux = std::cos(phi), uy = std::sin(phi);
        double direct = 0;
        const int steps = 20000;
        for (int i = 0; i < steps; ++i) {
          const double alpha = 2 * kPi * (i + 0.5) / steps;
          const double mx = std::cos(alpha), my = std::sin(alpha);
          const double along = (ux * mx + uy * my), across = (-ux * my + uy * mx);
          direct += (1 - a) * along * along * std::cos(k_r * (mx * xj + my * yj)) +
                    a * across * across * std::cos(k_l * (mx * xj + my * yj));
        }
        direct *= 2.0 / steps;  // P = 2
        const ProjectedChannels& p = transverse ? ch.rings[0].transverse : ch.rings[0].radial;
        EXPECT_NEAR(sums[p.cross[j]], direct, 1e-9) << "a " << a << " station " << j << " transverse " << transverse;
        EXPECT_NEAR(sums[p.centre_power[j]], 1 + eps, 1e-12);  // P/2 per component, and the noise
        EXPECT_NEAR(sums[p.station_power[j]], 1 + eps, 1e-12);
      }
    }
    const HorizontalCoefficients h = HorizontalSpac(k_r * r, k_l * r, a);
    EXPECT_NEAR(Evaluate(Quantity::kSpacR, ch, 0, sums.data()), h.radial / (1 + eps), 1e-12);
    EXPECT_NEAR(Evaluate(Quantity::kSpacT, ch, 0, sums.data()), h.transverse / (1 + eps), 1e-12);
    EXPECT_NEAR(Evaluate(Quantity::kSpacTR, ch, 0, sums.data()), h.transverse / h.radial, 1e-12);
  }
}

}  // namespace
}  // namespace circspec::testing
