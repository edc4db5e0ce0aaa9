#include "profile_inversion/mode_search.h"

#include <algorithm>
#include <cmath>

#include "profile_inversion/rayleigh_secular.h"

namespace circinv {

void ScanPlan::Prepare(const LayeredModel& model, Wave wave) {
  const Layer& bottom = model.half_space();
  upper_ = bottom.vs;
  phases_.clear();
  double slowest = bottom.vs;
  double slowest_rayleigh = RayleighVelocity(bottom.vp, bottom.vs);
  for (size_t i = 0; i + 1 < model.layers.size(); ++i) {
    const Layer& l = model.layers[i];
    slowest = std::min(slowest, l.vs);
    // Only velocities below the half-space's vs give phases inside the scan.
    if (l.vs < upper_) phases_.push_back({l.thickness, 1 / (l.vs * l.vs)});
    if (wave == Wave::kRayleigh) {
      slowest_rayleigh = std::min(slowest_rayleigh, RayleighVelocity(l.vp, l.vs));
      if (l.vp < upper_) phases_.push_back({l.thickness, 1 / (l.vp * l.vp)});
    }
  }
  lower_ = wave == Wave::kLove ? slowest : 0.95 * slowest_rayleigh;
}

double ScanPlan::Next(double omega, double c) const {
  double next = c * (1 + kMaxRelativeStep);
  const double inv_c2 = 1 / (c * c);
  for (const Phase& p : phases_) {
    // theta(c) = omega h sqrt(1/v^2 - 1/c^2) for c > v, else 0; the c at
    // which theta has grown by kMaxPhaseStep, if theta ever gets there.
    const double scale = omega * p.thickness;
    const double theta = scale * std::sqrt(std::max(0.0, p.inv_v2 - inv_c2));
    const double target = (theta + kMaxPhaseStep) / scale;
    const double remaining = p.inv_v2 - target * target;
    if (remaining > 0) next = std::min(next, 1 / std::sqrt(remaining));
  }
  // Progress even where rounding would stall a step (phases of thousands of
  // radians, far beyond any fundamental mode).
  next = std::max(next, c * (1 + 1e-12));
  return std::min(next, upper_);
}

}  // namespace circinv
