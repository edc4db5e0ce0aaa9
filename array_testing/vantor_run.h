#ifndef CIRCARRAY_ARRAY_TESTING_VANTOR_RUN_H_
#define CIRCARRAY_ARRAY_TESTING_VANTOR_RUN_H_

#include <optional>
#include <string>
#include <vector>

#include "array_spectra/analysis.h"
#include "array_spectra/quantities.h"
#include "array_synthesis/dispersion.h"

namespace circspec::testing {

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

// The frequencies whose kr (k = 2 pi f / c from the true velocity c, r
// the ring's radius) lies in [low, high].
struct KrBand {
  double low, high;
};

// Checks that vantor's velocities `v` at 10 or more frequencies of `band`
// lie within the relative error `tolerance` of `truth` (a missing root
// counts as infinitely wrong), and prints the worst error under `label`.
void ExpectVelocitiesWithin(const std::string& label, const std::vector<Velocity>& v,
                            const circsim::DispersionCurve& truth, double radius, KrBand band, double tolerance);

}  // namespace circspec::testing

#endif  // CIRCARRAY_ARRAY_TESTING_VANTOR_RUN_H_
