#include "profile_inversion/curve_input.h"

#include <sstream>

#include "curve/curve_file.h"
#include "profile_inversion/input_text.h"
#include "textio/errors.h"

namespace circinv {
namespace {

// Whether the text is a curve file once its standard errors are ignored.
bool ReadsWithoutErrors(const InputText& input) {
  std::istringstream in(input.text);
  try {
    curve::ParseCurve(in, input.shown, curve::StandardErrors::kIgnored);
    return true;
  } catch (const textio::InputError&) {
    return false;
  }
}

}  // namespace

CurveInput ReadCurveInput(suite::Context& context, const std::string& name, Wave wave) {
  const InputText input = ReadInputText(context, name);
  std::istringstream in(input.text);
  curve::Curve read;
  try {
    read = curve::ParseCurve(in, input.shown, curve::StandardErrors::kRequired);
  } catch (const textio::InputError& e) {
    if (!ReadsWithoutErrors(input)) throw;
    // A standard error is missing or not positive, on a line that is
    // otherwise a point of the curve.
    throw textio::InputError(std::string(e.what()) +
                             "; the misfit weighs each point by it: give one, e.g. 3 % of c with "
                             "awk 'NF && !/^#/ {$3 = 0.03 * $2} 1' CURVE > CURVE_SE");
  }
  CurveInput result{input.shown, {wave, {}, {}, {}}, read.without_estimate};
  for (const curve::Point& p : read.points) {
    result.curve.frequency.push_back(p.f);
    result.curve.velocity.push_back(p.c);
    result.curve.sigma.push_back(p.se);
  }
  return result;
}

}  // namespace circinv
