#ifndef CIRCARRAY_PROFILE_INVERSION_SUMMARY_H_
#define CIRCARRAY_PROFILE_INVERSION_SUMMARY_H_

#include <vector>

#include "profile_inversion/curve_input.h"
#include "profile_inversion/inversion.h"
#include "profile_inversion/request.h"
#include "textio/output.h"

namespace circinv {

// The summary of an inversion on standard output: the curves, the ranges
// and the search, the best misfit, the acceptable ensemble and its rule,
// the depth the data constrain, the best model as a table, Vs30 with its
// 10-90 % range, where the result files went, and last the line for
// scripts
//   vs30 MEDIAN P10 P90
// (m/s, each the shortest text that reads back as the same double). The
// other numbers are rounded to 4 significant digits for reading.
void WriteSummary(textio::Output& out, const InversionResult& result, const std::vector<CurveInput>& curves,
                  const InversionRequest& request);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_SUMMARY_H_
