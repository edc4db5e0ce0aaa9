#ifndef CIRCARRAY_ARRAY_SPECTRA_CHANNELS_H_
#define CIRCARRAY_ARRAY_SPECTRA_CHANNELS_H_

#include <complex>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "array/layout.h"
#include "array/rings.h"

namespace circspec {

// Where the stations the analysis uses stand: the centre (if any) and the
// ring stations, in layout order; stations the rings left out are not
// among them. Station indices are those of the record sources. Azimuths
// and distances are taken from the rings' point (the centre station, or
// the centre of the circles), azimuths in radians counterclockwise from
// east.
struct RingGeometry {
  double radius = 0;              // the ring's mean distance, metres
  std::vector<size_t> stations;   // in layout order
  std::vector<double> azimuths;   // theta_j of each, radians
  std::vector<double> distances;  // r_j of each, metres
};

struct ArrayGeometry {
  std::optional<size_t> centre;
  std::vector<RingGeometry> rings;  // outer first (one or two)
  std::vector<double> x, y;         // every station's position, metres (east, north)
  // The azimuth of each station's n channel, radians clockwise from north.
  std::vector<double> orient;
  std::vector<size_t> layout_index;  // each station's index in the layout
};

ArrayGeometry GeometryOf(const array::Layout& layout, const array::RingLayout& rings);

// Which motion the records give: the vertical u (one source per station,
// in layout order) or the horizontal e and n (two sources per station:
// station s's east at 2 s, its north at 2 s + 1).
enum class Component { kVertical, kHorizontal };

// Sources per station.
inline size_t SourcesPerStation(Component c) { return c == Component::kVertical ? 1 : 2; }

// The real sums accumulated per frequency bin over the segments, called
// channels. With C the centre's spectrum and X_j those of a ring's N
// stations at azimuths theta_j,
//   Z0 = (1/N) sum_j X_j,   Z1 = (1/N) sum_j X_j exp(-i theta_j):
//   centre_power      |C|^2                          (centre only)
//   per ring:
//     station_power   |X_j|^2, one per station         (centre only)
//     centre_cross    Re C conj(X_j), one per station  (centre only)
//     cz0_re, cz0_im  C conj(Z0)                       (centre only)
//     g0, g1          |Z0|^2, |Z1|^2
//   ring_cross        Re Z1(outer) conj(Z1(inner))   (two rings only)
// Only real parts enter the quantities except for C conj(Z0), whose
// modulus gives the coherence; smoothing with real weights keeps real
// and imaginary parts apart, so nothing else needs to be kept.
//
// The horizontal components (which need the centre) give other channels.
// Ring station j at azimuth theta_j and the centre are both projected on
// theta_j: with E, N the east and north spectra,
//   radial     R = E cos theta_j + N sin theta_j,
//   transverse T = -E sin theta_j + N cos theta_j,
// R_cj, T_cj the centre's projections and R_j, T_j the station's:
//   per ring and station j:
//     radial:     |R_cj|^2, |R_j|^2, Re R_cj conj(R_j)
//     transverse: |T_cj|^2, |T_j|^2, Re T_cj conj(T_j)
// The projections are linear, so they are formed from each segment's
// spectra, bin by bin, without transforming anything twice.
struct ProjectedChannels {
  std::vector<size_t> centre_power, station_power, cross;  // one per ring station
};

struct RingChannels {
  std::vector<size_t> station_power, centre_cross;
  size_t cz0_re = 0, cz0_im = 0;
  size_t g0 = 0, g1 = 0;
  ProjectedChannels radial, transverse;  // horizontal only
};

struct ChannelLayout {
  explicit ChannelLayout(const ArrayGeometry& geometry, Component component = Component::kVertical);

  Component component = Component::kVertical;
  bool has_centre = false;
  size_t centre_power = 0;
  std::vector<RingChannels> rings;  // as ArrayGeometry::rings
  std::optional<size_t> ring_cross;
  size_t count = 0;
};

// Adds one segment's products to per-bin sums laid out bin by bin:
// sums[(k - first_bin) * channels + c] for k in [first_bin, first_bin +
// bins) and the channels c of the layout. The spectra are those of the
// sources (see Component).
class SegmentAccumulator {
 public:
  SegmentAccumulator(const ArrayGeometry& geometry, const ChannelLayout& channels);

  // spectra[s]: source s's spectrum, indexed by bin.
  void Add(const std::vector<const std::complex<double>*>& spectra, size_t first_bin, size_t bins, double* sums) const;

 private:
  void AddVertical(const std::vector<const std::complex<double>*>& spectra, size_t first_bin, size_t bins,
                   double* sums) const;
  void AddHorizontal(const std::vector<const std::complex<double>*>& spectra, size_t first_bin, size_t bins,
                     double* sums) const;
  // A station's east (0) or north (1) spectrum from bin first_bin on,
  // turned from its sensor's orientation to geographic east and north.
  const std::complex<double>* Oriented(const std::vector<const std::complex<double>*>& spectra, size_t station,
                                       size_t first_bin, size_t bins, int east_or_north) const;

  const ArrayGeometry* geometry_;
  const ChannelLayout* channels_;
  std::vector<std::vector<std::complex<double>>> phase_;            // exp(-i theta_j) per ring
  mutable std::vector<std::vector<std::complex<double>>> rotated_;  // per source, for oriented sensors
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_CHANNELS_H_
