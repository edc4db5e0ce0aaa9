#include "array_synthesis/dispersion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "textio/errors.h"
#include "textio/free_reader.h"
#include "textio/require.h"

namespace circsim {

DispersionCurve DispersionCurve::FromPoints(std::vector<std::pair<double, double>> points) {
  DispersionCurve curve;
  for (auto& [f, c] : points) {
    f = std::log(f);
    c = std::log(c);
  }
  curve.points_ = std::move(points);
  return curve;
}

DispersionCurve DispersionCurve::Scaled(double factor) const {
  DispersionCurve curve = *this;
  curve.factor_ *= factor;
  return curve;
}

double DispersionCurve::Velocity(double f) const {
  if (points_.empty()) {
    const double q = f / 4;
    return factor_ * (180 + 520 / (1 + q * q));
  }
  const double x = std::log(f);
  if (!(x > points_.front().first)) return factor_ * std::exp(points_.front().second);
  if (x >= points_.back().first) return factor_ * std::exp(points_.back().second);
  // First point above x; x lies in [below.first, above.first).
  const auto above =
      std::upper_bound(points_.begin(), points_.end(), x, [](double v, const auto& p) { return v < p.first; });
  const auto below = above - 1;
  const double t = (x - below->first) / (above->first - below->first);
  return factor_ * std::exp(below->second + t * (above->second - below->second));
}

DispersionCurve ReadDispersionCurve(suite::Context& context, const std::string& name) {
  suite::InputFile& file = context.OpenInput(name);
  const std::string& path = file.name();
  textio::FreeReader reader(file.stream());
  std::vector<std::pair<double, double>> points;
  long previous_line = 0;
  for (;;) {
    constexpr double kUnset = std::numeric_limits<double>::quiet_NaN();
    std::array<double, 2> v{kUnset, kUnset};
    const textio::ReadResult r = reader.ReadDoubles(v);
    if (r.status == textio::ReadStatus::kEnd && std::isnan(v[0])) break;  // clean end
    const std::string where = path + " line " + std::to_string(r.line) + ": ";
    if (r.status == textio::ReadStatus::kEnd) {
      throw textio::InputError(path + ": the file ends inside a point (a frequency without its velocity)");
    }
    if (!r.ok()) throw textio::InputError(path + " " + textio::DescribeFailure(r, "a point 'frequency velocity'"));
    if (!(std::isfinite(v[0]) && std::isfinite(v[1]) && v[0] > 0 && v[1] > 0)) {
      throw textio::InputError(where + "expected a positive frequency and velocity");
    }
    if (!points.empty() && !(v[0] > points.back().first)) {
      throw textio::InputError(where + "frequencies must increase (the point before is on line " +
                               std::to_string(previous_line) + ")");
    }
    points.emplace_back(v[0], v[1]);
    previous_line = r.line;
  }
  if (points.empty()) throw textio::InputError(path + ": no points 'frequency velocity'");
  context.Close(file);
  return DispersionCurve::FromPoints(std::move(points));
}

}  // namespace circsim
