#ifndef CIRCARRAY_PROFILE_INVERSION_LOVE_SECULAR_H_
#define CIRCARRAY_PROFILE_INVERSION_LOVE_SECULAR_H_

#include <vector>

#include "profile_inversion/layered_model.h"

namespace circinv {

// The Love-wave secular function of a layered half-space: the SH
// propagator of Thomson (1950) and Haskell (1953), in normalised form.
//
// Conventions. z points down, waves go as exp(i(kx - wt)); the motion-
// stress vector is (u_y, tau_zy) (Aki & Richards 2002, sec. 7.2.1), made
// dimensionless as y = (u_y, tau_zy/(k mu0)) with mu0 the half-space's
// shear modulus. In a layer of shear modulus mu (divided by mu0)
//   dy/d(kz) = | 0           1/mu |  y,     nu^2 = 1 - c^2/vs^2,
//              | mu nu^2     0    |
// so that the inverse propagator over a thickness h (x = k h) is
//   exp(-B x) = | cosh(nu x)           -sinh(nu x)/(nu mu) |
//               | -mu nu sinh(nu x)    cosh(nu x)          |.
// The half-space's decaying solution y = (1, -mu_n nu_n) is carried up to
// the surface, where the traction y2 must vanish: the secular function is
// that y2. With one layer over the half-space it is
// mu1 nu1' sin(k h nu1') - mu2 nu2 cos(k h nu1') (nu1' = sqrt(c^2/vs1^2 - 1)),
// the classical tan(k h nu1') = mu2 nu2 / (mu1 nu1') of Love (1911).
// Evanescent layers are divided by exp(nu x), a positive factor.
class LoveSecular {
 public:
  // Takes the constants of `model` (physical, see WhyUnphysical); no
  // allocation once it has seen a model of as many layers.
  void Prepare(const LayeredModel& model);

  // The secular function at angular frequency `omega` and phase velocity
  // `c`, 0 < c < vs of the half-space; its sign changes at each mode.
  double operator()(double omega, double c) const;

  // The number of Love modes slower than `c` (0 < c <= vs of the
  // half-space) at angular frequency `omega`, by Sturm's oscillation
  // theorem. SH motion at fixed omega is a Sturm-Liouville problem in k^2,
  // so mode n has n nodes and, with the Pruefer angle theta = atan2(y1, y2)
  // of the solution that decays in the half-space, carried up to the
  // surface, the modes slower than c are the j >= 0 with
  // pi/2 - j pi > theta(surface). theta starts in (pi/2, pi) and only ever
  // falls through multiples of pi (nodes of u) and rises through odd
  // multiples of pi/2 (nodes of the traction). Across a layer where the
  // wave propagates, (mu nu' y1, y2) turns rigidly by k h nu'
  // (nu' = sqrt(c^2/vs^2 - 1)), which counts every turn; across an
  // evanescent layer theta stays in (m pi - pi/2, (m + 1) pi) for
  // m = floor(theta/pi), a window narrower than 2 pi, so atan2 of the
  // propagated vector places it exactly.
  int ModesBelow(double omega, double c) const;

 private:
  struct Constants {
    double thickness;
    double mu;       // shear modulus / mu0
    double inv_vs2;  // 1 / vs^2
  };
  std::vector<Constants> layers_;  // above the half-space, top down
  Constants half_space_{};
};

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_LOVE_SECULAR_H_
