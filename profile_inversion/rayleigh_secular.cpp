#include "profile_inversion/rayleigh_secular.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <boost/math/tools/roots.hpp>

#include "profile_inversion/layer_terms.h"

namespace circinv {

void RayleighSecular::Prepare(const LayeredModel& model) {
  const Layer& bottom = model.half_space();
  const double mu0 = bottom.density * bottom.vs * bottom.vs;
  layers_.clear();
  // Top down; each layer's density ratio is to the one below it (the
  // half-space for the deepest layer).
  for (size_t i = 0; i + 1 < model.layers.size(); ++i) {
    const Layer& l = model.layers[i];
    layers_.push_back(
        {l.thickness, l.vs * l.vs, 1 / (l.vp * l.vp), 1 / (l.vs * l.vs), model.layers[i + 1].density / l.density});
  }
  half_space_vs2_ = bottom.vs * bottom.vs;
  half_space_inv_vp2_ = 1 / (bottom.vp * bottom.vp);
  half_space_inv_vs2_ = 1 / (bottom.vs * bottom.vs);
  top_rho_ = model.layers.front().density / mu0;
}

double RayleighSecular::operator()(double omega, double c) const {
  const double k = omega / c;
  const double c2 = c * c;
  const double inv_c2 = 1 / c2;

  // The bivector v_P ^ v_S of the half-space, (y12, y13, y14, y23, y34),
  // scaled by (1, 1/q, 1/q, 1/q, 1/q^2) with the half-space's q (see
  // below): with m = mu/q = vs^2/c^2 and tau = t/q = 1 - 2m it reads
  // (1 - nu_a nu_b, tau + 2 m nu_a nu_b, -nu_b, nu_a, 4 m^2 nu_a nu_b - tau^2).
  double y[5];
  {
    const double m = half_space_vs2_ * inv_c2;
    const double tau = 1 - 2 * m;
    const double nu_a = std::sqrt(1 - c2 * half_space_inv_vp2_);
    const double nu_b = std::sqrt(1 - c2 * half_space_inv_vs2_);
    const double ab = nu_a * nu_b;
    y[0] = 1 - ab;
    y[1] = tau + 2 * m * ab;
    y[2] = -nu_b;
    y[3] = nu_a;
    y[4] = 4 * m * m * ab - tau * tau;
  }

  // Up through the layers, bottom first: y <- R y with R the reduced
  // second compound of exp(-A k h) divided by exp((nu_a + nu_b) k h).
  //
  // Entry (i, j) of R is q^(p_i - p_j) times a function of m = mu/q and
  // tau = t/q alone, with p = (0, 1, 1, 1, 2) and t = q - 2 mu. So each
  // layer works on y scaled by (1, 1/q, 1/q, 1/q, 1/q^2) of its own q:
  // the powers of q leave the matrix, and between two layers the scale
  // changes by the ratio of their q, the density ratio g of the two
  // layers, whatever c is. Only the surface value is unscaled, by q^2 of
  // the top layer.
  //
  // With C = cosh(nu x), s = sinh(nu x)/nu and n = nu sinh(nu x) of each
  // wave type (a: P, b: S), the products are named cc = Ca Cb,
  // ss = sa sb, tt = na nb, c_sb = Ca sb, c_nb = Ca nb, sa_c = sa Cb,
  // na_c = na Cb, sa_nb = sa nb, na_sb = na sb; e is the factored
  // exponential (the constant terms of the compound carry it). Rows and
  // columns are in the order 12, 13, 14, 23, 34; column 13 holds the 13
  // column minus the 24 column (y24 = -y13). The matrix has the
  // symmetries R01 = 2 R14, R41 = 2 R10, R02 = -R34, R03 = -R24,
  // R42 = -R30, R43 = -R20, R22 = R33 = cc and R44 = R00.
  int binary_exponent = 0;
  for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) {
    const LayerConstants& l = *it;
    // From the scale of the layer below to this one's.
    const double g = l.density_ratio;
    y[1] *= g;
    y[2] *= g;
    y[3] *= g;
    y[4] *= g * g;

    const double x = k * l.thickness;
    const DepthTerms a = ComputeDepthTerms(1 - c2 * l.inv_vp2, x);
    const DepthTerms b = ComputeDepthTerms(1 - c2 * l.inv_vs2, x);
    const double e = a.decay * b.decay;

    const double m = l.vs2 * inv_c2;
    const double tau = 1 - 2 * m;
    const double u = tau - 2 * m;
    const double m2 = m * m;
    const double tau2 = tau * tau;

    const double cc = a.cosh_part * b.cosh_part;
    const double ss = a.sinh_over_nu * b.sinh_over_nu;
    const double tt = a.nu_sinh * b.nu_sinh;
    const double c_sb = a.cosh_part * b.sinh_over_nu;
    const double c_nb = a.cosh_part * b.nu_sinh;
    const double sa_c = a.sinh_over_nu * b.cosh_part;
    const double na_c = a.nu_sinh * b.cosh_part;
    const double sa_nb = a.sinh_over_nu * b.nu_sinh;
    const double na_sb = a.nu_sinh * b.sinh_over_nu;
    const double d = cc - e;

    const double r00 = (tau2 + 4 * m2) * cc - 4 * m2 * tt - tau2 * ss + 4 * m * tau * e;
    const double r14 = -u * d - 2 * m * tt + tau * ss;
    const double r34 = c_sb - na_c;
    const double r24 = c_nb - sa_c;
    const double r04 = -2 * d + tt + ss;
    const double r10 = -2 * m * u * tau * d + 8 * m2 * m * tt - tau2 * tau * ss;
    const double r11 = 8 * m * tau * cc + 8 * m2 * tt + 2 * tau2 * ss + u * u * e;
    const double r12 = -(tau * c_sb + 2 * m * na_c);
    const double r13 = 2 * m * c_nb + tau * sa_c;
    const double r20 = tau2 * sa_c - 4 * m2 * c_nb;
    const double r21 = -(4 * m * c_nb + 2 * tau * sa_c);
    const double r30 = 4 * m2 * na_c - tau2 * c_sb;
    const double r31 = 2 * tau * c_sb + 4 * m * na_c;
    const double r40 = -8 * m2 * tau2 * d + 16 * m2 * m2 * tt + tau2 * tau2 * ss;

    const double z0 = r00 * y[0] + 2 * r14 * y[1] - r34 * y[2] - r24 * y[3] + r04 * y[4];
    const double z1 = r10 * y[0] + r11 * y[1] + r12 * y[2] + r13 * y[3] + r14 * y[4];
    const double z2 = r20 * y[0] + r21 * y[1] + cc * y[2] - sa_nb * y[3] + r24 * y[4];
    const double z3 = r30 * y[0] + r31 * y[1] - na_sb * y[2] + cc * y[3] + r34 * y[4];
    const double z4 = r40 * y[0] + 2 * r10 * y[1] - r30 * y[2] - r20 * y[3] + r00 * y[4];

    // Rescaling by a power of two keeps a deep stack of stiff contrasts
    // from over- or underflowing; it is exact and undone at the end, so
    // that |F| keeps its natural shape in c, which the root search reads.
    y[0] = z0;
    y[1] = z1;
    y[2] = z2;
    y[3] = z3;
    y[4] = z4;
    const double largest = std::max({std::abs(z0), std::abs(z1), std::abs(z2), std::abs(z3), std::abs(z4)});
    if (largest > 0x1p200 || largest < 0x1p-200) {
      int exponent = 0;
      std::frexp(largest, &exponent);
      binary_exponent += exponent;
      for (double& v : y) v = std::ldexp(v, -exponent);
    }
  }
  // Unscaled: y34 times q^2 of the top layer (or of the half-space alone).
  const double q = top_rho_ * c2;
  const double value = y[4] * (q * q);
  return binary_exponent == 0 ? value : std::ldexp(value, binary_exponent);
}

double RayleighVelocity(double vp, double vs) {
  const double r = (vs * vs) / (vp * vp);
  // Rayleigh's function divided by its trivial root xi = 0: negative
  // near 0 (slope 2(r - 1) < 0), 1 at xi = 1.
  auto f = [r](double xi) { return ((2 - xi) * (2 - xi) - 4 * std::sqrt((1 - r * xi) * (1 - xi))) / xi; };
  std::uintmax_t iterations = 100;
  const auto [lo, hi] =
      boost::math::tools::toms748_solve(f, 1e-3, 1.0, boost::math::tools::eps_tolerance<double>(), iterations);
  return vs * std::sqrt((lo + hi) / 2);
}

}  // namespace circinv
