#ifndef CIRCARRAY_PROFILE_INVERSION_CURVE_INPUT_H_
#define CIRCARRAY_PROFILE_INVERSION_CURVE_INPUT_H_

#include <string>

#include "profile_inversion/layered_model.h"
#include "profile_inversion/observed_curve.h"
#include "suite/context.h"

namespace circinv {

// A measured curve as the inversion takes it from a file.
struct CurveInput {
  std::string shown;  // its name in messages and in the summary
  ObservedCurve curve;
  long skipped = 0;  // rows without an estimate (velocity nan)
};

// Reads a curve file or dispersion-curve table (curve/curve_file.h) with
// its standard errors, the first three columns f c c_se, for the wave
// `wave`; "-" reads standard input. Rows whose velocity is nan carry no
// point and are counted. A curve that would be complete but for its
// standard errors is refused with the way to add them.
CurveInput ReadCurveInput(suite::Context& context, const std::string& name, Wave wave);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_CURVE_INPUT_H_
