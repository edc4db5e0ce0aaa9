#ifndef CIRCARRAY_SPECTRAL_NOISE_COMPLEX_PAIR_H_
#define CIRCARRAY_SPECTRAL_NOISE_COMPLEX_PAIR_H_

#include <cmath>

namespace hollin {

// A single-precision complex value kept as a plain pair of floats. The
// arithmetic is written out so that every rounding step, and the way an
// infinity or NaN spreads, is the textbook one: std::complex may rescale
// its quotients and repair NaN results, which would change the ratios.
struct Cpx {
  float re = 0.0f;
  float im = 0.0f;
};

inline Cpx Add(Cpx u, Cpx w) { return {u.re + w.re, u.im + w.im}; }

inline Cpx Sub(Cpx u, Cpx w) { return {u.re - w.re, u.im - w.im}; }

// (a + ib)(c + id) = (ac - bd) + i(ad + bc).
inline Cpx Mul(Cpx u, Cpx w) { return {u.re * w.re - u.im * w.im, u.re * w.im + u.im * w.re}; }

// A divisor is zero only when both parts compare equal to zero; a NaN part
// makes it nonzero.
inline bool IsZero(Cpx w) { return w.re == 0.0f && w.im == 0.0f; }

// u / w by Smith's method: scale by the ratio of the smaller to the larger
// part of w, so that |w|^2 is never formed and cannot overflow. The caller
// has made sure that w is not zero.
inline Cpx Div(Cpx u, Cpx w) {
  if (std::fabs(w.im) > std::fabs(w.re)) {
    float r = w.re / w.im;
    float den = w.im + w.re * r;
    return {(u.re * r + u.im) / den, (u.im * r - u.re) / den};
  }
  float r = w.im / w.re;
  float den = w.re + w.im * r;
  return {(u.re + u.im * r) / den, (u.im - u.re * r) / den};
}

}  // namespace hollin

#endif  // CIRCARRAY_SPECTRAL_NOISE_COMPLEX_PAIR_H_
