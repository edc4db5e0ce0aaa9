#ifndef CIRCARRAY_ARRAY_SPECTRA_SMOOTHING_MOMENTS_H_
#define CIRCARRAY_ARRAY_SPECTRA_SMOOTHING_MOMENTS_H_

#include <vector>

#include "array_spectra/smoothing.h"

namespace circspec {

// What the smoothing of the spectra does to a model of the wavenumber.
// An output frequency f averages the bins f_b with weights w_b P_b (the
// smoother's weight and the wavefield's power), and the wavenumber varies
// over them: with k_b = k rho_b, rho_b = (f_b / f)^p and p = d ln k /
// d ln f = c / U (phase over group velocity) taken constant across the
// window, a model T of the smoothed channel sums has the expectation
//   E[T(k rho)] = T(k) + m1 k T'(k) + m2 k^2 T''(k) / 2 + ...,
//   m1 = E[rho - 1],  m2 = E[(rho - 1)^2]
// (weights normalised). For Konno-Ohmachi b = 40 the spread of ln f is
// 5 %, so at k r = 2.4 the SPAC coefficient moves by about 0.003: several
// standard errors of an hour's records. Zero moments: no correction.
struct SmoothingMoments {
  double m1 = 0, m2 = 0;
};

// The moments at every output frequency of the smoother (bins spaced
// df), for the exponents p (one per frequency) and the signal power
// `power` at the output frequencies (interpolated linearly in log f -
// log P between them, held beyond the ends; non-positive values are
// passed over).
std::vector<SmoothingMoments> MomentsOf(const Smoother& smoother, double df, const std::vector<double>& frequencies,
                                        const std::vector<double>& power, const std::vector<double>& p);

// p = d ln k / d ln f = 1 - d ln c / d ln f at each frequency, from
// phase velocities c with standard errors se at frequencies f (any
// order; estimates of several methods may share a frequency): the slope
// of the weighted (1/se^2) least-squares line of ln c on ln f over the
// estimates within 0.3 of ln f, with its error (the larger of the
// weights' and the scatter's; estimates of neighbouring frequencies are
// correlated through the smoothing, so the error is doubled). Where fewer
// than three estimates or too short a span are near: p = 1 (no
// dispersion) with error 0.5, the range of c / U on common soil profiles.
// p is kept within [0.25, 4].
struct Slopes {
  std::vector<double> p, p_se;
};
Slopes WavenumberExponents(const std::vector<double>& frequencies, const std::vector<double>& f,
                           const std::vector<double>& c, const std::vector<double>& se);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_SMOOTHING_MOMENTS_H_
