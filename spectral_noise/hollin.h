#ifndef CIRCARRAY_SPECTRAL_NOISE_HOLLIN_H_
#define CIRCARRAY_SPECTRAL_NOISE_HOLLIN_H_

#include "suite/context.h"
#include "suite/program.h"

namespace hollin {

// The whole program: reads `mode` and `nsta`, then records of 28 (mode 1)
// or 60 (mode 2) values, and writes the frequency and the noise-to-signal
// ratio of every valid record whose ratio is positive. Returns the exit
// status.
void Run(suite::Context& context);

// The program: help text, what standard input holds first, and Run.
extern const suite::Program kProgram;

}  // namespace hollin

#endif  // CIRCARRAY_SPECTRAL_NOISE_HOLLIN_H_
