#include "profile_inversion/love_secular.h"

#include <algorithm>
#include <cmath>

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
  for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) {
    const Constants& l = *it;
    const DepthTerms b = ComputeDepthTerms(1 - c2 * l.inv_vs2, k * l.thickness);
    const double u = b.cosh_part * displacement - b.sinh_over_nu / l.mu * traction;
    const double s = -l.mu * b.nu_sinh * displacement + b.cosh_part * traction;
    // A positive rescaling against over- and underflow; the sign stays.
    const double largest = std::max(std::abs(u), std::abs(s));
    const double scale = largest > 0 ? 1 / largest : 1;
    displacement = u * scale;
    traction = s * scale;
  }
  return traction;
}

}  // namespace circinv
