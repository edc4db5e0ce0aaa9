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
InputText ReadInputText(suite::Context& context, const std::string& name);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_INPUT_TEXT_H_
