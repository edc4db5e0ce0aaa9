#include "profile_inversion/mode_search.h"

#include <algorithm>
#include <cmath>

#include "profile_inversion/rayleigh_secular.h"

namespace circinv {

namespace {

// The Rayleigh velocity of the homogeneous comparison medium of ScanPlan:
// no mode of `model` is slower.
double RayleighLowerBound(const LayeredModel& model) {
  double mu = HUGE_VAL, lambda = HUGE_VAL, mu_without_lambda = HUGE_VAL, rho = 0;
  for (const Layer& l : model.layers) {
    const double layer_mu = l.density * l.vs * l.vs;
    const double layer_lambda = l.density * (l.vp * l.vp - 2 * l.vs * l.vs);
    mu = std::min(mu, layer_mu);
    lambda = std::min(lambda, layer_lambda);
    mu_without_lambda = std::min(mu_without_lambda, layer_lambda >= 0 ? layer_mu : layer_mu + 1.5 * layer_lambda);
    rho = std::max(rho, l.density);
  }
  if (3 * lambda + 2 * mu > 0) return RayleighVelocity(std::sqrt((lambda + 2 * mu) / rho), std::sqrt(mu / rho));
  const double vs = std::sqrt(mu_without_lambda / rho);
  return RayleighVelocity(std::sqrt(2.0) * vs, vs);
}

}  // namespace

void ScanPlan::Prepare(const LayeredModel& model, Wave wave) {
  const Layer& bottom = model.half_space();
  upper_ = bottom.vs;
  inv_upper2_ = 1 / (upper_ * upper_);
  phases_.clear();
  double slowest = bottom.vs;
  for (size_t i = 0; i + 1 < model.layers.size(); ++i) {
    const Layer& l = model.layers[i];
    slowest = std::min(slowest, l.vs);
    phases_.push_back({1 / l.thickness, 1 / (l.vs * l.vs)});
    if (wave == Wave::kRayleigh) phases_.push_back({1 / l.thickness, 1 / (l.vp * l.vp)});
  }
  lower_ = wave == Wave::kLove ? slowest : 0.99 * RayleighLowerBound(model);
}

double ScanPlan::Step(double omega, double c, double relative_step) const {
  // Each rule bounds the next sample c'; they are compared as 1/c'^2 (the
  // largest wins), the slowness-squared in which a layer's phase and decay
  // are simple. The relative rule first.
  const double far = c * (1 + relative_step);
  double reach = 1 / (far * far);
  const double inv_c2 = 1 / (c * c);
  // A layer of thickness h: theta = omega h sqrt(1/v^2 - 1/c^2) above v,
  // D = omega h sqrt(1/c^2 - 1/v^2) below it, both omega h times a
  // slowness t. A change of kMaxPhaseStep is a change of `step` in t, and
  // a decay of kMaxDecay is `cap` (D first falls to kMaxDecay at most, and
  // a step across v spends the rest of its D on theta).
  const double step_h = kMaxPhaseStep / omega;
  const double cap_h = kMaxDecay / omega;
  for (const Phase& p : phases_) {
    const double s2 = p.inv_v2 - inv_c2;
    const double t = std::sqrt(std::abs(s2));
    const double step = step_h * p.inv_thickness;
    double layer_reach;
    if (s2 >= 0) {
      layer_reach = p.inv_v2 - (t + step) * (t + step);
    } else if (t > step) {
      const double d = std::min(t - step, cap_h * p.inv_thickness);
      layer_reach = p.inv_v2 + d * d;
    } else {
      layer_reach = p.inv_v2 - (step - t) * (step - t);
    }
    reach = std::max(reach, layer_reach);
  }
  // The half-space's nu falls by at most kMaxHalfSpaceStep.
  const double nu = std::sqrt(std::max(0.0, 1 - c * c * inv_upper2_)) - kMaxHalfSpaceStep;
  if (nu > 0) reach = std::max(reach, inv_upper2_ / (1 - nu * nu));
  // Progress even where rounding would stall a step (phases of thousands of
  // radians, far beyond any fundamental mode).
  const double next = std::max(1 / std::sqrt(reach), c * (1 + 1e-12));
  return std::min(next, upper_);
}

}  // namespace circinv
