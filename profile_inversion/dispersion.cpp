#include "profile_inversion/dispersion.h"

#include <cmath>
#include <numbers>
#include <string>

#include "profile_inversion/model_check.h"
#include "textio/errors.h"
#include "textio/format.h"

namespace circinv {

void DispersionSolver::PhaseVelocities(const LayeredModel& model, std::span<const double> f, std::span<double> c) {
  if (c.size() != f.size()) {
    throw textio::RuntimeError("circinv: " + std::to_string(f.size()) + " frequencies but room for " +
                               std::to_string(c.size()) + " phase velocities");
  }
  if (const std::string why = WhyUnphysical(model); !why.empty()) {
    throw textio::RuntimeError("circinv: unphysical model: " + why);
  }
  for (double fi : f) {
    if (!(std::isfinite(fi) && fi > 0)) {
      throw textio::RuntimeError("circinv: frequency " + textio::Shortest(fi) + " Hz is not finite and positive");
    }
  }
  plan_.Prepare(model, wave_);
  if (wave_ == Wave::kRayleigh) {
    rayleigh_.Prepare(model);
    for (size_t i = 0; i < f.size(); ++i) c[i] = SlowestRoot(rayleigh_, plan_, 2 * std::numbers::pi * f[i], &counts_);
  } else {
    love_.Prepare(model);
    for (size_t i = 0; i < f.size(); ++i)
      c[i] = SlowestRootByCount(love_, plan_, 2 * std::numbers::pi * f[i], &counts_);
  }
}

}  // namespace circinv
