#ifndef CIRCARRAY_RATIO_INVERSION_MODELS_H_
#define CIRCARRAY_RATIO_INVERSION_MODELS_H_

#include "ratio_inversion/vantor_format.h"

namespace vantor {

// The Bessel functions of the first kind the models are made of, in single
// precision through core::cal_bsl.
float J0(float x);
float J1(float x);
float J2(float x);

// What a model function sees besides its argument x = k*r: the observed
// value of the current frequency, and for the two-radius models the ratio
// of the inner to the outer radius. The driver fills it; models only read.
struct Blocks {
  float observed = 0.0f;  // o
  float rdsr = 0.0f;      // s = radius2 / radius
};

// The residual of each model of vantor_format.h is model(x) - o,
// evaluated in single precision in a fixed order of operations so that
// results agree to the last bit.
float bslj0(float x, const Blocks& blk);
float bslj02(float x, const Blocks& blk);
float bslj12(float x, const Blocks& blk);
float bslj012(float x, const Blocks& blk);
float bslj0212(float x, const Blocks& blk);
float bslj1212(float x, const Blocks& blk);
float bslj1111(float x, const Blocks& blk);
float cca_m_l(float x, const Blocks& blk);
float spac_m_l(float x, const Blocks& blk);
float spac_p_l(float x, const Blocks& blk);

// The residual of `model` at x.
float Residual(Model model, float x, const Blocks& blk);

// Phase velocity of a wave with k*r = x: 2*pi*freq*radius / x.
float wn2pv(float x, float freq, float radius);

}  // namespace vantor

#endif  // CIRCARRAY_RATIO_INVERSION_MODELS_H_
