#ifndef CIRCARRAY_PROFILE_INVERSION_FORWARD_RUN_H_
#define CIRCARRAY_PROFILE_INVERSION_FORWARD_RUN_H_

#include "profile_inversion/request.h"
#include "suite/context.h"

namespace circinv {

// circinv --forward: reads the model file, computes the fundamental mode's
// phase velocity at each frequency (the grid, or those of --at) and writes
// the curve file
//   # circinv (circarray) VERSION
//   # ... the model, the wave, the frequencies ...
//   # freq c
//   f c                      (Hz, m/s, 9 significant digits; c nan: no mode)
// to standard output or to --output, which comes into being with its
// first line (a refused model leaves no file).
void RunForward(suite::Context& context, const ForwardRequest& request);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_FORWARD_RUN_H_
