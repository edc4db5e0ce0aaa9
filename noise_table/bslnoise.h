#ifndef CIRCARRAY_NOISE_TABLE_BSLNOISE_H_
#define CIRCARRAY_NOISE_TABLE_BSLNOISE_H_

#include <cstdint>

namespace tessel {

// What the noise model shares with the table driver: the grid argument of
// the current row, its shifted argument, and the two run parameters.
struct RkBlock {
  float rk = 0.0f;       // k*r of the current row
  float rkshift = 0.0f;  // rk moved by the relative shift
  float shift = 0.0f;    // relative shift of the argument
  int32_t ndiv = 0;      // divisor of the noise level
};

// J0 and J1 meet near this k*r. Below it J0^2/J1^2 exceeds 1 and the
// shifted argument is moved up, above it the ratio is below 1 and the
// argument is moved down, so that either way the noise-free ratio at the
// shifted argument is what added noise does to the ratio at rk.
inline constexpr float kCrossover = 1.4347f;

// The shifted argument of rk: rk / (1 - shift) up to the crossover,
// rk / (1 + shift) above it.
float ShiftedArgument(float rk, float shift);

// The Bessel part of one row: J0 and J1 at rk and at the shifted argument.
// They do not depend on the noise level, so a root search over the noise
// level evaluates them once per row instead of once per trial point; the
// arithmetic that combines them is the same either way.
struct RowBessel {
  float p0 = 0.0f;  // J0(rk)
  float p1 = 0.0f;  // J1(rk)
  float s0 = 0.0f;  // J0(rkshift)
  float s1 = 0.0f;  // J1(rkshift)
};

// Stores the shifted argument of blk.rk into blk.rkshift and evaluates the
// four Bessel values in the order J0(rk), J1(rk), J0(rkshift), J1(rkshift).
// Throws core::BesselRefusal where an argument is out of the Bessel routine's
// range.
RowBessel EvaluateRow(RkBlock& blk);

// The residual at noise level b of the row whose Bessel values are `row`:
//   J0(rkshift)^2 / J1(rkshift)^2 - (J0(rk)^2 + b/ndiv) / (b/ndiv + J1(rk)^2)
// in single precision, in that order of operations.
float NoiseResidual(float b, int32_t ndiv, const RowBessel& row);

// The model function of the table: the residual at noise level b, with the
// Bessel values evaluated afresh. Updates blk.rkshift.
float bslnoise(float b, RkBlock& blk);

}  // namespace tessel

#endif  // CIRCARRAY_NOISE_TABLE_BSLNOISE_H_
