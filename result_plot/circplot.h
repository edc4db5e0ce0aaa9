#ifndef CIRCARRAY_RESULT_PLOT_CIRCPLOT_H_
#define CIRCARRAY_RESULT_PLOT_CIRCPLOT_H_

#include "suite/context.h"
#include "suite/program.h"

namespace circplot {

// The whole program: reads the inputs named on the command line (standard
// input for "-" or none), recognises each by its content, writes the
// gnuplot script of their picture and runs gnuplot on it when it is
// installed.
void Run(suite::Context& context);

// The program: help text, what standard input holds first, and Run.
extern const suite::Program kProgram;

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_CIRCPLOT_H_
