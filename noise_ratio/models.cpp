#include "noise_ratio/models.h"

#include <cmath>

#include "core/bessel.h"

namespace quillon {

namespace {

// The implied noise-free J0 may not exceed 1, and lies above -0.4 (the
// deepest minimum of J0 is -0.403); the excess term is bounded by the
// square of the distance to the nearer limit.
float ExcessBound(float q) {
  const float to_lower = q + 0.4f;
  const float to_upper = 1.0f - q;
  return to_upper < to_lower ? to_upper : to_lower;
}

}  // namespace

float anoise(float x, const Ids& ids, Observed& obs) {
  const float q = (x + 1.0f) * obs.rho;
  obs.aj0t = q;

  float excess = 0.0f;
  if (ids.ids != 0) {
    const float m = ExcessBound(q);
    const float m2 = m * m;
    // The excess at which x = 0 solves the coherence model exactly, lowered
    // a little so that the residual there does not come out positive.
    const float d = obs.rho * obs.rho * (1.0f / obs.coh - 1.0f) - 1e-8f;
    excess = d <= m2 ? d : m2;
  }

  const float nsta = static_cast<float>(obs.nsta);
  return obs.coh - q * q / ((excess + q * q + x / nsta) * (x + 1.0f));
}

float caldltmx(float x, Observed& obs) {
  const float q = (x + 1.0f) * obs.rho;
  obs.aj0t = q;

  const float m = ExcessBound(q);
  const float m2 = m * m;
  const float cap = m2 <= 1e18f ? m2 : 1e18f;

  const float coh = obs.coh;
  const float rho = obs.rho;
  const float nsta = static_cast<float>(obs.nsta);
  // delta(eps) = rho^2 (1 + eps) / coh - rho^2 (1 + eps)^2 - eps / nsta is
  // the excess that explains the coherence at noise ratio eps; t is the eps
  // of its maximum.
  const float t = 0.5f / coh - 0.5f / (rho * rho * nsta) - 1.0f;
  float largest;
  if (t > 0.0f) {
    const float g = rho * rho / coh - 2.0f * (rho * rho) - 1.0f / nsta;
    largest = (4.0f * std::pow(rho, 4.0f) * (1.0f / coh - 1.0f) + g * g) / (4.0f * (rho * rho));
  } else {
    // The maximum over eps >= 0 is at eps = 0.
    largest = (1.0f / coh - 1.0f) * (rho * rho) - 1e-8f;
  }
  return largest <= cap ? largest : cap;
}

float rkmin4nsr2(float x, const Observed2& obs2, const Observed& obs) {
  const float y = x / obs2.rkfac;
  const float e = obs2.nsr / static_cast<float>(obs.nsta);
  const float a0 = core::cal_bsl(0.0f, x);
  const float a1 = core::cal_bsl(1.0f, x);
  const float b0 = core::cal_bsl(0.0f, y);
  const float b1 = core::cal_bsl(1.0f, y);
  return (b0 * b0) / (b1 * b1) - (a0 * a0 + e) / (e + a1 * a1);
}

}  // namespace quillon
