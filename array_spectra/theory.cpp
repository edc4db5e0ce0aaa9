#include "array_spectra/theory.h"

#include <boost/math/special_functions/bessel.hpp>
#include <cmath>
#include <complex>
#include <numbers>

namespace circspec {

namespace {

double J(int order, double x) { return boost::math::cyl_bessel_j(order, x); }

}  // namespace

void ExpectedSums(const ArrayGeometry& g, const ChannelLayout& ch, const WaveModel& model, double f, double* out) {
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

std::vector<double> SmoothedTheory(const ArrayGeometry& geometry, const ChannelLayout& channels,
                                   const WaveModel& model, const Smoother& smoother, double df) {
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

}  // namespace circspec
