#ifndef CIRCARRAY_ARRAY_SPECTRA_QUANTITIES_H_
#define CIRCARRAY_ARRAY_SPECTRA_QUANTITIES_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "array_spectra/analysis.h"
#include "array_spectra/channels.h"

namespace circspec {

// The observed quantities, per output frequency, from the smoothed
// channel sums (S_cc = <|C|^2>, S_jj = <|X_j|^2>, S_cj = <C conj(X_j)>,
// S_cZ0 = <C conj(Z0)>, G0 = <|Z0|^2>, G1 = <|Z1|^2> of the chosen ring):
//   spac    (1/N) sum_j Re S_cj / sqrt(S_cc S_jj)   ~ J0(kr)          (vantor itype 1)
//   coh     |S_cZ0|^2 / (S_cc G0)                  centre vs circle average
//   cca     G0 / G1                                ~ J0^2/J1^2       (itype 5)
//   j0sq    G0 / S_cc                              ~ J0^2            (itype 2)
//   j1sq    G1 / S_cc                              ~ J1^2            (itype 3)
//   j0j1sq  Re S_cZ0 / G1                          ~ J0/J1^2         (itype 4)
//   ringsq  G1(outer) / G1(inner)                  ~ J1(kr)^2/J1(kr2)^2 (itype 10)
//   ring    Re <Z1(outer) conj Z1(inner)> / G1(inner) ~ J1(kr)/J1(kr2) (itype 11)
// Without a centre station only cca, ringsq and ring exist; ringsq and
// ring need two rings.
//
// From the horizontal components (see ProjectedChannels; R radial, T
// transverse, both the centre's and station j's projected on theta_j):
//   spac_r  (1/N) sum_j Re S(R_cj, R_j) / sqrt(S(R_cj) S(R_j))
//   spac_t  (1/N) sum_j Re S(T_cj, T_j) / sqrt(S(T_cj) S(T_j))
//   spac_tr spac_t / spac_r
//   spac_rt spac_r / spac_t (not a table column: vantor's itype 21 for
//           Rayleigh waves, with a jackknife error of its own)
// Rayleigh waves give spac_r ~ J0 - J2 and spac_t ~ J0 + J2 (vantor
// itypes 22 and 23), Love waves the reverse; they need the centre.
enum class Quantity { kSpac, kCoh, kCca, kJ0sq, kJ1sq, kJ0J1sq, kRingsq, kRing, kSpacR, kSpacT, kSpacTR, kSpacRT };

std::string_view NameOf(Quantity q);
std::optional<Quantity> QuantityNamed(std::string_view name);

// The quantities this layout and component give, in table order.
std::vector<Quantity> AvailableQuantities(const ChannelLayout& channels);
// Why `q` is not available ("" if it is).
std::string WhyUnavailable(Quantity q, const ChannelLayout& channels);

// q from the channel sums of one frequency, for ring `ring`.
double Evaluate(Quantity q, const ChannelLayout& channels, size_t ring, const double* sums);

// A quantity at every output frequency with its standard error by the
// delete-one-group jackknife: with theta_(g) the quantity from all
// segments but those of group g, G groups and theta_bar their mean,
//   se^2 = (G - 1) / G * sum_g (theta_(g) - theta_bar)^2.
// The value itself is the estimate from all segments (not bias-corrected).
// With fewer than two groups the error is NaN.
struct Series {
  std::vector<double> value, se;
};
Series Estimate(Quantity q, const ChannelLayout& channels, size_t ring, const SpectralSums& sums);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_QUANTITIES_H_
