#ifndef CIRCARRAY_COMPONENT_SPLIT_WENDLE_H_
#define CIRCARRAY_COMPONENT_SPLIT_WENDLE_H_

#include <string>
#include <string_view>

#include "suite/context.h"
#include "suite/program.h"

namespace wendle {

// The output file name of a base and a suffix: the two joined and cut to
// the 200 characters of a name field.
std::string OutputName(std::string_view base, std::string_view suffix);

// The whole program: reads the component selector, the item count and per
// item an input name line and a base line, and splits each input file into
// base + "u.d" / "e.d" / "n.d". Returns the exit status.
void Run(suite::Context& context);

// The program: help text, what standard input holds first, and Run.
extern const suite::Program kProgram;

}  // namespace wendle

#endif  // CIRCARRAY_COMPONENT_SPLIT_WENDLE_H_
