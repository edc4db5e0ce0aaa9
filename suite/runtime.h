#ifndef CIRCARRAY_SUITE_RUNTIME_H_
#define CIRCARRAY_SUITE_RUNTIME_H_

#include <string_view>

#include "suite/context.h"
#include "suite/program.h"
#include "suite/stop.h"

namespace suite {

// Exit status of a run-time error and of a usage error.
inline constexpr int kFailureStatus = 2;

// The suite's version, as set in the build.
std::string_view Version();

// Runs the program's body in `context` and turns the ways a run can end
// into an exit status; every file the run opened is closed on every path:
//  - normal return: files closed, standard output flushed, status 0;
//  - suite::Stop (a message of the program's own): files closed, its text
//    written after everything so far, its status;
//  - a Bessel refusal: the message line "Error:nz or ierr in cbesj()" with
//    the two codes, as a stop with status 0;
//  - textio::RuntimeError (unreadable input, failed open, create or write,
//    usage errors of tools): what was written stays written, one line
//    "<name>: <message>" on standard error, status 2.
// A failed flush or close is itself a run-time error, so a full disk never
// ends a run with status 0.
int Execute(const Program& program, Context& context);

// Command-line handling shared by every program, then Execute():
//   --help, -h                the help text on standard output, status 0
//   --version                 "<name> (circarray) <version>", status 0
// A filter takes no other argument (one usage line on standard error,
// status 2) and, when standard input is a terminal, first says on standard
// error what it is waiting for. A tool gets its arguments in the context.
int Invoke(const Program& program, Streams streams, Invocation invocation);

// The whole of a program's main(): binds the process's standard streams,
// unsynchronised from C stdio for speed, makes a closed pipe a write error
// instead of a silent death by SIGPIPE, and calls Invoke().
int Main(int argc, char** argv, const Program& program);

}  // namespace suite

#endif  // CIRCARRAY_SUITE_RUNTIME_H_
