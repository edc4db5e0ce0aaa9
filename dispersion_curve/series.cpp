#include "dispersion_curve/series.h"

#include <algorithm>
#include <cmath>

#include "textio/errors.h"
#include "textio/printable.h"

namespace circdisp {

namespace {

bool Positive(double v) { return std::isfinite(v) && v > 0; }

// The rows of `method` whose flag is "ok", checked.
std::vector<Point> MethodPoints(const curve::CurveTable& table, const std::string& method) {
  const std::string c_name = "c_" + method, se_name = "c_" + method + "_se";
  const std::vector<double> f = table.Column("freq"), c = table.Column(c_name), se = table.Column(se_name);
  const size_t flag = *table.Find("flag_" + method);
  std::vector<Point> points;
  for (size_t i = 0; i < table.rows.size(); ++i) {
    if (table.rows[i][flag] != curve::kValidFlag) continue;
    const std::string where = table.source + " line " + std::to_string(table.row_lines[i]) + ": ";
    if (!Positive(c[i])) {
      throw textio::InputError(where + c_name + " must be a positive number where flag_" + method + " is ok, got '" +
                               textio::Printable(table.rows[i][*table.Find(c_name)]) + "'");
    }
    if (!Positive(se[i])) {
      throw textio::InputError(where + se_name + " must be a positive number where flag_" + method + " is ok, got '" +
                               textio::Printable(table.rows[i][*table.Find(se_name)]) + "'");
    }
    points.push_back({f[i], c[i], se[i]});
  }
  std::sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.f < b.f; });
  return points;
}

}  // namespace

std::optional<Point> Series::At(double f) const {
  // The first estimate not below f by more than the tolerance.
  const auto at = std::lower_bound(points.begin(), points.end(), f * (1 - kSameFrequency),
                                   [](const Point& p, double x) { return p.f < x; });
  if (at != points.end() && at->f <= f * (1 + kSameFrequency)) return *at;
  if (at == points.begin() || at == points.end()) return std::nullopt;  // beyond the first or the last
  const Point& below = *(at - 1);
  const double t = std::log(f / below.f) / std::log(at->f / below.f);
  const double c = std::exp(std::log(below.c) + t * (std::log(at->c) - std::log(below.c)));
  const double se = below.se + t * (at->se - below.se);
  return Point{f, c, se};
}

Series SeriesOf(const curve::CurveTable& table, const std::string& method, std::string label) {
  Series s;
  s.label = std::move(label);
  if (!method.empty()) {
    s.points = MethodPoints(table, method);
    return s;
  }
  // The reader has checked the first three columns: a positive velocity
  // or nan, and a positive standard error beside every velocity.
  for (const curve::Estimate& e : table.EstimatesOf("")) s.points.push_back({e.f, e.c, e.se});
  return s;
}

}  // namespace circdisp
