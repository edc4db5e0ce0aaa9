#ifndef CIRCARRAY_NOISE_RATIO_QUILLON_H_
#define CIRCARRAY_NOISE_RATIO_QUILLON_H_

#include "core/fzero.h"
#include "noise_ratio/models.h"

namespace quillon {

// What one frequency yields. A search counts as found by core::Found():
// the root finder converged or landed on an exact zero.
struct Estimate {
  float nsr0 = 0.0f;  // noise ratio of the plain coherence model
  core::FzeroStatus status0 = core::FzeroStatus::kNoSignChange;
  float nsr1 = 0.0f;  // noise ratio with the bounded excess term
  core::FzeroStatus status1 = core::FzeroStatus::kNoSignChange;
  float dltmx = 0.0f;  // largest admissible excess term, at nsr1
};

struct ResolutionLimit {
  float rkmin = 0.0f;       // k*r below which noise nsr0 hides a 10% error in k*r
  float wavelength = 0.0f;  // 2*pi / rkmin: longest resolvable wavelength / radius
  float velocity = 0.0f;    // wavelength * (radius * frequency)
  core::FzeroStatus status = core::FzeroStatus::kNoSignChange;
};

// The two noise-ratio searches and the excess bound for the coherence and
// spatial-autocorrelation coefficient in `obs`.
Estimate EstimateNoise(Observed& obs);

// The resolution limit at noise ratio nsr. Throws core::BesselRefusal where a
// Bessel value cannot be evaluated.
ResolutionLimit FindResolutionLimit(float nsr, const Observed& obs, float radius, float freq);

}  // namespace quillon

#endif  // CIRCARRAY_NOISE_RATIO_QUILLON_H_
