#ifndef CIRCARRAY_RATIO_INVERSION_MODELS_H_
#define CIRCARRAY_RATIO_INVERSION_MODELS_H_

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

// The ten observed quantities. Each residual is model(x) - o, evaluated in
// single precision in a fixed order of operations so that results agree
// to the last bit.
enum class Model {
  kBslj0,     // J0                       (SPAC coefficient)
  kBslj02,    // J0^2
  kBslj12,    // J1^2
  kBslj012,   // J0 / J1^2
  kBslj0212,    // J0^2 / J1^2              (power ratio of circular components)
  kBslj1212,  // J1(x)^2 / J1(s x)^2      (two circles)
  kBslj1111,  // J1(x) / J1(s x)
  kCcaML,     // (J0 - J2) / (J0 + J2)
  kSpacML,    // J0 - J2
  kSpacPL,    // J0 + J2
};

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

// One row of the type-code table: the model and the bracket handed to the
// root finder (B = lower, C = R = upper).
struct ItypeEntry {
  int itype;
  Model model;
  float lower;
  float upper;
  bool reads_radius2;  // the two-circle models need a second radius
};

// The entry of `itype`, or nullptr for a code outside the table.
const ItypeEntry* FindItype(int itype);

}  // namespace vantor

#endif  // CIRCARRAY_RATIO_INVERSION_MODELS_H_
