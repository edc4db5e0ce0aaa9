#ifndef CIRCARRAY_SUITE_OPTIONS_H_
#define CIRCARRAY_SUITE_OPTIONS_H_

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "textio/errors.h"

namespace suite {

// A mistake on the command line of a tool: reported like any run-time
// error, as one line on standard error with status 2, pointing to --help.
class UsageError : public textio::RuntimeError {
 public:
  explicit UsageError(const std::string& message);
};

// One long option of a tool; `letter` is its one-letter form, or 0.
struct Option {
  const char* name;  // "window" for --window
  bool takes_value;
  char letter = 0;
  // Arguments after its value that belong to the option too: 1 for
  // "--band FMIN FMAX". Each value reaches on_option in a call of its own,
  // in order.
  int more_values = 0;
};

// Parses GNU-style options (getopt_long: "--window 20", "--window=20",
// "-w 20", options and operands in any order, "--" ends the options) and
// returns the operands. `on_option` gets each option's long name and value
// ("" for a flag) in command-line order. Unknown options, a missing value
// (or fewer values than an option of several takes) or an option given a
// value it does not take are UsageErrors.
std::vector<std::string> ParseOptions(
    const std::vector<std::string>& args, std::span<const Option> options,
    const std::function<void(std::string_view name, const std::string& value)>& on_option);

// Option values as numbers, read as the suite reads numbers; anything else
// is a UsageError naming the option.
double OptionReal(std::string_view option, const std::string& value);
int32_t OptionInteger(std::string_view option, const std::string& value);

}  // namespace suite

#endif  // CIRCARRAY_SUITE_OPTIONS_H_
