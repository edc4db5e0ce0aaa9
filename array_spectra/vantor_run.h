#ifndef CIRCARRAY_ARRAY_SPECTRA_VANTOR_RUN_H_
#define CIRCARRAY_ARRAY_SPECTRA_VANTOR_RUN_H_

#include <optional>
#include <vector>

#include "array_spectra/analysis.h"
#include "array_spectra/quantities.h"

namespace circspec {

// One line of vantor's output: the frequency and the velocity where a
// root was found, NaN where not.
struct Velocity {
  double f, c;
};

// For the chain tests: writes `series` as the standard input of vantor's
// `itype` (as `circspec --for vantor:ITYPE` does), runs vantor in-process
// and reads its output. Fails the running test if vantor does not end
// normally.
std::vector<Velocity> RunThroughVantor(int itype, double radius, std::optional<double> inner_radius,
                                       const SpectralSums& sums, const Series& series);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_VANTOR_RUN_H_
