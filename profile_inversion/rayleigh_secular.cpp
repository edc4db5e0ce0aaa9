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
  auto constants = [mu0](const Layer& l) {
    return Constants{l.thickness, l.density * l.vs * l.vs / mu0, l.density / mu0, 1 / (l.vp * l.vp), 1 / (l.vs * l.vs)};
  };
  layers_.clear();
  for (size_t i = 0; i + 1 < model.layers.size(); ++i) layers_.push_back(constants(model.layers[i]));
  half_space_ = constants(bottom);
}

double RayleighSecular::operator()(double omega, double c) const {
  const double k = omega / c;
  const double c2 = c * c;

  // The bivector v_P ^ v_S of the half-space: (y12, y13, y14, y23, y34).
  double y[5];
  {
    const Constants& h = half_space_;
    const double q = h.rho * c2;
    const double t = q - 2 * h.mu;
    const double nu_a = std::sqrt(1 - c2 * h.inv_vp2);
    const double nu_b = std::sqrt(1 - c2 * h.inv_vs2);
    y[0] = 1 - nu_a * nu_b;
    y[1] = t + 2 * h.mu * nu_a * nu_b;
    y[2] = -q * nu_b;
    y[3] = q * nu_a;
    y[4] = 4 * h.mu * h.mu * nu_a * nu_b - t * t;
  }

  // Up through the layers, bottom first: y <- R y with R the reduced
  // second compound of exp(-A k h) divided by exp((nu_a + nu_b) k h).
  // With C = cosh(nu x), s = sinh(nu x)/nu and n = nu sinh(nu x) of each
  // wave type (a: P, b: S), the products are named cc = Ca Cb,
  // ss = sa sb, tt = na nb, c_sb = Ca sb, c_nb = Ca nb, sa_c = sa Cb,
  // na_c = na Cb, sa_nb = sa nb, na_sb = na sb; e is the factored
  // exponential (the constant terms of the compound carry it) and
  // t = q - 2 mu. Rows and columns are in the order 12, 13, 14, 23, 34;
  // column 13 holds the 13 column minus the 24 column (y24 = -y13).
  int binary_exponent = 0;
  for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) {
    const Constants& l = *it;
    const double x = k * l.thickness;
    const DepthTerms a = ComputeDepthTerms(1 - c2 * l.inv_vp2, x);
    const DepthTerms b = ComputeDepthTerms(1 - c2 * l.inv_vs2, x);
    const double e = a.decay * b.decay;

    const double mu = l.mu;
    const double q = l.rho * c2;
    const double t = q - 2 * mu;
    const double t2 = t * t;
    const double mu2 = mu * mu;
    const double inv_q = 1 / q;
    const double inv_q2 = inv_q * inv_q;

    const double cc = a.cosh_part * b.cosh_part;
    const double ss = a.sinh_over_nu * b.sinh_over_nu;
    const double tt = a.nu_sinh * b.nu_sinh;
    const double c_sb = a.cosh_part * b.sinh_over_nu;
    const double c_nb = a.cosh_part * b.nu_sinh;
    const double sa_c = a.sinh_over_nu * b.cosh_part;
    const double na_c = a.nu_sinh * b.cosh_part;
    const double sa_nb = a.sinh_over_nu * b.nu_sinh;
    const double na_sb = a.nu_sinh * b.sinh_over_nu;
    const double cc_minus_e = cc - e;
    const double t_minus_2mu = t - 2 * mu;

    const double r00 = ((t2 + 4 * mu2) * cc - 4 * mu2 * tt - t2 * ss + 4 * mu * t * e) * inv_q2;
    const double r01 = (-2 * t_minus_2mu * cc_minus_e - 4 * mu * tt + 2 * t * ss) * inv_q2;
    const double r02 = (na_c - c_sb) * inv_q;
    const double r03 = (sa_c - c_nb) * inv_q;
    const double r04 = (-2 * cc_minus_e + tt + ss) * inv_q2;

    const double r10 = (-2 * mu * t_minus_2mu * t * cc_minus_e + 8 * mu2 * mu * tt - t2 * t * ss) * inv_q2;
    const double r11 = (8 * mu * t * cc + 8 * mu2 * tt + 2 * t2 * ss + t_minus_2mu * t_minus_2mu * e) * inv_q2;
    const double r12 = -(t * c_sb + 2 * mu * na_c) * inv_q;
    const double r13 = (2 * mu * c_nb + t * sa_c) * inv_q;
    const double r14 = (-t_minus_2mu * cc_minus_e - 2 * mu * tt + t * ss) * inv_q2;

    const double r20 = (t2 * sa_c - 4 * mu2 * c_nb) * inv_q;
    const double r21 = -(4 * mu * c_nb + 2 * t * sa_c) * inv_q;
    const double r22 = cc;
    const double r23 = -sa_nb;
    const double r24 = (c_nb - sa_c) * inv_q;

    const double r30 = (4 * mu2 * na_c - t2 * c_sb) * inv_q;
    const double r31 = (2 * t * c_sb + 4 * mu * na_c) * inv_q;
    const double r32 = -na_sb;
    const double r33 = cc;
    const double r34 = (c_sb - na_c) * inv_q;

    const double r40 = (-8 * mu2 * t2 * cc_minus_e + 16 * mu2 * mu2 * tt + t2 * t2 * ss) * inv_q2;
    const double r41 = (-4 * mu * t_minus_2mu * t * cc_minus_e + 16 * mu2 * mu * tt - 2 * t2 * t * ss) * inv_q2;
    const double r42 = (t2 * c_sb - 4 * mu2 * na_c) * inv_q;
    const double r43 = (4 * mu2 * c_nb - t2 * sa_c) * inv_q;
    const double r44 = r00;

    const double z0 = r00 * y[0] + r01 * y[1] + r02 * y[2] + r03 * y[3] + r04 * y[4];
    const double z1 = r10 * y[0] + r11 * y[1] + r12 * y[2] + r13 * y[3] + r14 * y[4];
    const double z2 = r20 * y[0] + r21 * y[1] + r22 * y[2] + r23 * y[3] + r24 * y[4];
    const double z3 = r30 * y[0] + r31 * y[1] + r32 * y[2] + r33 * y[3] + r34 * y[4];
    const double z4 = r40 * y[0] + r41 * y[1] + r42 * y[2] + r43 * y[3] + r44 * y[4];

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
  return std::ldexp(y[4], binary_exponent);
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
