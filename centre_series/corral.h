#ifndef CIRCARRAY_CENTRE_SERIES_CORRAL_H_
#define CIRCARRAY_CENTRE_SERIES_CORRAL_H_

#include <cstdint>

#include "suite/context.h"
#include "suite/program.h"

namespace corral {

// Size of the output name table: the most name lines a run may give.
inline constexpr int32_t kNameTableSize = 6;

// The whole program: reads the echoed pair, the input name, ncomp, an
// unused integer and ncomp output names, then writes the complex series
// of the input file's samples into the output files, with progress lines
// on standard output. Returns the exit status.
void Run(suite::Context& context);

// The program: help text, what standard input holds first, and Run.
extern const suite::Program kProgram;

}  // namespace corral

#endif  // CIRCARRAY_CENTRE_SERIES_CORRAL_H_
