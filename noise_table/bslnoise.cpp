#include "noise_table/bslnoise.h"

#include "core/bessel.h"

namespace tessel {

float ShiftedArgument(float rk, float shift) {
  if (rk <= kCrossover) return rk / (1.0f - shift);
  return rk / (1.0f + shift);
}

RowBessel EvaluateRow(RkBlock& blk) {
  blk.rkshift = ShiftedArgument(blk.rk, blk.shift);
  RowBessel row;
  row.p0 = core::cal_bsl(0.0f, blk.rk);
  row.p1 = core::cal_bsl(1.0f, blk.rk);
  row.s0 = core::cal_bsl(0.0f, blk.rkshift);
  row.s1 = core::cal_bsl(1.0f, blk.rkshift);
  return row;
}

float NoiseResidual(float b, int32_t ndiv, const RowBessel& row) {
  const float t = b / static_cast<float>(ndiv);
  const float q = (row.p0 * row.p0 + t) / (t + row.p1 * row.p1);
  return (row.s0 * row.s0) / (row.s1 * row.s1) - q;
}

float bslnoise(float b, RkBlock& blk) { return NoiseResidual(b, blk.ndiv, EvaluateRow(blk)); }

}  // namespace tessel
