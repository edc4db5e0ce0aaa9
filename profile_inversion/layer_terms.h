#ifndef CIRCARRAY_PROFILE_INVERSION_LAYER_TERMS_H_
#define CIRCARRAY_PROFILE_INVERSION_LAYER_TERMS_H_

#include <cmath>

namespace circinv {

// The depth functions of one wave type (P or S) across one layer, in the
// form the propagators need: with nu^2 = 1 - c^2/v^2 (v the layer's P or S
// velocity, c the phase velocity) and x = k h (wavenumber times thickness),
//
//   cosh_part = cosh(nu x)        sinh_over_nu = sinh(nu x) / nu
//   nu_sinh   = nu sinh(nu x)
//
// All three are even functions of nu, hence real whether the wave is
// evanescent in the layer (nu^2 > 0), propagating (nu^2 < 0: cos, sin) or
// grazing (nu^2 = 0: 1, x, 0).
//
// When the wave is evanescent the three grow as exp(nu x), so they are
// returned divided by that factor and `decay` holds exp(-nu x) (1 otherwise):
// the propagators factor the growth out of every layer so that no product
// of growing and decaying exponentials ever cancels in floating point.
struct DepthTerms {
  double cosh_part;
  double sinh_over_nu;
  double nu_sinh;
  double decay;
};

inline DepthTerms ComputeDepthTerms(double nu2, double x) {
  if (nu2 > 0) {
    const double nu = std::sqrt(nu2);
    const double nu_x = nu * x;
    // cosh/e^(nu x) = (1 + e^2)/2 and sinh/e^(nu x) = (1 - e^2)/2 with
    // e = exp(-nu x). For a thin layer 1 - e^2 cancels, so it is formed from
    // em = e - 1 = expm1(-nu x) as -em (2 + em); from nu x = 1/2 on, e^2 <
    // 0.37 and 1 - e^2 loses under two ulps, and the cheaper exp does.
    double e, scaled_sinh;
    if (nu_x < 0.5) {
      const double em = std::expm1(-nu_x);
      e = 1 + em;
      scaled_sinh = -em * (2 + em) / 2;
    } else {
      e = std::exp(-nu_x);
      scaled_sinh = (1 - e * e) / 2;
    }
    return {(1 + e * e) / 2, scaled_sinh / nu, nu * scaled_sinh, e};
  }
  if (nu2 < 0) {
    const double nu = std::sqrt(-nu2);
    const double s = std::sin(nu * x);
    return {std::cos(nu * x), s / nu, -nu * s, 1.0};
  }
  return {1.0, x, 0.0, 1.0};
}

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_LAYER_TERMS_H_
