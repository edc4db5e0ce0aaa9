#ifndef CIRCARRAY_HARDENING_CASES_H_
#define CIRCARRAY_HARDENING_CASES_H_

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "suite/program.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"

namespace hardening {

// One program of the suite with inputs that exercise its output. Each
// program registers its case from `<dir>/<name>_hardening_test.cpp`; every
// file name in a case is relative to the run directory, which holds
// `files` before each run.
struct ProgramCase {
  const suite::Program& program;
  // A run that writes several lines and ends normally.
  std::string input = {};
  // A run that ends by the program's own message (after lines where the
  // program can write some first); empty if the program has no message stop.
  std::string stop_input = {};
  // The lines standard output holds before that message.
  size_t lines_before_stop = 0;
  // Output lines follow the standard-input records one by one, so a run
  // on any leading part of the input writes a leading part of the output.
  bool streams = false;
  // The files the runs read: name and contents.
  std::vector<std::pair<std::string, std::string>> files = {};
  // The one of them the program reads its data from on `input` ("" for
  // standard input only), and the files a run on `input` writes besides
  // standard output.
  std::string data_file = {};
  std::vector<std::string> outputs = {};
  // Numbers at the edges of their types, one run each: every one must end
  // cleanly (status 0, or status 2 with one diagnostic line).
  std::vector<std::string> extreme_inputs = {};

  std::string name() const { return std::string(program.name); }
};

// Adds a case to the list; returns true, for a static registration object.
bool RegisterCase(ProgramCase c);

// Every registered case, one per program.
const std::vector<ProgramCase>& AllCases();

// Writes the case's files into `dir`, replacing what was there.
void PlaceFiles(const ProgramCase& c, const testsupport::TempDir& dir);

// Runs the case's program in-process on `input` with `dir` as its working
// directory and its standard output on a device of `stdout_limit` bytes.
testsupport::Outcome RunIn(const testsupport::TempDir& dir, const ProgramCase& c, std::string_view input,
                           size_t stdout_limit = std::numeric_limits<size_t>::max());

// Calls visit(input) for the case's normal and stopping inputs (those it
// has), each under a trace naming the program and the input.
template <typename Visit>
void ForEachRunInput(const ProgramCase& c, Visit visit) {
  for (const std::string& input : {c.input, c.stop_input}) {
    if (input.empty()) continue;
    SCOPED_TRACE(c.name() + " on: " + input);
    visit(input);
  }
}

// Expects a run of the case's program to have ended cleanly: status 0
// with nothing on standard error, or status 2 with one diagnostic line.
void ExpectCleanEnd(const ProgramCase& c, const testsupport::Outcome& o);

// A column file "time u e n" of `samples` lines of varied values.
std::string ColumnFile(int samples);

// A column file whose components sit at the edges of double: the largest
// and smallest magnitudes, NaN and infinities.
inline constexpr char kExtremeColumnFile[] = "0 1e308 -1e308 5e-324\n0.01 nan inf -inf\n0.02 1 2 3\n";

}  // namespace hardening

#endif  // CIRCARRAY_HARDENING_CASES_H_
