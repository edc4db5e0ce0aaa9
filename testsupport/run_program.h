#ifndef CIRCARRAY_TESTSUPPORT_RUN_PROGRAM_H_
#define CIRCARRAY_TESTSUPPORT_RUN_PROGRAM_H_

#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "suite/program.h"

namespace testsupport {

// What a run leaves on its exit status and standard streams.
struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// How a program is run in-process.
struct RunOptions {
  std::vector<std::string> args;    // command-line arguments
  std::filesystem::path directory;  // where relative file names lead (the run's working directory)
  size_t stdout_limit = std::numeric_limits<size_t>::max();  // a device that fills up there
  bool stdin_is_terminal = false;
};

// Runs `program` in-process, exactly as its main() would, with `input` as
// its standard input: argument handling, the run, the exit status.
Outcome RunInProcess(const suite::Program& program, std::string_view input, const RunOptions& options = {});

// The text cut into lines; a last line without newline counts.
std::vector<std::string> Lines(const std::string& text);

// True if `err` is exactly one line "<name>: <message>".
bool IsOneDiagnosticLine(const std::string& err, std::string_view name);

}  // namespace testsupport

#endif  // CIRCARRAY_TESTSUPPORT_RUN_PROGRAM_H_
