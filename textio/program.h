#ifndef CIRCARRAY_TEXTIO_PROGRAM_H_
#define CIRCARRAY_TEXTIO_PROGRAM_H_

#include <functional>
#include <istream>
#include <ostream>
#include <span>
#include <string_view>

#include "textio/output.h"

namespace textio {

// Runs the body of a program with its standard output behind a buffered
// Output, and turns the ways a run can end into an exit status:
//  - normal return: flush, status 0;
//  - Stop: its text is written after everything so far, flush, its status;
//  - RuntimeError (unreadable input, failed open or write): what was
//    written stays written, one line "<name>: <message>" on `err`, status 2.
// A failed flush of standard output is itself a run-time error.
int RunProgram(std::string_view name, std::ostream& out, std::ostream& err,
               const std::function<void(Output&)>& body);

using ProgramFn = int (*)(std::istream& in, std::ostream& out, std::ostream& err);

// What a program says about itself on the command line.
struct ProgramInfo {
  std::string_view name;     // "vantor"
  std::string_view help;     // the --help text: purpose, input layout, files, example
  std::string_view waiting;  // what standard input should hold first, for the prompt hint
};

// The suite's version, as set in the build.
std::string_view SuiteVersion();

// Command-line handling shared by every program. The programs take their
// input from standard input only, so arguments are for people:
//   (none)            run the program; when standard input is a terminal,
//                     first say on `err` what the program is waiting for
//   --help, -h        print the help text on `out`, status 0
//   --version         print "<name> (circarray) <version>", status 0
//   anything else     one usage line on `err`, status 2
int Dispatch(std::span<const std::string_view> args, const ProgramInfo& info, ProgramFn program,
             std::istream& in, std::ostream& out, std::ostream& err, bool interactive);

// Entry point helper for main(): binds the process's standard streams,
// unsynchronised from C stdio for speed, makes a closed pipe a write error
// instead of a silent death by SIGPIPE, and handles the arguments.
int RunMain(int argc, char** argv, const ProgramInfo& info, ProgramFn program);

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_PROGRAM_H_
