#ifndef CIRCARRAY_ARRAY_SPECTRA_CIRCSPEC_H_
#define CIRCARRAY_ARRAY_SPECTRA_CIRCSPEC_H_

#include "suite/context.h"
#include "suite/program.h"

namespace circspec {

// The whole program: reads its options and the layout named on the
// command line, streams the stations' records through the analysis and
// writes the chosen output form to standard output or the --output file.
// Errors are thrown as textio::RuntimeError (suite::UsageError for the
// command line).
void Run(suite::Context& context);

// The program: help text and Run.
extern const suite::Program kProgram;

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_CIRCSPEC_H_
