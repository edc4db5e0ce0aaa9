#include "profile_inversion/forward_run.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "curve/curve_file.h"
#include "profile_inversion/dispersion.h"
#include "profile_inversion/input_text.h"
#include "profile_inversion/model_file.h"
#include "profile_inversion/observed_curve.h"
#include "suite/runtime.h"
#include "textio/errors.h"
#include "textio/format.h"
#include "textio/printable.h"

namespace circinv {
namespace {

// The digits of the curve, as circspec's and circdisp's curve tables: far
// finer than any measured curve, and above the rounding of the forward
// model on every platform.
constexpr int kDigits = 9;

// The frequencies to compute and the header line that says whence they come.
struct Frequencies {
  std::vector<double> values;
  std::string described;
};

// Every frequency of the file, those of its rows without an estimate too:
// the curve then lines up with the file row by row.
Frequencies FrequenciesOf(suite::Context& context, const std::string& name) {
  const InputText input = ReadInputText(context, name);
  std::istringstream in(input.text);
  const curve::Curve read = curve::ParseCurve(in, input.shown, curve::StandardErrors::kIgnored);
  Frequencies f;
  for (const curve::Point& p : read.points) f.values.push_back(p.f);
  for (const curve::Point& p : read.unestimated) f.values.push_back(p.f);
  std::sort(f.values.begin(), f.values.end());
  f.described = "frequencies: the " + std::to_string(f.values.size()) + " of " + textio::Printable(input.shown);
  if (read.without_estimate > 0)
    f.described += " (" + std::to_string(read.without_estimate) + " without an estimate there)";
  return f;
}

Frequencies GridOf(const curve::GridChoice& grid) {
  Frequencies f{curve::MakeGrid(grid), ""};
  if (grid.count == 1) {
    f.described = "frequency: " + textio::Shortest(grid.fmin) + " Hz";
  } else {
    f.described = "frequencies: " + std::to_string(grid.count) + " from " + textio::Shortest(grid.fmin) + " to " +
                  textio::Shortest(grid.fmax) + " Hz, equally spaced in " +
                  (grid.kind == curve::GridKind::kLog ? "log f" : "f");
  }
  return f;
}

// The output replaces what is there: never one of the inputs.
void CheckOutputIsNoInput(const suite::Context& context, const ForwardRequest& r) {
  if (!r.output) return;
  for (const std::optional<std::string>& input : {std::optional<std::string>(r.model), r.at}) {
    if (input && SameFile(context, *r.output, *input)) {
      throw textio::RuntimeError("--output: '" + textio::Printable(*r.output) + "' is the input file '" +
                                 textio::Printable(*input) + "'");
    }
  }
}

std::string LayerCount(const LayeredModel& model) {
  const size_t n = model.layers.size() - 1;
  if (n == 0) return "a half-space alone";
  return std::to_string(n) + (n == 1 ? " layer" : " layers") + " over a half-space";
}

}  // namespace

void RunForward(suite::Context& context, const ForwardRequest& r) {
  CheckOutputIsNoInput(context, r);
  const InputText model_text = ReadInputText(context, r.model);
  std::istringstream model_in(model_text.text);
  const LayeredModel model = ReadModel(model_in, model_text.shown);
  const Frequencies f = r.at ? FrequenciesOf(context, *r.at) : GridOf(r.grid);

  std::vector<double> c(f.values.size());
  DispersionSolver solver(r.wave);
  solver.PhaseVelocities(model, f.values, c);

  textio::Output& out = r.output ? context.OutputOnFirstLine(*r.output).out() : context.out();
  out.Line("# circinv (circarray) " + std::string(suite::Version()));
  out.Line("# model: " + textio::Printable(model_text.shown) + ", " + LayerCount(model));
  out.Line(std::string("# ") + WaveName(r.wave) +
           " waves, fundamental mode: phase velocity c (m/s) at frequency freq (Hz), nan where the mode does "
           "not exist");
  out.Line("# " + f.described);
  out.Line("# freq c");
  for (size_t i = 0; i < c.size(); ++i) {
    std::string* line = out.buffer();
    textio::AppendScientific(line, f.values[i], kDigits);
    line->push_back(' ');
    textio::AppendScientific(line, c[i], kDigits);
    line->push_back('\n');
    out.Commit();
  }
}

}  // namespace circinv
