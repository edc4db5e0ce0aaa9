#include "ratio_inversion/models.h"

#include "core/bessel.h"

namespace vantor {

float J0(float x) { return core::cal_bsl(0.0f, x); }
float J1(float x) { return core::cal_bsl(1.0f, x); }
float J2(float x) { return core::cal_bsl(2.0f, x); }

float bslj0(float x, const Blocks& blk) { return J0(x) - blk.observed; }

float bslj02(float x, const Blocks& blk) {
  float j0 = J0(x);
  return j0 * j0 - blk.observed;
}

float bslj12(float x, const Blocks& blk) {
  float j1 = J1(x);
  return j1 * j1 - blk.observed;
}

float bslj012(float x, const Blocks& blk) {
  float j0 = J0(x);
  float j1 = J1(x);
  float j1sq = j1 * j1;
  return j0 / j1sq - blk.observed;
}

float bslj0212(float x, const Blocks& blk) {
  float j0 = J0(x);
  float j1 = J1(x);
  return (j0 * j0) / (j1 * j1) - blk.observed;
}

float bslj1212(float x, const Blocks& blk) {
  float j1 = J1(x);
  float inner = x * blk.rdsr;  // rounded to float before the Bessel call
  float j1s = J1(inner);
  return (j1 * j1) / (j1s * j1s) - blk.observed;
}

float bslj1111(float x, const Blocks& blk) {
  float j1 = J1(x);
  float inner = x * blk.rdsr;
  float j1s = J1(inner);
  return j1 / j1s - blk.observed;
}

float cca_m_l(float x, const Blocks& blk) {
  float j0 = J0(x);
  float j2 = J2(x);
  return (j0 - j2) / (j2 + j0) - blk.observed;
}

float spac_m_l(float x, const Blocks& blk) {
  float j0 = J0(x);
  float j2 = J2(x);
  return j0 - j2 - blk.observed;
}

float spac_p_l(float x, const Blocks& blk) {
  float j0 = J0(x);
  float j2 = J2(x);
  return j0 + j2 - blk.observed;
}

float Residual(Model model, float x, const Blocks& blk) {
  switch (model) {
    case Model::kBslj0:
      return bslj0(x, blk);
    case Model::kBslj02:
      return bslj02(x, blk);
    case Model::kBslj12:
      return bslj12(x, blk);
    case Model::kBslj012:
      return bslj012(x, blk);
    case Model::kBslj0212:
      return bslj0212(x, blk);
    case Model::kBslj1212:
      return bslj1212(x, blk);
    case Model::kBslj1111:
      return bslj1111(x, blk);
    case Model::kCcaML:
      return cca_m_l(x, blk);
    case Model::kSpacML:
      return spac_m_l(x, blk);
    case Model::kSpacPL:
      return spac_p_l(x, blk);
  }
  return 0.0f;
}

float wn2pv(float x, float freq, float radius) {
  constexpr float kTwoPi = 6.2831855f;
  float t = kTwoPi * freq;
  t = t * radius;
  return t / x;
}

}  // namespace vantor
