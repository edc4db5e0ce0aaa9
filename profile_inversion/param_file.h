#ifndef CIRCARRAY_PROFILE_INVERSION_PARAM_FILE_H_
#define CIRCARRAY_PROFILE_INVERSION_PARAM_FILE_H_

#include <istream>
#include <string_view>

#include "profile_inversion/parameterisation.h"

namespace circinv {

// Reads the ranges of the parameters from a param file:
//
//   # thickness (m)   vs (m/s)      Poisson's ratio   density (kg/m^3, optional)
//   increasing
//   1     5           100   300     0.25  0.45
//   2     20          150   600     0.25  0.45        1900
//   0     0           400  1500     0.20  0.35
//
// One row per layer, top down, of six numbers: the minimum and maximum
// thickness, of vs and of Poisson's ratio, and optionally a seventh, the
// layer's density (without it, density follows from vp by Gardner's
// relation). The last row is the half-space, with thickness 0 0; it must be
// the only such row. A minimum equal to its maximum fixes the parameter.
// A line holding only the word `increasing` asks for velocities (vs and vp)
// that do not decrease with depth. `#` starts a comment to the end of the
// line; blank lines are skipped; fields are separated by blanks or tabs.
//
// Throws textio::InputError "<name> line N: ..." for a row that is not of
// this form or whose ranges are inconsistent (a minimum above its maximum,
// a non-positive thickness, velocity or density, a Poisson's ratio outside
// (0, 0.5)), and "<name>: ..." for a file without layers over a half-space
// or whose ranges admit no increasing profile when it asks for one.
ParameterSpace ReadParameterSpace(std::istream& in, std::string_view name);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_PARAM_FILE_H_
