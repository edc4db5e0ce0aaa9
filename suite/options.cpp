#include "suite/options.h"

#include <getopt.h>

#include <cmath>

#include "textio/number.h"

namespace suite {

namespace {

std::string Dashed(std::string_view name) { return "--" + std::string(name); }

}  // namespace

UsageError::UsageError(const std::string& message) : textio::RuntimeError(message + " (see --help)") {}

OptionValueError::OptionValueError(std::string_view option, std::string_view expected, std::string_view got)
    : UsageError(Dashed(option) + ": expected " + std::string(expected) + ", got '" + std::string(got) + "'",
                 Verbatim{}) {}

bool NumberRule::Allows(double v) const {
  if (!std::isfinite(v)) return false;
  const bool above = min_open ? v > min : v >= min;
  const bool below = max_open ? v < max : v <= max;
  return above && below;
}

CommandLine::CommandLine(const std::vector<std::string>& args, std::span<const Option> options) {
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

  auto find = [&](int c) -> const Option* {
    if (c >= 256 && static_cast<size_t>(c - 256) < options.size()) return &options[static_cast<size_t>(c - 256)];
    for (const Option& o : options) {
      if (o.letter != 0 && o.letter == c) return &o;
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
      if (const Option* o = optopt >= 256 ? find(optopt) : nullptr)
        throw UsageError(Dashed(o->name) + ": takes no value");
      if (optopt != 0) throw UsageError("unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'");
      throw UsageError("unknown option '" + offending + "'");
    }
    const Option* o = find(c == ':' ? optopt : c);
    if (c == ':') throw UsageError(Dashed(o != nullptr ? o->name : "?") + ": needs a value");
    std::vector<std::string> values;
    if (o->takes_value) values.emplace_back(optarg != nullptr ? optarg : "");
    // The further values are the arguments that follow, whatever they look
    // like; stepping optind past them makes getopt treat them as taken.
    for (int i = 0; i < o->more_values; ++i) {
      if (optind >= argc)
        throw UsageError(Dashed(o->name) + ": needs " + std::to_string(o->more_values + 1) + " values");
      values.emplace_back(argv[static_cast<size_t>(optind)]);
      ++optind;
    }
    given_[o->name].push_back(std::move(values));
  }
  // The operands, in their order, are where getopt moved them: at the end.
  for (int i = optind; i < argc; ++i) operands_.emplace_back(argv[static_cast<size_t>(i)]);
}

bool CommandLine::Has(std::string_view name) const { return given_.find(name) != given_.end(); }

std::optional<std::string> CommandLine::Text(std::string_view name) const {
  const auto it = given_.find(name);
  if (it == given_.end() || it->second.back().empty()) return std::nullopt;
  return it->second.back().front();
}

std::vector<std::string> CommandLine::Every(std::string_view name) const {
  std::vector<std::string> all;
  const auto it = given_.find(name);
  if (it == given_.end()) return all;
  for (const std::vector<std::string>& values : it->second) all.insert(all.end(), values.begin(), values.end());
  return all;
}

std::optional<std::vector<double>> CommandLine::Numbers(std::string_view name, const NumberRule& rule) const {
  const auto it = given_.find(name);
  if (it == given_.end()) return std::nullopt;
  std::vector<double> numbers;
  for (const std::string& text : it->second.back()) {
    double v = 0;
    if (!textio::ParseDouble(text, &v) || !rule.Allows(v)) throw OptionValueError(name, rule.expected, text);
    numbers.push_back(v);
  }
  return numbers;
}

std::optional<double> CommandLine::Number(std::string_view name, const NumberRule& rule) const {
  const std::optional<std::vector<double>> v = Numbers(name, rule);
  if (!v || v->empty()) return std::nullopt;
  return v->front();
}

std::optional<int32_t> CommandLine::Integer(std::string_view name, int32_t min, int32_t max,
                                            std::string_view expected) const {
  const std::optional<std::string> text = Text(name);
  if (!text) return std::nullopt;
  int32_t v = 0;
  if (!textio::ParseInt32(*text, &v) || v < min || v > max) throw OptionValueError(name, expected, *text);
  return v;
}

std::string CommandLine::Alternatives(const std::vector<std::string_view>& words) {
  std::string text;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " or " : ", ";
    text += words[i];
  }
  return text;
}

}  // namespace suite
