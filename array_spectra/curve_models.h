#ifndef CIRCARRAY_ARRAY_SPECTRA_CURVE_MODELS_H_
#define CIRCARRAY_ARRAY_SPECTRA_CURVE_MODELS_H_

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "array_spectra/channels.h"
#include "array_spectra/smoothing_moments.h"

namespace circspec {

// Where an observed value meets a model on the model's monotonic branch.
struct BranchRoot {
  enum class Side {
    kOn,      // the root k is on the branch
    kBefore,  // the value lies beyond the model's value at k -> 0 (e.g. a SPAC coefficient above 1)
    kBeyond,  // the value lies beyond the model's value at the branch's end: the wave is past it
  };
  Side side = Side::kBefore;
  double k = 0;  // rad/m, where side is kOn
};

// The models the dispersion curve inverts for the wavenumber k, for the
// chosen ring and the array's true station positions (array::RingModel:
// pair sums of J0(k d_ab) for an isotropic wavefield, so that irregular
// radii, azimuth gaps and the finite number of stations, i.e. every
// aliased circular order, are in them):
//   spac     S(k)  = mean_j J0(k r_j), r_j the centre-station distances
//   spac_nc  S(k) / (1 + eps)
//   cca      G0(k) / G1(k)
//   cca_nc   (G0(k) + eps/N) / (G1(k) + eps/N)
//   ringsq   G1(k) / G1_inner(k)           (two rings: the outer's G1)
//   ring     C1(k) / G1_inner(k)           (C1 the outer-inner cross term)
// S, G0, G1, G1_inner and C1 are the expectations of the smoothed channel
// sums (over the signal power), each corrected for the smoothing by its
// own moments (SmoothingMoments), so that a ratio is the ratio of the
// smoothed sums, as observed. Each model is solved on its monotonic
// branch, from k = 0 to its first extreme: for a circle of many stations
// S falls to its minimum at k r = 3.8317 (the first zero of J1), G0/G1 =
// J0^2/J1^2 to 0 at 2.4048, the two-ring ratios like J1(k r)/J1(k
// r_inner) to 0 at 3.8317 of the outer ring. The channel models are
// tabulated at steps of 1/1000 in k r (r the ring's mean radius; the
// outer ring's for the two-ring models) with their derivatives, and
// interpolated between by the cubic through four neighbouring points,
// whose error (about h^4/24 times the fourth derivative, 1e-13) is far
// below any standard error.
class CurveModels {
 public:
  // `ring` indexes geometry.rings; the two-ring models exist when the
  // geometry has two rings.
  CurveModels(const ArrayGeometry& geometry, size_t ring);

  double radius() const { return radius_; }  // the chosen ring's mean radius, m
  int stations() const { return stations_; }
  bool has_two_rings() const { return two_rings_; }
  // Stations of the outer and the inner ring (two rings).
  int outer_stations() const { return outer_stations_; }
  int inner_stations() const { return inner_stations_; }

  // The largest k at which a single plane wave's azimuthal average over
  // the ring's stations stays within 0.05 of J0: with the stations at
  // azimuths theta_j the average of exp(i k r cos(theta_j - phi)) is
  // J0(k r) + 2 sum_m i^m J_m(k r) (1/N) sum_j cos m (theta_j - phi),
  // and the first order the azimuths do not cancel is about
  // M = floor(2 pi / largest azimuth gap) (N for N equally spaced
  // stations): k r where |J_M(k r)| first reaches 0.025. For the
  // two-ring models the smaller limit of the two rings.
  double alias_end() const { return alias_end_; }
  double ring_alias_end() const { return ring_alias_end_; }
  int alias_order() const { return alias_order_; }

  class Smoothed;
  // The models of one output frequency, whose smoothing has moments m.
  Smoothed With(const SmoothingMoments& m) const;

 private:
  // A channel model tabulated at k = i step, with k T'(k) and k^2 T''(k).
  struct Table {
    double step = 0;  // rad/m
    std::vector<double> y, d1, d2;
    void Derive();
  };

  double radius_ = 0;
  int stations_ = 0, outer_stations_ = 0, inner_stations_ = 0;
  bool two_rings_ = false;
  Table s_, g0_, g1_;                  // the chosen ring's, in steps of its radius
  Table g1_outer_, g1_inner_, cross_;  // two rings, in steps of the outer radius
  double alias_end_ = 0, ring_alias_end_ = 0;
  int alias_order_ = 0;
};

class CurveModels::Smoothed {
 public:
  BranchRoot Spac(double value) const;
  // e = eps / N (0 for the plain CCA ratio).
  BranchRoot Cca(double value, double e) const;
  BranchRoot Ringsq(double value) const;
  BranchRoot Ring(double value) const;

  // The k at the end of each branch (rad/m).
  double spac_end() const;
  double cca_end(double e) const;
  double ringsq_end() const;
  double ring_end() const;

  // The noise-to-signal power ratio eps >= 0 that the SPAC coefficient
  // and the coherence of the centre with the ring's average give
  // together. With q = spac (1 + eps) the noise-free SPAC coefficient and
  // k = S^-1(q) on its branch, the coherence of the model is
  //   coh = q^2 / ((1 + eps) (G0(k) + eps/N))
  // (the centre's noise power eps P, the ring average's eps P / N), the
  // equation quillon solves for a circle, here with the ring's true
  // distances and its aliased orders in G0 (q held within the branch's
  // range: beyond its value at k = 0 the coherence alone gives eps). The
  // smallest root in [0, 10]; 0 where the coherence exceeds the
  // noise-free model's; nothing where spac or coh is not finite or no
  // root lies in the range.
  std::optional<double> NoiseRatio(double spac, double coh) const;
  // The coherence of the model without noise, spac^2 / G0(S^-1(spac)):
  // the most a SPAC coefficient `spac` allows; nothing where it has no
  // root.
  std::optional<double> NoiseFreeCoherence(double spac) const;

 private:
  friend class CurveModels;
  Smoothed(const CurveModels& models, const SmoothingMoments& m);
  size_t CcaEnd(double e) const;

  // A channel model as the smoothing sees it, T + m1 k T' + m2 k^2 T''/2,
  // at k = i step; between the points the cubic through four of them.
  struct Sampled {
    double step = 0;
    std::vector<double> y;
    Sampled() = default;
    Sampled(const Table& t, const SmoothingMoments& m);
    double At(double k) const;
  };

  int stations_ = 0;
  Sampled s_, g0_, g1_, outer_, inner_, cross_;
  size_t spac_end_ = 0, cca_end_ = 0, ringsq_end_ = 0, ring_end_ = 0;
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_CURVE_MODELS_H_
