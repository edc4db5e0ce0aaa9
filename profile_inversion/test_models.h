#ifndef CIRCARRAY_PROFILE_INVERSION_TEST_MODELS_H_
#define CIRCARRAY_PROFILE_INVERSION_TEST_MODELS_H_

// Shared by the tests of the forward model: building models and the
// closed-form Rayleigh velocity of a homogeneous half-space.

#include <cmath>
#include <complex>
#include <initializer_list>
#include <vector>

#include "profile_inversion/layered_model.h"

namespace circinv::testing {

// A model from rows {thickness, vp, vs, density}, the last the half-space.
inline LayeredModel Model(std::initializer_list<Layer> rows) { return LayeredModel{std::vector<Layer>(rows)}; }

// c/vs of the Rayleigh wave of a homogeneous half-space with Poisson's
// ratio `poisson`, from the classical cubic in xi = (c/vs)^2 (Rayleigh's
// equation (2 - xi)^4 = 16 (1 - r xi)(1 - xi), r = vs^2/vp^2, without its
// root xi = 0):  xi^3 - 8 xi^2 + (24 - 16 r) xi - 16 (1 - r) = 0,
// solved in closed form (Cardano, with complex cube roots so that the
// three-real-root case needs no branch); the root wanted is the one in
// (0, 1).
inline double RayleighRatioFromCubic(double poisson) {
  const double r = (1 - 2 * poisson) / (2 * (1 - poisson));
  const double b = -8, c = 24 - 16 * r, d = -16 * (1 - r);
  // xi = y - b/3 gives y^3 + p y + q = 0.
  const double p = c - b * b / 3;
  const double q = 2 * b * b * b / 27 - b * c / 3 + d;
  const std::complex<double> disc = std::sqrt(std::complex<double>(q * q / 4 + p * p * p / 27));
  // The larger of -q/2 +- disc, so that u is never a cancelled zero.
  const std::complex<double> w = std::abs(-q / 2 + disc) >= std::abs(-q / 2 - disc) ? -q / 2 + disc : -q / 2 - disc;
  const std::complex<double> u = std::pow(w, 1.0 / 3);
  const std::complex<double> omega(-0.5, std::sqrt(3.0) / 2);
  // Of the three roots, the real one (smallest imaginary part) in (0, 1).
  double best = NAN, best_imag = INFINITY;
  std::complex<double> uk = u;
  for (int k = 0; k < 3; ++k, uk *= omega) {
    const std::complex<double> y = uk - p / (3.0 * uk);
    const double xi = y.real() - b / 3;
    if (xi > 0 && xi < 1 && std::abs(y.imag()) < best_imag) {
      best = xi;
      best_imag = std::abs(y.imag());
    }
  }
  // Two Newton steps on the cubic polish the rounding of the cube roots.
  for (int i = 0; i < 2; ++i) {
    best -= (((best + b) * best + c) * best + d) / ((3 * best + 2 * b) * best + c);
  }
  return std::sqrt(best);
}

// vp of a material with shear velocity vs and Poisson's ratio `poisson`.
inline double VpFromPoisson(double vs, double poisson) { return vs * std::sqrt((2 - 2 * poisson) / (1 - 2 * poisson)); }

}  // namespace circinv::testing

#endif  // CIRCARRAY_PROFILE_INVERSION_TEST_MODELS_H_
