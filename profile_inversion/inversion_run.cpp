#include "profile_inversion/inversion_run.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "profile_inversion/curve_input.h"
#include "profile_inversion/input_text.h"
#include "profile_inversion/inversion.h"
#include "profile_inversion/param_file.h"
#include "profile_inversion/result_files.h"
#include "profile_inversion/summary.h"
#include "textio/errors.h"
#include "textio/format.h"
#include "textio/printable.h"

namespace circinv {
namespace {

namespace fs = std::filesystem;

// The checks WriteResults makes at the end, made before the search too, so
// that a directory that cannot take the results does not cost the run.
void CheckResultDirectory(const suite::Context& context, const std::string& name) {
  const std::string shown = textio::Printable(name);
  fs::path path = context.Resolve(name).lexically_normal();
  if (!path.has_filename() && path.has_relative_path()) path = path.parent_path();
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (fs::exists(status)) {
    if (!fs::is_directory(status)) {
      throw textio::RuntimeError("--output: \"" + shown + "\" exists and is not a directory");
    }
    if (!fs::is_empty(path, ec) || ec) {
      throw textio::RuntimeError("--output: the result directory \"" + shown +
                                 "\" exists and is not empty (give a new name, or empty it)");
    }
    return;
  }
  const fs::path parent = path.parent_path();
  if (!parent.empty() && !fs::is_directory(parent, ec)) {
    throw textio::RuntimeError("--output: no folder \"" + textio::Printable(parent.string()) +
                               "\" to make the result directory in");
  }
}

// The ranges of the search: those of the param file, or those made from
// the data. --increasing adds the constraint to either.
ParameterSpace SpaceOf(suite::Context& context, const InversionRequest& request,
                       const std::vector<ObservedCurve>& curves) {
  if (!request.param) {
    ParameterSpace space = DefaultParameterSpace(curves, request.layers);
    space.increasing = request.increasing;
    return space;
  }
  const InputText input = ReadInputText(context, *request.param);
  std::istringstream in(input.text);
  ParameterSpace space = ReadParameterSpace(in, input.shown);
  if (request.increasing && !space.increasing) {
    space.increasing = true;
    try {
      Parameterisation check(space);
    } catch (const textio::InputError& e) {
      throw textio::InputError(input.shown + " with --increasing: " + e.what());
    }
  }
  if (Parameterisation(space).dimension() == 0) {
    throw textio::InputError(input.shown +
                             ": every parameter is fixed (each minimum equals its maximum): nothing "
                             "to search");
  }
  return space;
}

// The line on standard error that follows the search while it is a
// terminal, overwritten in place at most four times a second and wiped at
// the end, however the search ends.
class ProgressLine {
 public:
  ProgressLine(std::ostream& err, int64_t models) : err_(err), models_(std::to_string(models)) {}
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  ~ProgressLine() {
    if (shown_) err_ << "\r\033[K" << std::flush;
  }
  void operator()(int64_t done, double best_misfit) {
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - last_ < std::chrono::milliseconds(250)) return;
    last_ = now;
    shown_ = true;
    err_ << "\rcircinv: " << std::to_string(done) << " of " << models_ << " models, best misfit "
         << textio::Scientific(best_misfit, 4).substr(1) << std::flush;
  }

 private:
  std::ostream& err_;
  std::string models_;
  std::chrono::steady_clock::time_point last_{};
  bool shown_ = false;
};

}  // namespace

void RunInversion(suite::Context& context, const InversionRequest& request) {
  if (request.output) CheckResultDirectory(context, *request.output);
  if (request.rayleigh && request.love && SameFile(context, *request.rayleigh, *request.love)) {
    throw textio::RuntimeError("--love: '" + textio::Printable(*request.love) +
                               "' is the Rayleigh curve too: a Love curve is measured on the transverse motion");
  }
  std::vector<CurveInput> inputs;
  if (request.rayleigh) inputs.push_back(ReadCurveInput(context, *request.rayleigh, Wave::kRayleigh));
  if (request.love) inputs.push_back(ReadCurveInput(context, *request.love, Wave::kLove));
  std::vector<ObservedCurve> curves;
  for (const CurveInput& input : inputs) curves.push_back(input.curve);
  const ParameterSpace space = SpaceOf(context, request, curves);

  InversionSettings settings;
  settings.search = request.search;
  std::optional<ProgressLine> progress_line;
  SearchProgress progress;
  if (context.stderr_is_terminal()) {
    progress_line.emplace(context.err(), request.search.models);
    progress = [&progress_line](int64_t done, double best) { (*progress_line)(done, best); };
  }
  const InversionResult result = Invert(std::move(curves), space, settings, progress);
  progress_line.reset();

  if (request.output) WriteResults(context.Resolve(*request.output), result, textio::Printable(*request.output));
  WriteSummary(context.out(), result, inputs, request);
}

}  // namespace circinv
