#include "suite/options.h"

#include <getopt.h>

#include "textio/number.h"

namespace suite {

UsageError::UsageError(const std::string& message) : textio::RuntimeError(message + " (see --help)") {}

std::vector<std::string> ParseOptions(
    const std::vector<std::string>& args, std::span<const Option> options,
    const std::function<void(std::string_view name, const std::string& value)>& on_option) {
  // getopt_long permutes and reads a mutable argv; give it copies.
  std::vector<std::string> storage;
  storage.reserve(args.size() + 1);
  storage.push_back("program");
  storage.insert(storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);

  std::vector<option> table;
  std::string letters = ":";  // leading ':' reports a missing value as ':'
  for (size_t i = 0; i < options.size(); ++i) {
    const Option& o = options[i];
    table.push_back({o.name, o.takes_value ? required_argument : no_argument, nullptr, static_cast<int>(256 + i)});
    if (o.letter != 0) {
      letters += o.letter;
      if (o.takes_value) letters += ':';
    }
  }
  table.push_back({nullptr, 0, nullptr, 0});

  auto find_letter = [&](int c) -> const Option* {
    for (const Option& o : options) {
      if (o.letter == c) return &o;
    }
    return nullptr;
  };

  // getopt keeps its state in globals: start afresh on every call (glibc
  // reinitialises when optind is 0) and keep it from printing.
  optind = 0;
  opterr = 0;
  const int argc = static_cast<int>(storage.size());
  for (;;) {
    int index = -1;
    const int c = getopt_long(argc, argv.data(), letters.c_str(), table.data(), &index);
    if (c == -1) break;
    const std::string offending = optind >= 1 && optind <= argc ? argv[static_cast<size_t>(optind - 1)] : "";
    if (c == '?') {
      if (optopt >= 256 && static_cast<size_t>(optopt - 256) < options.size()) {
        throw UsageError("option '--" + std::string(options[static_cast<size_t>(optopt - 256)].name) +
                         "' takes no value");
      }
      if (optopt != 0) throw UsageError("unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'");
      throw UsageError("unknown option '" + offending + "'");
    }
    if (c == ':') {
      const Option* o = optopt >= 256 && static_cast<size_t>(optopt - 256) < options.size()
                            ? &options[static_cast<size_t>(optopt - 256)]
                            : find_letter(optopt);
      throw UsageError("option '--" + std::string(o != nullptr ? o->name : "?") + "' needs a value");
    }
    const Option* o = c >= 256 ? &options[static_cast<size_t>(c - 256)] : find_letter(c);
    on_option(o->name, optarg != nullptr ? std::string(optarg) : std::string());
    // The further values are the arguments that follow, whatever they look
    // like; stepping optind past them makes getopt treat them as taken.
    for (int i = 0; i < o->more_values; ++i) {
      if (optind >= argc) {
        throw UsageError("option '--" + std::string(o->name) + "' needs " + std::to_string(o->more_values + 1) +
                         " values");
      }
      on_option(o->name, std::string(argv[static_cast<size_t>(optind)]));
      ++optind;
    }
  }
  // The operands, in their order, are where getopt moved them: at the end.
  std::vector<std::string> operands;
  for (int i = optind; i < argc; ++i) operands.emplace_back(argv[static_cast<size_t>(i)]);
  return operands;
}

namespace {

// The value of `option` as `parse` reads it, else a UsageError saying
// what it needs (`kind`: "a number", ...).
template <typename T>
T OptionValue(std::string_view option, const std::string& value, bool (*parse)(std::string_view, T*),
              const char* kind) {
  T v = 0;
  if (!parse(value, &v)) {
    throw UsageError("option '--" + std::string(option) + "' needs " + kind + ", not '" + value + "'");
  }
  return v;
}

}  // namespace

double OptionReal(std::string_view option, const std::string& value) {
  return OptionValue(option, value, textio::ParseDouble, "a number");
}

int32_t OptionInteger(std::string_view option, const std::string& value) {
  return OptionValue(option, value, textio::ParseInt32, "an integer");
}

}  // namespace suite
