#ifndef CIRCARRAY_PROFILE_INVERSION_INVERSION_RUN_H_
#define CIRCARRAY_PROFILE_INVERSION_INVERSION_RUN_H_

#include "profile_inversion/request.h"
#include "suite/context.h"

namespace circinv {

// circinv [options] CURVE: reads the curves and the ranges, runs the
// inversion (a progress line on standard error while it is a terminal),
// writes the result directory of --output and then the summary
// (summary.h). Every refusal comes before the search, but for a result
// directory filled during it; nothing is written on a refusal.
void RunInversion(suite::Context& context, const InversionRequest& request);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_INVERSION_RUN_H_
