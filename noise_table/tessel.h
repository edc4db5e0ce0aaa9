#ifndef CIRCARRAY_NOISE_TABLE_TESSEL_H_
#define CIRCARRAY_NOISE_TABLE_TESSEL_H_

#include "core/fzero.h"
#include "noise_table/bslnoise.h"
#include "textio/output.h"

namespace tessel {

// The grid of k*r values: kRows arguments from kFirstRk on, each the last
// plus kRkStep in single precision (accumulated, so the last is 3.00002).
inline constexpr int kRows = 599;
inline constexpr float kFirstRk = 0.01f;
inline constexpr float kRkStep = 0.005f;

// The noise level b that makes (J0(rk)^2 + b/ndiv) / (J1(rk)^2 + b/ndiv)
// equal to J0^2/J1^2 at the shifted argument, searched in [0, 10].
// Leaves the row's shifted argument in blk.rkshift.
core::FzeroResult SolveRow(RkBlock& blk);

// Writes the whole table for the shift and divisor in `params`: one free
// format line "rk b rkshift" per grid argument. Throws core::BesselRefusal at
// the first row whose shifted argument the Bessel routine refuses.
void WriteTable(RkBlock params, textio::Output& out);

}  // namespace tessel

#endif  // CIRCARRAY_NOISE_TABLE_TESSEL_H_
