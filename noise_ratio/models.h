#ifndef CIRCARRAY_NOISE_RATIO_MODELS_H_
#define CIRCARRAY_NOISE_RATIO_MODELS_H_

#include <cstdint>

namespace quillon {

// The observations of the current frequency, and the station count of the
// array (signal power 1 and noise power eps at every station; nsta
// stations on the circle, one at its centre).
struct Observed {
  float coh = 0.0f;   // coherence of the centre record and the circle average
  float rho = 0.0f;   // their spatial-autocorrelation coefficient
  float aj0t = 0.0f;  // (1 + eps) * rho at the last trial eps: the implied noise-free J0
  int32_t nsta = 0;   // stations on the circle
};

// The noise level whose resolution limit is sought, and the factor by
// which that limit scales the noise-free k*r.
struct Observed2 {
  float nsr = 0.0f;
  float rkfac = 0.0f;
};

// Which coherence model anoise() solves: 0 the plain one, anything else the
// one with a bounded excess power term in the circle average.
struct Ids {
  int32_t ids = 0;
};

// Residual of the coherence model at the trial noise ratio x:
//   coh - q^2 / ((delta + q^2 + x/nsta) * (x + 1)),   q = (x + 1) * rho,
// with delta = 0 for ids 0, else the excess that makes x = 0 an exact
// solution (less 1e-8), capped at min(q + 0.4, 1 - q)^2. Stores q in
// obs.aj0t.
float anoise(float x, const Ids& ids, Observed& obs);

// The largest excess term delta that the observed coherence admits, capped
// by min(q + 0.4, 1 - q)^2 (and by 1e18) with q = (x + 1) * rho; x enters
// only through the cap. Stores q in obs.aj0t.
float caldltmx(float x, Observed& obs);

// Residual of the resolution-limit equation at the trial k*r x:
//   J0(y)^2 / J1(y)^2 - (J0(x)^2 + e) / (e + J1(x)^2),  y = x / rkfac,
// e = nsr / nsta. Zero where noise of ratio nsr biases the power ratio of
// the zeroth- and first-order circular components as much as reading k*r
// too large by 1/rkfac would. Throws core::BesselRefusal where a Bessel value
// cannot be evaluated.
float rkmin4nsr2(float x, const Observed2& obs2, const Observed& obs);

}  // namespace quillon

#endif  // CIRCARRAY_NOISE_RATIO_MODELS_H_
