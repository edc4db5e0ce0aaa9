#ifndef CIRCARRAY_HARDENING_PROGRAMS_H_
#define CIRCARRAY_HARDENING_PROGRAMS_H_

#include <string>
#include <vector>

#include "hardening/support.h"

namespace hardening {

// One program of the suite with inputs that exercise its output.
struct ProgramCase {
  std::string name;
  Program run;
  // A run that writes several lines and ends normally.
  std::string input;
  // A run that ends by the program's own message (after lines where the
  // program can write some first); empty if the program has no message stop.
  std::string stop_input;
  // Output lines follow the standard-input records one by one, so a run
  // on any leading part of the input writes a leading part of the output.
  bool streams = false;
  // The file the program reads its data from ("" for standard input only),
  // and the files a run on `input` writes besides standard output.
  std::string data_file;
  std::vector<std::string> outputs;
};

// Every program, with the files it reads (and quillon's second output
// file) placed in `dir`.
std::vector<ProgramCase> AllPrograms(const TempDir& dir);

}  // namespace hardening

#endif  // CIRCARRAY_HARDENING_PROGRAMS_H_
