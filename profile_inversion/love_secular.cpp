#include "profile_inversion/love_secular.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "profile_inversion/layer_terms.h"

namespace circinv {

void LoveSecular::Prepare(const LayeredModel& model) {
  const Layer& bottom = model.half_space();
  const double mu0 = bottom.density * bottom.vs * bottom.vs;
  auto constants = [mu0](const Layer& l) {
    return Constants{l.thickness, l.density * l.vs * l.vs / mu0, 1 / (l.vs * l.vs)};
  };
  layers_.clear();
  for (size_t i = 0; i + 1 < model.layers.size(); ++i) layers_.push_back(constants(model.layers[i]));
  half_space_ = constants(bottom);
}

double LoveSecular::operator()(double omega, double c) const {
  const double k = omega / c;
  const double c2 = c * c;
  double displacement = 1;
  double traction = -half_space_.mu * std::sqrt(1 - c2 * half_space_.inv_vs2);
  int binary_exponent = 0;
  for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) {
    const Constants& l = *it;
    const DepthTerms b = ComputeDepthTerms(1 - c2 * l.inv_vs2, k * l.thickness);
    const double u = b.cosh_part * displacement - b.sinh_over_nu / l.mu * traction;
    const double s = -l.mu * b.nu_sinh * displacement + b.cosh_part * traction;
    // An exact rescaling by a power of two against over- and underflow,
    // undone at the end so that F keeps its natural shape in c.
    displacement = u;
    traction = s;
    const double largest = std::max(std::abs(u), std::abs(s));
    if (largest > 0x1p200 || largest < 0x1p-200) {
      int exponent = 0;
      std::frexp(largest, &exponent);
      binary_exponent += exponent;
      displacement = std::ldexp(u, -exponent);
      traction = std::ldexp(s, -exponent);
    }
  }
  return std::ldexp(traction, binary_exponent);
}

int LoveSecular::ModesBelow(double omega, double c) const {
  constexpr double kPi = std::numbers::pi;
  const double k = omega / c;
  const double c2 = c * c;
  double displacement = 1;
  double traction = -half_space_.mu * std::sqrt(std::max(0.0, 1 - c2 * half_space_.inv_vs2));
  double theta = std::atan2(displacement, traction);  // in [pi/2, pi)
  for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) {
    const Constants& l = *it;
    const double nu2 = 1 - c2 * l.inv_vs2;
    const double x = k * l.thickness;
    const DepthTerms b = ComputeDepthTerms(nu2, x);
    double u = b.cosh_part * displacement - b.sinh_over_nu / l.mu * traction;
    double s = -l.mu * b.nu_sinh * displacement + b.cosh_part * traction;
    const double largest = std::max(std::abs(u), std::abs(s));
    if (largest > 0) u /= largest, s /= largest;
    if (nu2 < 0) {
      // The rotation angle of (mu nu' y1, y2) falls by x nu' going up; it
      // differs from theta by less than pi/2 (same quadrant) at both ends.
      const double nu = std::sqrt(-nu2);
      const double phi = theta + std::remainder(std::atan2(l.mu * nu * displacement, traction) - theta, 2 * kPi);
      const double phi_top = phi - x * nu;
      theta = phi_top + std::remainder(std::atan2(u, s) - std::atan2(l.mu * nu * u, s), 2 * kPi);
    } else {
      // The representative of atan2(u, s) in (m pi - pi/2, (m + 1) pi].
      const double m = std::floor(theta / kPi);
      const double low = m * kPi - kPi / 2;
      double angle = std::atan2(u, s);
      angle += 2 * kPi * std::ceil((low - angle) / (2 * kPi));
      if (angle <= low) angle += 2 * kPi;
      theta = angle;
    }
    displacement = u;
    traction = s;
  }
  // Modes below c: the j >= 0 with pi/2 - j pi > theta.
  if (theta >= kPi / 2) return 0;
  return static_cast<int>(std::floor((kPi / 2 - theta) / kPi)) + 1;
}

}  // namespace circinv
