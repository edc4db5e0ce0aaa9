#ifndef CIRCARRAY_RATIO_INVERSION_VANTOR_H_
#define CIRCARRAY_RATIO_INVERSION_VANTOR_H_

#include "suite/context.h"
#include "suite/program.h"

namespace vantor {

// The whole program: reads the parameter record (itype, radius, fstep,
// fend), for itype 10 and 11 a second radius, then (frequency, observed
// value) lines, and writes one line per used frequency. Returns the exit
// status.
void Run(suite::Context& context);

// The program: help text, what standard input holds first, and Run.
extern const suite::Program kProgram;

}  // namespace vantor

#endif  // CIRCARRAY_RATIO_INVERSION_VANTOR_H_
