#include <algorithm>
#include <cmath>

#include "result_plot/read_inputs.h"
#include "textio/errors.h"
#include "textio/number.h"

namespace circplot {

TrueCurve ReadTrueCurve(const std::string& source, const std::vector<TextLine>& lines) {
  TrueCurve curve{source, {}};
  for (const TextLine& line : lines) {
    if (IsBlank(line.text) || Trimmed(line.text).starts_with('#')) continue;
    const std::vector<std::string_view> fields = Fields(line.text);
    double f = 0.0, v = 0.0;
    if (fields.size() < 2 || !textio::ParseDouble(fields[0], &f) || !textio::ParseDouble(fields[1], &v)) {
      throw textio::InputError(AtLine(source, line.number, "not a pair 'frequency velocity': " + Shown(line.text)));
    }
    // Positive values: the curve is interpolated in the logarithms.
    if (!(std::isfinite(f) && std::isfinite(v) && f > 0.0 && v > 0.0)) {
      throw textio::InputError(AtLine(
          source, line.number, "the frequency and velocity of a true curve must be positive: " + Shown(line.text)));
    }
    curve.velocities.push_back({f, v, 0.0});
  }
  if (curve.velocities.empty()) throw textio::InputError(source + ": no pairs 'frequency velocity' (empty)");
  std::stable_sort(curve.velocities.begin(), curve.velocities.end(),
                   [](const Point& a, const Point& b) { return a.f < b.f; });
  return curve;
}

}  // namespace circplot
