#ifndef CIRCARRAY_LOG_RESAMPLE_RESAMPA_H_
#define CIRCARRAY_LOG_RESAMPLE_RESAMPA_H_

#include "suite/context.h"
#include "suite/program.h"

namespace resampa {

// The whole program: reads the pair-file name (a whole line), the grid end
// and the grid step, resamples the file's curve onto step, 2 step, ...
// and writes one line (abscissa, value or 999) per grid point. Returns the
// exit status.
void Run(suite::Context& context);

// The program: help text, what standard input holds first, and Run.
extern const suite::Program kProgram;

}  // namespace resampa

#endif  // CIRCARRAY_LOG_RESAMPLE_RESAMPA_H_
