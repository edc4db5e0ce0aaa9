#include "noise_table/tessel.h"
#include "suite/programs.h"

#include "textio/free_reader.h"
#include "textio/require.h"

namespace tessel {

namespace {

// The search runs until the bracket ends meet, which makes the noise level
// as exact as single precision allows.
constexpr float kTolerance = 1.0e-12f;  // relative and absolute
constexpr float kLowerNoise = 0.0f;
constexpr float kUpperNoise = 10.0f;

}  // namespace

core::FzeroResult SolveRow(RkBlock& blk) {
  // J0 and J1 at rk and at the shifted argument do not change while the
  // search varies the noise level, so they are evaluated once per row.
  const RowBessel row = EvaluateRow(blk);
  const int32_t ndiv = blk.ndiv;
  auto residual = [&row, ndiv](float b) { return NoiseResidual(b, ndiv, row); };
  return core::fzero(residual, kLowerNoise, kUpperNoise, kUpperNoise, kTolerance, kTolerance);
}

void WriteTable(RkBlock params, textio::Output& out) {
  RkBlock blk = params;
  float rk = kFirstRk;
  for (int row = 0; row < kRows; ++row) {
    blk.rk = rk;
    // The status is not looked at: a row without a root in [0, 10] shows
    // the better end of the final interval like any other.
    const core::FzeroResult r = SolveRow(blk);
    textio::FreeLine(out).Add(blk.rk).Add(r.b).Add(blk.rkshift).End();
    rk = rk + kRkStep;
  }
}

void Run(suite::Context& context) {
  RkBlock params;
  textio::Require(context.reader().Read({params.shift, params.ndiv}), "the parameter record (shift, ndiv integer)");
  WriteTable(params, context.out());
}

}  // namespace tessel
