#ifndef CIRCARRAY_CENTRE_SERIES_CORRAL_H_
#define CIRCARRAY_CENTRE_SERIES_CORRAL_H_

#include <cstdint>
#include <istream>
#include <ostream>

namespace corral {

// Size of the output name table: the most name lines a run may give.
inline constexpr int32_t kNameTableSize = 6;

// The whole program: reads the echoed pair, the input name, ncomp, an
// unused integer and ncomp output names, then writes the complex series
// of the input file's samples into the output files, with progress lines
// on standard output. Returns the exit status.
int RunCorral(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace corral

#endif  // CIRCARRAY_CENTRE_SERIES_CORRAL_H_
