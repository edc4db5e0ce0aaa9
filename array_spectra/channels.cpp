#include "array_spectra/channels.h"

#include <cmath>
#include <numbers>

namespace circspec {

ArrayGeometry GeometryOf(const array::Layout& layout, const array::RingLayout& rings) {
  ArrayGeometry g;
  // The stations used: the centre and the ring stations, in layout order.
  std::vector<bool> used(layout.stations.size(), false);
  if (layout.centre) used[*layout.centre] = true;
  for (const array::Ring& r : rings.rings) {
    for (size_t s : r.stations) used[s] = true;
  }
  std::vector<size_t> index_of(layout.stations.size());
  for (size_t s = 0; s < layout.stations.size(); ++s) {
    if (!used[s]) continue;
    const array::Station& st = layout.stations[s];
    index_of[s] = g.layout_index.size();
    if (layout.centre && *layout.centre == s) g.centre = g.layout_index.size();
    g.layout_index.push_back(s);
    g.x.push_back(st.x);
    g.y.push_back(st.y);
    g.orient.push_back(st.orient_deg * (std::numbers::pi / 180));
  }
  for (const array::Ring& r : rings.rings) {
    RingGeometry ring;
    ring.radius = r.radius;
    for (size_t s : r.stations) ring.stations.push_back(index_of[s]);
    ring.azimuths = r.azimuths;
    ring.distances = r.distances;
    g.rings.push_back(std::move(ring));
  }
  return g;
}

ChannelLayout::ChannelLayout(const ArrayGeometry& geometry, Component c) : component(c) {
  has_centre = geometry.centre.has_value();
  if (component == Component::kHorizontal) {
    // Without a centre there is nothing to project; the quantities say why.
    if (!has_centre) return;
    for (const RingGeometry& ring : geometry.rings) {
      RingChannels rc;
      for (ProjectedChannels* p : {&rc.radial, &rc.transverse}) {
        for (size_t j = 0; j < ring.stations.size(); ++j) {
          p->centre_power.push_back(count++);
          p->station_power.push_back(count++);
          p->cross.push_back(count++);
        }
      }
      rings.push_back(std::move(rc));
    }
    return;
  }
  if (has_centre) centre_power = count++;
  for (const RingGeometry& ring : geometry.rings) {
    RingChannels rc;
    if (has_centre) {
      for (size_t j = 0; j < ring.stations.size(); ++j) rc.station_power.push_back(count++);
      for (size_t j = 0; j < ring.stations.size(); ++j) rc.centre_cross.push_back(count++);
      rc.cz0_re = count++;
      rc.cz0_im = count++;
    }
    rc.g0 = count++;
    rc.g1 = count++;
    rings.push_back(std::move(rc));
  }
  if (geometry.rings.size() == 2) ring_cross = count++;
}

SegmentAccumulator::SegmentAccumulator(const ArrayGeometry& geometry, const ChannelLayout& channels)
    : geometry_(&geometry), channels_(&channels), rotated_(2 * geometry.x.size()) {
  for (const RingGeometry& ring : geometry.rings) {
    std::vector<std::complex<double>> p;
    for (double theta : ring.azimuths) p.push_back(std::polar(1.0, -theta));
    phase_.push_back(std::move(p));
  }
}

namespace {

// |z|^2 and a conj(b), written out: std::norm goes through a hypot for
// IEEE-conforming builds, and the library's complex product checks for
// infinities on every call.
double Norm(std::complex<double> z) { return z.real() * z.real() + z.imag() * z.imag(); }
std::complex<double> TimesConj(std::complex<double> a, std::complex<double> b) {
  return {a.real() * b.real() + a.imag() * b.imag(), a.imag() * b.real() - a.real() * b.imag()};
}
std::complex<double> Times(std::complex<double> a, std::complex<double> b) {
  return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

}  // namespace

void SegmentAccumulator::Add(const std::vector<const std::complex<double>*>& spectra, size_t first_bin, size_t bins,
                             double* sums) const {
  if (channels_->component == Component::kHorizontal) {
    AddHorizontal(spectra, first_bin, bins, sums);
  } else {
    AddVertical(spectra, first_bin, bins, sums);
  }
}

const std::complex<double>* SegmentAccumulator::Oriented(const std::vector<const std::complex<double>*>& spectra,
                                                         size_t station, size_t first_bin, size_t bins,
                                                         int east_or_north) const {
  const std::complex<double>* e = spectra[2 * station] + first_bin;
  const std::complex<double>* n = spectra[2 * station + 1] + first_bin;
  const double theta = geometry_->orient[station];
  if (theta == 0) return east_or_north == 0 ? e : n;
  // The sensor's n channel points at azimuth theta (clockwise from north),
  // its e channel at theta + 90 degrees: for the ground's motion (E, N),
  // n' = E sin(theta) + N cos(theta), e' = E cos(theta) - N sin(theta), so
  //   E = n' sin(theta) + e' cos(theta),  N = n' cos(theta) - e' sin(theta).
  std::vector<std::complex<double>>& out = rotated_[2 * station + static_cast<size_t>(east_or_north)];
  out.resize(bins);
  const double c = std::cos(theta), s = std::sin(theta);
  for (size_t b = 0; b < bins; ++b) out[b] = east_or_north == 0 ? n[b] * s + e[b] * c : n[b] * c - e[b] * s;
  return out.data();
}

void SegmentAccumulator::AddHorizontal(const std::vector<const std::complex<double>*>& spectra, size_t first_bin,
                                       size_t bins, double* sums) const {
  const ChannelLayout& ch = *channels_;
  if (!ch.has_centre) return;
  const size_t nc = ch.count;
  const size_t centre = *geometry_->centre;
  const std::complex<double>* ce = Oriented(spectra, centre, first_bin, bins, 0);
  const std::complex<double>* cn = Oriented(spectra, centre, first_bin, bins, 1);
  struct Station {
    const std::complex<double>*e, *n;
    double cos, sin;
    size_t rc, rs, rx, tc, ts, tx;  // channels: radial and transverse centre power, station power, cross
  };
  std::vector<Station> stations;
  for (size_t r = 0; r < geometry_->rings.size(); ++r) {
    const RingGeometry& ring = geometry_->rings[r];
    const RingChannels& rc = ch.rings[r];
    for (size_t j = 0; j < ring.stations.size(); ++j) {
      const size_t s = ring.stations[j];
      stations.push_back({Oriented(spectra, s, first_bin, bins, 0), Oriented(spectra, s, first_bin, bins, 1),
                          std::cos(ring.azimuths[j]), std::sin(ring.azimuths[j]), rc.radial.centre_power[j],
                          rc.radial.station_power[j], rc.radial.cross[j], rc.transverse.centre_power[j],
                          rc.transverse.station_power[j], rc.transverse.cross[j]});
    }
  }
  for (size_t b = 0; b < bins; ++b) {
    double* bin_sums = sums + b * nc;
    const std::complex<double> e_c = ce[b], n_c = cn[b];
    for (const Station& st : stations) {
      const std::complex<double> e = st.e[b], n = st.n[b];
      // R = E cos + N sin, T = -E sin + N cos, for the centre and the station.
      const std::complex<double> r_c = e_c * st.cos + n_c * st.sin;
      const std::complex<double> t_c = n_c * st.cos - e_c * st.sin;
      const std::complex<double> r_j = e * st.cos + n * st.sin;
      const std::complex<double> t_j = n * st.cos - e * st.sin;
      bin_sums[st.rc] += Norm(r_c);
      bin_sums[st.rs] += Norm(r_j);
      bin_sums[st.rx] += r_c.real() * r_j.real() + r_c.imag() * r_j.imag();
      bin_sums[st.tc] += Norm(t_c);
      bin_sums[st.ts] += Norm(t_j);
      bin_sums[st.tx] += t_c.real() * t_j.real() + t_c.imag() * t_j.imag();
    }
  }
}

void SegmentAccumulator::AddVertical(const std::vector<const std::complex<double>*>& spectra, size_t first_bin,
                                     size_t bins, double* sums) const {
  const ChannelLayout& ch = *channels_;
  const size_t nc = ch.count;
  const bool centre = ch.has_centre;
  const std::complex<double>* c_spec = centre ? spectra[*geometry_->centre] + first_bin : nullptr;
  // Everything the bin loop looks up, in locals: the stores into the sums
  // (doubles) could otherwise alias the spectra and force reloads.
  struct Station {
    const std::complex<double>* x;
    std::complex<double> phase;
    size_t power, cross;
  };
  std::vector<Station> stations;
  std::vector<size_t> ring_end;
  for (size_t r = 0; r < geometry_->rings.size(); ++r) {
    const RingGeometry& ring = geometry_->rings[r];
    const RingChannels& rc = ch.rings[r];
    for (size_t j = 0; j < ring.stations.size(); ++j) {
      stations.push_back({spectra[ring.stations[j]] + first_bin, phase_[r][j], centre ? rc.station_power[j] : 0,
                          centre ? rc.centre_cross[j] : 0});
    }
    ring_end.push_back(stations.size());
  }
  for (size_t b = 0; b < bins; ++b) {
    double* bin_sums = sums + b * nc;
    const std::complex<double> c = centre ? c_spec[b] : 0.0;
    if (centre) bin_sums[ch.centre_power] += Norm(c);
    std::complex<double> z1[2];
    size_t j = 0;
    for (size_t r = 0; r < ring_end.size(); ++r) {
      const RingChannels& rc = ch.rings[r];
      const double inv_n = 1.0 / static_cast<double>(ring_end[r] - j);
      double z0re = 0, z0im = 0, z1re = 0, z1im = 0;
      for (; j < ring_end[r]; ++j) {
        const Station& st = stations[j];
        const std::complex<double> x = st.x[b];
        z0re += x.real();
        z0im += x.imag();
        const std::complex<double> rotated = Times(x, st.phase);
        z1re += rotated.real();
        z1im += rotated.imag();
        if (centre) {
          bin_sums[st.power] += Norm(x);
          bin_sums[st.cross] += c.real() * x.real() + c.imag() * x.imag();
        }
      }
      const std::complex<double> z0(z0re * inv_n, z0im * inv_n);
      z1[r] = {z1re * inv_n, z1im * inv_n};
      if (centre) {
        const std::complex<double> cz0 = TimesConj(c, z0);
        bin_sums[rc.cz0_re] += cz0.real();
        bin_sums[rc.cz0_im] += cz0.imag();
      }
      bin_sums[rc.g0] += Norm(z0);
      bin_sums[rc.g1] += Norm(z1[r]);
    }
    if (ch.ring_cross) bin_sums[*ch.ring_cross] += TimesConj(z1[0], z1[1]).real();
  }
}

}  // namespace circspec
