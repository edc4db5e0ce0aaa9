#include "array_testing/theory.h"

#include <boost/math/special_functions/bessel.hpp>
#include <cmath>
#include <complex>
#include <numbers>

namespace circspec::testing {

namespace {

double J(int order, double x) { return boost::math::cyl_bessel_j(order, x); }

// The horizontal channels: E[proj_a conj(proj_b)] in the pair form of
// ExpectedSums' comment, per ring station.
void ExpectedHorizontalSums(const ArrayGeometry& g, const ChannelLayout& ch, const WaveModel& model, double f,
                            double* out) {
  const double p = model.power(f);
  const double a = model.love_fraction;
  const double k_rayleigh = 2 * std::numbers::pi * f / model.velocity(f);
  const double k_love = a > 0 ? 2 * std::numbers::pi * f / model.love_velocity(f) : 0.0;
  // Stations a, b, their projection angles.
  auto cross = [&](size_t s_a, double phi_a, size_t s_b, double phi_b) {
    const double dx = g.x[s_a] - g.x[s_b], dy = g.y[s_a] - g.y[s_b];
    const double d = std::hypot(dx, dy);
    const double along = std::cos(phi_a - phi_b);
    if (s_a == s_b) return p / 2 * along * (1 + model.noise);  // J0(0) = 1, J2(0) = 0
    const double across = std::cos(2 * std::atan2(dy, dx) - phi_a - phi_b);
    const double rayleigh = along * J(0, k_rayleigh * d) - across * J(2, k_rayleigh * d);
    const double love = a > 0 ? along * J(0, k_love * d) + across * J(2, k_love * d) : 0.0;
    return p / 2 * ((1 - a) * rayleigh + a * love);
  };
  for (size_t c = 0; c < ch.count; ++c) out[c] = 0;
  if (!ch.has_centre) return;
  const size_t centre = *g.centre;
  for (size_t r = 0; r < g.rings.size(); ++r) {
    const RingGeometry& ring = g.rings[r];
    for (size_t j = 0; j < ring.stations.size(); ++j) {
      const size_t s = ring.stations[j];
      const double theta = ring.azimuths[j];
      struct Projection {
        const ProjectedChannels& channels;
        double phi;
      };
      for (const Projection& pr :
           {Projection{ch.rings[r].radial, theta}, Projection{ch.rings[r].transverse, theta + std::numbers::pi / 2}}) {
        out[pr.channels.centre_power[j]] = cross(centre, pr.phi, centre, pr.phi);
        out[pr.channels.station_power[j]] = cross(s, pr.phi, s, pr.phi);
        out[pr.channels.cross[j]] = cross(centre, pr.phi, s, pr.phi);
      }
    }
  }
}

}  // namespace

void ExpectedSums(const ArrayGeometry& g, const ChannelLayout& ch, const WaveModel& model, double f, double* out) {
  if (ch.component == Component::kHorizontal) return ExpectedHorizontalSums(g, ch, model, f, out);
  const double p = model.power(f);
  const double k = 2 * std::numbers::pi * f / model.velocity(f);
  const double eps = model.noise;
  auto cross = [&](size_t a, size_t b) {
    const double d = std::hypot(g.x[a] - g.x[b], g.y[a] - g.y[b]);
    return p * (J(0, k * d) + (a == b ? eps : 0.0));
  };
  for (size_t c = 0; c < ch.count; ++c) out[c] = 0;
  if (ch.has_centre) out[ch.centre_power] = cross(*g.centre, *g.centre);
  std::vector<std::complex<double>> z1_weights[2];
  for (size_t r = 0; r < g.rings.size(); ++r) {
    const RingGeometry& ring = g.rings[r];
    const RingChannels& rc = ch.rings[r];
    const double n = static_cast<double>(ring.stations.size());
    double g0 = 0, g1 = 0, cz0 = 0;
    for (size_t a = 0; a < ring.stations.size(); ++a) {
      for (size_t b = 0; b < ring.stations.size(); ++b) {
        const double e = cross(ring.stations[a], ring.stations[b]);
        g0 += e;
        g1 += e * std::cos(ring.azimuths[a] - ring.azimuths[b]);  // the imaginary parts cancel in pairs
      }
      if (ch.has_centre) {
        const double e = cross(*g.centre, ring.stations[a]);
        out[rc.station_power[a]] = cross(ring.stations[a], ring.stations[a]);
        out[rc.centre_cross[a]] = e;
        cz0 += e;
      }
      z1_weights[r].push_back(std::polar(1 / n, -ring.azimuths[a]));
    }
    out[rc.g0] = g0 / (n * n);
    out[rc.g1] = g1 / (n * n);
    if (ch.has_centre) out[rc.cz0_re] = cz0 / n;  // the imaginary part is 0
  }
  if (ch.ring_cross) {
    // Re E[Z1(outer) conj Z1(inner)] = Re sum_ab w_a conj(w_b) E[X_a conj X_b].
    std::complex<double> sum = 0;
    for (size_t a = 0; a < g.rings[0].stations.size(); ++a) {
      for (size_t b = 0; b < g.rings[1].stations.size(); ++b) {
        sum += z1_weights[0][a] * std::conj(z1_weights[1][b]) * cross(g.rings[0].stations[a], g.rings[1].stations[b]);
      }
    }
    out[*ch.ring_cross] = sum.real();
  }
}

std::vector<double> SmoothedTheory(const ArrayGeometry& geometry, const ChannelLayout& channels, const WaveModel& model,
                                   const Smoother& smoother, double df) {
  const size_t nc = channels.count;
  std::vector<double> raw(smoother.bins() * nc);
  for (size_t b = 0; b < smoother.bins(); ++b) {
    const double f = static_cast<double>(smoother.first_bin() + b) * df;
    ExpectedSums(geometry, channels, model, f, &raw[b * nc]);
  }
  std::vector<double> out(smoother.frequencies() * nc);
  smoother.Apply(raw.data(), nc, out.data());
  return out;
}

HorizontalCoefficients HorizontalSpac(double kr_rayleigh, double kr_love, double love_fraction) {
  const double a = love_fraction;
  const double rayleigh_minus = J(0, kr_rayleigh) - J(2, kr_rayleigh);
  const double rayleigh_plus = J(0, kr_rayleigh) + J(2, kr_rayleigh);
  const double love_minus = J(0, kr_love) - J(2, kr_love);
  const double love_plus = J(0, kr_love) + J(2, kr_love);
  return {(1 - a) * rayleigh_minus + a * love_plus, (1 - a) * rayleigh_plus + a * love_minus};
}

double AliasedOrderPower(int order, int n, double x) {
  // J_nu(x) falls off like (x/2)^nu / nu! beyond nu > x: orders up to
  // |x| + 40 leave nothing a double can hold.
  const int reach = static_cast<int>(std::fabs(x)) + 40;
  double sum = 0;
  for (int m = -reach / n - 1; m <= reach / n + 1; ++m) {
    const double j = J(std::abs(order + m * n), x);  // J_(-v)^2 = J_v^2
    sum += j * j;
  }
  return sum;
}

}  // namespace circspec::testing
