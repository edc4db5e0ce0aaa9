#ifndef CIRCARRAY_PROFILE_INVERSION_RAYLEIGH_SECULAR_H_
#define CIRCARRAY_PROFILE_INVERSION_RAYLEIGH_SECULAR_H_

#include <vector>

#include "profile_inversion/layered_model.h"

namespace circinv {

// The Rayleigh-wave secular (dispersion) function of a layered half-space,
// by second-order minors of the Thomson-Haskell propagator (the compound-
// or delta-matrix method of Dunkin 1965 and Thrower 1965), with the growing
// exponentials of every layer factored out.
//
// Conventions. z points down; a plane wave goes as exp(i(kx - wt)). The
// motion-stress vector is that of Aki & Richards (2002, sec. 7.2.2):
//   u_x = r1, u_z = i r2, tau_zx = r3, tau_zz = i r4,
// made dimensionless as y = (r1, r2, r3/(k mu0), r4/(k mu0)) with mu0 the
// shear modulus of the half-space. In each layer dy/d(kz) = A y with
//   A = | 0            1     1/mu   0           |
//       | -lam/l2      0     0      1/l2        |
//       | zeta - q     0     0      lam/l2      |
//       | 0            -q    -1     0           |
// where lam, mu, l2 = lam + 2mu, zeta = 4 mu (lam + mu)/l2 and q = rho c^2
// are all divided by mu0.
//
// The secular function. Below the stack, a mode is a combination of the
// two solutions that decay downwards, v_P and v_S (eigenvectors of A for
// -nu_a and -nu_b, nu_a^2 = 1 - c^2/vp^2, nu_b^2 = 1 - c^2/vs^2):
//   v_P = (1, nu_a, -2 mu nu_a, q - 2mu),   v_S = (nu_b, 1, q - 2mu, -2 mu nu_b).
// Carried up to the surface by the inverse layer propagators exp(-A k h),
// they must combine to zero traction there, so the 2x2 determinant of
// their traction rows (3, 4) vanishes. That determinant is the (3,4)
// component of the bivector v_P ^ v_S carried up by the second compounds
// of exp(-A k h): six minors, of which y13 = -y24 always (A is Hamiltonian),
// leaving the five propagated here, (y12, y13, y14, y23, y34). For the bare
// half-space the function is y34 = 4 mu^2 nu_a nu_b - (q - 2 mu)^2, minus
// mu^2 times Rayleigh's function (2 - c^2/vs^2)^2 - 4 nu_a nu_b.
//
// The 5x5 layer matrix (in rayleigh_secular.cpp) is the compound of
// exp(-A k h) = E diag(e^(nu_a x), e^(nu_b x), e^(-nu_a x), e^(-nu_b x)) E^-1,
// expanded and simplified with cosh^2 - sinh^2 = 1 so that its entries are
// sums of cosh*cosh, sinh*sinh and cosh*sinh products and constants: the
// cancellation that ruins the plain Haskell product at high frequency is
// done in the algebra, not in floating point. Dividing each layer's matrix
// by exp((nu_a + nu_b) x) (for the evanescent parts) keeps every number of
// order one, and only multiplies the function by a positive factor, so its
// sign and its roots are those of the determinant.
//
// The function is continuous in c (also where c crosses a layer's vp or
// vs), real, and zero exactly at the modes for c below the half-space's vs.
class RayleighSecular {
 public:
  // Takes the constants of `model` (which must be physical, see
  // WhyUnphysical). Reuses its storage: no allocation once it has seen a
  // model of as many layers.
  void Prepare(const LayeredModel& model);

  // The secular function at angular frequency `omega` (rad/s) and phase
  // velocity `c` (m/s), 0 < c < vs of the half-space; its sign changes at
  // each mode.
  double operator()(double omega, double c) const;

 private:
  struct LayerConstants {
    double thickness;
    double vs2;            // vs^2, so that mu/q = vs^2/c^2
    double inv_vp2;        // 1 / vp^2
    double inv_vs2;        // 1 / vs^2
    double density_ratio;  // density of the layer below / this layer's
  };
  std::vector<LayerConstants> layers_;  // the layers above the half-space, top down
  double half_space_vs2_ = 0;
  double half_space_inv_vp2_ = 0;
  double half_space_inv_vs2_ = 0;
  double top_rho_ = 0;  // density of the top layer / mu0, so that its q = top_rho_ c^2
};

// The Rayleigh velocity of a homogeneous half-space with velocities vp and
// vs (vp/vs > sqrt(4/3)), found as the root of (2 - xi)^2 - 4 sqrt(1 - xi
// vs^2/vp^2) sqrt(1 - xi) in xi = c^2/vs^2 on (0, 1), where it is unique.
double RayleighVelocity(double vp, double vs);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_RAYLEIGH_SECULAR_H_
