#ifndef CIRCARRAY_RATIO_INVERSION_VANTOR_H_
#define CIRCARRAY_RATIO_INVERSION_VANTOR_H_

#include <istream>
#include <ostream>

namespace vantor {

// The whole program: reads the parameter record (itype, radius, fstep,
// fend), for itype 10 and 11 a second radius, then (frequency, observed
// value) lines, and writes one line per used frequency. Returns the exit
// status.
int RunVantor(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace vantor

#endif  // CIRCARRAY_RATIO_INVERSION_VANTOR_H_
