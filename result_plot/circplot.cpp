#include "suite/programs.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "result_plot/gnuplot_run.h"
#include "result_plot/inversion_files.h"
#include "result_plot/picture.h"
#include "result_plot/read_inputs.h"
#include "result_plot/readers.h"
#include "result_plot/script.h"
#include "suite/options.h"
#include "textio/errors.h"

namespace circplot {

namespace {

constexpr std::string_view kStandardInput = "-";
constexpr std::string_view kDefaultOutput = "circplot.png";

constexpr suite::Option kOptions[] = {
    {"output", true, 'o'}, {"title", true},  {"radius", true}, {"fort7", true},
    {"true", true},        {"script", true}, {"all", false},
};

struct Settings {
  std::string output{kDefaultOutput};
  Format format = Format::kPng;
  std::string script;  // "" = the output's name with ".gp" appended
  std::string title;
  std::optional<double> radius;
  std::vector<std::string> fort7;
  std::string truth;
  bool all = false;
  std::vector<std::string> inputs;
};

bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  text.remove_prefix(text.size() - ending.size());
  for (size_t i = 0; i < ending.size(); ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != ending[i]) return false;
  }
  return true;
}

Format PictureFormat(const std::string& output) {
  if (EndsWithIgnoringCase(output, ".png")) return Format::kPng;
  if (EndsWithIgnoringCase(output, ".svg")) return Format::kSvg;
  throw suite::OptionValueError("output", "a picture name ending in .png or .svg", output);
}

Settings ParseCommandLine(const std::vector<std::string>& args) {
  Settings s;
  const suite::CommandLine line(args, kOptions);
  s.output = line.Text("output").value_or(s.output);
  s.script = line.Text("script").value_or(s.script);
  s.title = line.Text("title").value_or(s.title);
  s.fort7 = line.Every("fort7");
  s.truth = line.Text("true").value_or(s.truth);
  s.radius = line.Number("radius", suite::Positive("a positive ring radius in metres"));
  s.all = line.Has("all");
  s.inputs = line.operands();
  if (s.inputs.empty()) s.inputs.emplace_back(kStandardInput);
  int standard_inputs = 0;
  for (const std::string& input : s.inputs) standard_inputs += input == kStandardInput ? 1 : 0;
  if (standard_inputs > 1) throw suite::UsageError("standard input ('-') can be read only once");
  for (char c : s.output) {
    if (static_cast<unsigned char>(c) < 0x20) {
      throw suite::UsageError("--output: names a file with a control character in its name");
    }
  }
  s.format = PictureFormat(s.output);
  if (s.script.empty()) s.script = s.output + ".gp";
  return s;
}

// Whether two names given to the run lead to the same file (which need
// not exist yet).
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error_a, error_b;
  if (std::filesystem::equivalent(a, b, error_a)) return true;
  const std::filesystem::path ca = std::filesystem::weakly_canonical(a, error_a);
  const std::filesystem::path cb = std::filesystem::weakly_canonical(b, error_b);
  return !error_a && !error_b && ca == cb;
}

// Writing the script or the picture over an input would destroy it.
void RefuseOverwriting(suite::Context& context, const Settings& s) {
  const std::filesystem::path output = context.Resolve(s.output);
  const std::filesystem::path script = context.Resolve(s.script);
  if (SameFile(output, script)) throw suite::UsageError("the script and the picture would be the same file");
  std::vector<std::string> read = s.fort7;
  read.insert(read.end(), s.inputs.begin(), s.inputs.end());
  if (!s.truth.empty()) read.push_back(s.truth);
  for (const std::string& input : read) {
    if (input == kStandardInput) continue;
    std::vector<std::filesystem::path> paths = {context.Resolve(input)};
    std::error_code error;
    if (std::filesystem::is_directory(paths[0], error)) {
      // circinv's result directory: the files read from it.
      for (const char* file : {"profile.txt", "fit.txt", "ensemble.txt", "best_model.txt"}) {
        paths.push_back(paths[0] / file);
      }
    }
    for (const std::filesystem::path& path : paths) {
      if (SameFile(path, output) || SameFile(path, script)) {
        throw suite::UsageError("the input '" + input + "' would be overwritten by circplot's output");
      }
    }
  }
}

bool IsDirectory(const suite::Context& context, const std::string& name) {
  std::error_code error;
  return name != kStandardInput && std::filesystem::is_directory(context.Resolve(name), error);
}

std::vector<TextLine> LinesOf(suite::Context& context, const std::string& name) {
  if (name == kStandardInput) {
    if (context.stdin_is_terminal()) {
      context.Warn(
          "reading a circspec table, a dispersion-curve table, vantor or quillon output from standard input "
          "(end with Ctrl-D; "
          "'circplot --help' explains the inputs)");
    }
    return ReadLines(context.in());
  }
  suite::InputFile& file = context.OpenInput(name);
  std::vector<TextLine> lines = ReadLines(file.stream());
  context.Close(file);
  return lines;
}

std::string SourceName(const std::string& name) {
  return name == kStandardInput ? std::string("standard input") : name;
}

Request ReadRequest(suite::Context& context, const Settings& s) {
  Request request;
  request.output = s.output;
  request.format = s.format;
  request.title = s.title;
  request.radius = s.radius;
  request.all = s.all;
  for (const std::string& name : s.inputs) {
    if (IsDirectory(context, name)) {
      if (!IsInversionDirectory(context, name)) {
        throw textio::InputError(name + ": a directory without circinv's results (profile.txt and fit.txt)");
      }
      request.inputs.push_back(ReadInversionRun(context, name));
      continue;
    }
    ReadInput read = RecogniseInput(SourceName(name), LinesOf(context, name));
    if (read.stop_message) {
      context.Warn(AtLine(SourceName(name), read.stop_line,
                          "the run that wrote it stopped with the message '" + *read.stop_message +
                              "'; the lines before it are drawn"));
    }
    request.inputs.push_back(std::move(read.input));
  }
  for (const std::string& name : s.fort7) request.limits.push_back(ReadFort7(name, LinesOf(context, name)));
  if (!s.truth.empty()) request.truth = curve::ReadCurve(context, s.truth);
  return request;
}

}  // namespace

void Run(suite::Context& context) {
  const Settings settings = ParseCommandLine(context.args());
  RefuseOverwriting(context, settings);
  const Request request = ReadRequest(context, settings);
  std::vector<std::string> notes;
  const Picture picture = Compose(request, &notes);
  for (const std::string& note : notes) context.Warn(note);

  suite::OutputFile& script = context.CreateOutput(settings.script);
  script.out().Write(GnuplotScript(picture));
  context.Close(script);

  const std::optional<std::filesystem::path> gnuplot = FindOnPath("gnuplot");
  if (!gnuplot) {
    context.Warn(
        "gnuplot is not installed, so the picture was not drawn; install it (apt-get install gnuplot-nox) "
        "and run: gnuplot '" +
        settings.script + "'");
    return;
  }
  const GnuplotOutcome outcome = RunGnuplot(*gnuplot, settings.script, context.Resolve("."));
  context.err() << outcome.messages;
  context.err().flush();
  if (!outcome.ok()) {
    throw textio::RuntimeError("gnuplot failed on the script \"" + settings.script + "\" (" + outcome.Describe() +
                               "); the script is left in place");
  }
  std::error_code error;
  const auto bytes = std::filesystem::file_size(context.Resolve(settings.output), error);
  if (error || bytes == 0) throw textio::RuntimeError("gnuplot wrote no picture \"" + settings.output + "\"");
}

}  // namespace circplot
