#ifndef CIRCARRAY_SEGMENT_EXTRACT_SNIPPA_H_
#define CIRCARRAY_SEGMENT_EXTRACT_SNIPPA_H_

#include "suite/context.h"
#include "suite/program.h"

namespace snippa {

// The whole program: reads the segment number and length, then a series
// (count, two header values, one value per line), and writes the chosen
// segment as a series of its own in "(i5)" / "(f10.4)". Returns the exit
// status.
void Run(suite::Context& context);

// The program: help text, what standard input holds first, and Run.
extern const suite::Program kProgram;

}  // namespace snippa

#endif  // CIRCARRAY_SEGMENT_EXTRACT_SNIPPA_H_
