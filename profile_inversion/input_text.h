#ifndef CIRCARRAY_PROFILE_INVERSION_INPUT_TEXT_H_
#define CIRCARRAY_PROFILE_INVERSION_INPUT_TEXT_H_

#include <string>

#include "suite/context.h"

namespace circinv {

// The whole text of a file named on circinv's command line, or of
// standard input for the name "-", and the name that messages give it.
// The files are small (models, curves, param files), and a curve whose
// parse failed is read a second time to say why (see curve_input.h).
struct InputText {
  std::string shown;  // the name as given, or "standard input"
  std::string text;
};

// Throws textio::InputError naming a file that cannot be opened or read.
// Reading standard input from a terminal, it first says so on standard
// error, since nothing else would tell why the run waits.
InputText ReadInputText(suite::Context& context, const std::string& name);

// Whether two names given on the command line lead to one file (never for
// standard input's "-").
bool SameFile(const suite::Context& context, const std::string& a, const std::string& b);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_INPUT_TEXT_H_
