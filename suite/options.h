#ifndef CIRCARRAY_SUITE_OPTIONS_H_
#define CIRCARRAY_SUITE_OPTIONS_H_

// The command line of the suite's tools: GNU-style options, read once
// into a CommandLine, whose typed accessors check each value and word
// every refusal the same way:
//   circspec: --window: expected a positive number of seconds, got 'x'
// A tool keeps only its table of options and the reads of their values.
// --help, -h and --version are answered by the entry point before a tool
// runs (suite/runtime.h), so no table lists them.

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "textio/errors.h"

namespace suite {

// A mistake on the command line of a tool, reported like any run-time
// error: one line on standard error, status 2. The message points to
// --help: "unknown option '--windwo' (see --help)".
class UsageError : public textio::RuntimeError {
 public:
  explicit UsageError(const std::string& message);

 protected:
  struct Verbatim {};
  UsageError(const std::string& message, Verbatim) : textio::RuntimeError(message) {}
};

// An option value that is not what the option takes, in the one wording
//   --window: expected a positive number of seconds, got 'x'
class OptionValueError : public UsageError {
 public:
  OptionValueError(std::string_view option, std::string_view expected, std::string_view got);
};

// One long option of a tool; `letter` is its one-letter form, or 0.
struct Option {
  const char* name;  // "window" for --window
  bool takes_value;
  char letter = 0;
  // Arguments after its value that belong to the option too: 1 for
  // "--band FMIN FMAX".
  int more_values = 0;
};

// What a number option takes: the words after "expected " in a refusal,
// and the interval of allowed values (never NaN or an infinity).
struct NumberRule {
  std::string_view expected;  // "a positive number of seconds"
  double min = -std::numeric_limits<double>::infinity();
  bool min_open = false;  // min itself is refused
  double max = std::numeric_limits<double>::infinity();
  bool max_open = false;

  bool Allows(double v) const;
};
inline NumberRule Positive(std::string_view expected) { return {expected, 0, true}; }
inline NumberRule NotNegative(std::string_view expected) { return {expected, 0, false}; }
inline NumberRule Between(double min, double max, std::string_view expected) {
  return {expected, min, false, max, false};
}
inline NumberRule AnyNumber(std::string_view expected) { return {expected}; }

// A command line parsed with getopt_long ("--window 20", "--window=20",
// "-w 20", options and operands in any order, "--" ends the options).
// Unknown options, a missing value (or fewer values than an option of
// several takes) and a value given to a flag are UsageErrors. When an
// option is given more than once the last one counts, except where
// Every() asks for all of them.
class CommandLine {
 public:
  CommandLine(const std::vector<std::string>& args, std::span<const Option> options);

  const std::vector<std::string>& operands() const { return operands_; }

  // Whether the option (a flag, or one with a value) was given.
  bool Has(std::string_view name) const;
  // The text value of the last occurrence.
  std::optional<std::string> Text(std::string_view name) const;
  // The text values of every occurrence, in order (a repeatable option).
  std::vector<std::string> Every(std::string_view name) const;

  // The value as a number within `rule`, read as the suite reads numbers.
  std::optional<double> Number(std::string_view name, const NumberRule& rule) const;
  // The values of an option of several values (--band FMIN FMAX), each
  // within `rule`.
  std::optional<std::vector<double>> Numbers(std::string_view name, const NumberRule& rule) const;
  // An integer in [min, max]; `expected` words it ("a count from 1 to 100000").
  std::optional<int32_t> Integer(std::string_view name, int32_t min, int32_t max, std::string_view expected) const;

  // The value as one of `choices` (keyword, value); any other text is
  // refused, listing the keywords: "expected log or linear, got 'x'".
  template <class T>
  std::optional<T> Keyword(std::string_view name, std::initializer_list<std::pair<std::string_view, T>> choices) const {
    const std::optional<std::string> text = Text(name);
    if (!text) return std::nullopt;
    std::vector<std::string_view> words;
    for (const auto& [keyword, value] : choices) {
      if (*text == keyword) return value;
      words.push_back(keyword);
    }
    throw OptionValueError(name, Alternatives(words), *text);
  }

  // "a, b or c".
  static std::string Alternatives(const std::vector<std::string_view>& words);

 private:
  // Every occurrence of each option, each with its values.
  std::map<std::string, std::vector<std::vector<std::string>>, std::less<>> given_;
  std::vector<std::string> operands_;
};

}  // namespace suite

#endif  // CIRCARRAY_SUITE_OPTIONS_H_
