#ifndef CIRCARRAY_TESTSUPPORT_RUN_PROGRAM_H_
#define CIRCARRAY_TESTSUPPORT_RUN_PROGRAM_H_

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "textio/program.h"

namespace testsupport {

// What a run leaves on its exit status and standard streams.
struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// A program's in-process entry point: its standard streams in, its exit
// status out (a textio::ProgramFn, or a lambda that binds extra arguments).
using Program = std::function<int(std::istream&, std::ostream&, std::ostream&)>;

// Runs a program in-process with `input` as its standard input.
Outcome Run(const Program& program, std::string_view input);

// The text cut into lines; a last line without newline counts.
std::vector<std::string> Lines(const std::string& text);

// True if `err` is exactly one line "<name>: <message>".
bool IsOneDiagnosticLine(const std::string& err, std::string_view name);

}  // namespace testsupport

#endif  // CIRCARRAY_TESTSUPPORT_RUN_PROGRAM_H_
