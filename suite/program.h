#ifndef CIRCARRAY_SUITE_PROGRAM_H_
#define CIRCARRAY_SUITE_PROGRAM_H_

#include <string_view>

namespace suite {

class Context;

// How a program takes its command line.
enum class Arguments {
  // A batch filter: everything it needs comes on standard input, so the
  // only arguments are --help and --version, and anything else is a usage
  // error. Scripts run these without arguments.
  kNone,
  // A tool with GNU-style options and operands, which it parses itself
  // from Context::args() (see options.h). --help and --version anywhere
  // before "--" are answered without running it.
  kOptions,
};

// Everything that makes a program of the suite, declared once in its
// directory and handed to suite::Main() by a one-line main().
struct Program {
  std::string_view name;     // "vantor"
  std::string_view help;     // the --help text: purpose, input layout, files, example
  std::string_view waiting;  // what standard input holds first, for the terminal hint
  void (*run)(Context& context);
  Arguments arguments = Arguments::kNone;
};

}  // namespace suite

#endif  // CIRCARRAY_SUITE_PROGRAM_H_
