#ifndef CIRCARRAY_ARRAY_SPECTRA_CIRCSPEC_H_
#define CIRCARRAY_ARRAY_SPECTRA_CIRCSPEC_H_

#include <ostream>
#include <span>
#include <string>

namespace circspec {

// The program: `args` are the command-line arguments after the program
// name. Writes the result on `out` (or the --output file) and messages on
// `err`; returns the exit status (0, or 2 for a usage or run-time error).
int RunCircspec(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_CIRCSPEC_H_
