#ifndef CIRCARRAY_HARDENING_CASES_H_
#define CIRCARRAY_HARDENING_CASES_H_

#include <cstddef>
#include <filesystem>
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

// The test support every hardening test works with.
using testsupport::IsOneDiagnosticLine;
using testsupport::Lines;
using testsupport::Outcome;
using testsupport::TempDir;

// One program of the suite with inputs that exercise its output, read
// from its folder in hardening/cases/ (see the README there); every file
// name in a case is relative to the run directory, which holds the case's
// files before each run.
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

// The case of `program` from its folder `dir`. Throws std::runtime_error
// naming the file for a setting it does not know.
ProgramCase LoadCase(const suite::Program& program, const std::filesystem::path& dir);

// The cases of every program of the list that has a folder in the
// hardening/cases/ of the source tree, in the list's order.
const std::vector<ProgramCase>& AllCases();

// The folders of hardening/cases/ that name no program of the list.
std::vector<std::string> StaleCaseFolders();

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

}  // namespace hardening

#endif  // CIRCARRAY_HARDENING_CASES_H_
