#ifndef CIRCARRAY_PROFILE_INVERSION_MODEL_FILE_H_
#define CIRCARRAY_PROFILE_INVERSION_MODEL_FILE_H_

#include <istream>
#include <ostream>
#include <string_view>

#include "profile_inversion/layered_model.h"

namespace circinv {

// The layered-model file. One row per layer, top down:
//
//   # thickness  vp     vs     density      (m, m/s, m/s, kg/m^3)
//   2            300    150    1700
//   8            900    400    1900
//   0            1600   800    2100         <- the half-space
//
// Four numbers a row, separated by blanks or tabs; `#` starts a comment
// that runs to the end of the line; blank lines are ignored. The last row
// is the half-space, with thickness 0; every other row has a thickness
// > 0. Every value is finite, vp, vs and density are > 0, and
// vp/vs > sqrt(4/3) (else the bulk modulus is negative).

// Reads a model. Throws textio::InputError "<file_name> line N: ..." for a
// missing, extra, unreadable, non-finite or non-positive value, a
// vp/vs <= sqrt(4/3) ("a negative bulk modulus"), a thickness-0 row that is
// not the last, or a file whose last row is not a half-space (thickness 0).
LayeredModel ReadModel(std::istream& in, std::string_view file_name);

// Writes `model` in the same grammar, each value as the shortest text that
// reads back to the same double, under a one-line header comment. Throws
// textio::WriteError naming `file_name` if the stream fails.
void WriteModel(std::ostream& out, const LayeredModel& model, std::string_view file_name);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_MODEL_FILE_H_
