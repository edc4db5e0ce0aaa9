#ifndef CIRCARRAY_TEXTIO_PROGRAM_H_
#define CIRCARRAY_TEXTIO_PROGRAM_H_

#include <functional>
#include <istream>
#include <ostream>
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

// Entry point helper for main(): binds the process's standard streams,
// unsynchronised from C stdio for speed, and makes a closed pipe a write
// error instead of a silent death by SIGPIPE.
int RunMain(int (*program)(std::istream& in, std::ostream& out, std::ostream& err));

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_PROGRAM_H_
