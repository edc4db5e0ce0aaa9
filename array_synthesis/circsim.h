#ifndef CIRCARRAY_ARRAY_SYNTHESIS_CIRCSIM_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_CIRCSIM_H_

#include "suite/context.h"
#include "suite/program.h"

namespace circsim {

// The whole program: reads its options and the layout named on the
// command line and writes one record file per station of the layout,
// next to it. Nothing goes to standard output; errors are thrown as
// textio::RuntimeError (suite::UsageError for the command line).
void Run(suite::Context& context);

// The program: help text and Run.
extern const suite::Program kProgram;

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_CIRCSIM_H_
