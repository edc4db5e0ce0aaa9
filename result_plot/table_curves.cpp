#include <algorithm>
#include <cmath>
#include <numbers>

#include "array/ring_models.h"
#include "result_plot/labels.h"
#include "result_plot/panels.h"

namespace circplot {

namespace {

// "3 invalid estimates (noise 2, branch 1)".
std::string Invalid(const VelocityTable::Series& series) {
  const size_t n = series.invalid.size();
  std::string text = std::to_string(n) + (n == 1 ? " invalid estimate (" : " invalid estimates (");
  bool first = true;
  for (const auto& [flag, count] : series.invalid_flags) {
    text += (first ? "" : ", ") + flag + " " + std::to_string(count);
    first = false;
  }
  return text + ")";
}

// The frequencies a table covers, estimates of every series and its eps.
bool FrequencySpan(const VelocityTable& table, double* fmin, double* fmax) {
  *fmin = INFINITY;
  *fmax = -INFINITY;
  auto span = [&](const std::vector<Point>& points) {
    for (const Point& p : points) {
      *fmin = std::min(*fmin, p.f);
      *fmax = std::max(*fmax, p.f);
    }
  };
  for (const VelocityTable::Series& s : table.series) {
    span(s.valid);
    span(s.invalid);
  }
  span(table.eps);
  return *fmin < *fmax;
}

}  // namespace

void AddTableCurves(const VelocityTable& table, bool all, int* colour, Panel* panel) {
  const std::string name = Name(table.source);
  for (const VelocityTable::Series& s : table.series) {
    const std::string what = s.method.empty()
                                 ? name + " (" + table.writer + (table.writer == "circspec" ? ", best" : "") + ")"
                                 : name + ", " + s.method + " (" + table.writer + ")";
    std::string label = what + ", bars: 1 standard error";
    if (!s.invalid.empty() && !all) label += "; " + Invalid(s) + " left out";
    const std::string content =
        "phase velocities " + (s.method.empty() ? "" : "c_" + s.method + " ") + "of " + table.source;
    if (!s.valid.empty()) panel->curves.push_back({label, content, Style::kErrorLines, *colour, s.valid, Span::kData});
    if (all && !s.invalid.empty()) {
      panel->curves.push_back({what + ": " + Invalid(s) + ", hollow", "invalid " + content, Style::kHollowBars, *colour,
                               s.invalid, Span::kPoint});
    }
    ++*colour;
  }
}

void AddRingLimits(const VelocityTable& table, Panel* panel, std::vector<std::string>* notes) {
  if (!table.radius) return;
  const double r = *table.radius;
  const std::string name = Name(table.source);
  double fmin = 0.0, fmax = 0.0;
  if (FrequencySpan(table, &fmin, &fmax)) {
    // lambda = c / f = 2 r: a straight line on logarithmic axes.
    panel->curves.push_back(
        {"lambda = 2 r = " + LabelNumber(2.0 * r) + " m, " + name + " (below: waves shorter than the ring's diameter)",
         "c = 2 r f, r = " + LabelNumber(r, 17) + " m, of " + table.source,
         Style::kWavelength,
         0,
         {{fmin, 2.0 * r * fmin}, {fmax, 2.0 * r * fmax}},
         Span::kLine});
  }
  if (table.eps.empty()) return;
  if (!table.stations) {
    notes->push_back(name +
                     ": the header gives no station count beside the radius (\"radius 10 m, 5 stations\"): "
                     "the resolution limit is not drawn");
    return;
  }
  // The longest wavelength the ring resolves at the noise ratio eps of each
  // frequency: lambda_max = 2 pi r / x(eps, N), as a velocity c = lambda_max f.
  std::vector<Point> limit;
  bool gap = false;
  for (const Point& e : table.eps) {
    const double x = array::ResolutionLimitKr(e.v, *table.stations);
    if (!(x > 0.0)) {
      gap = true;
      continue;
    }
    limit.push_back({e.f, 2.0 * std::numbers::pi * r / x * e.f, 0.0, gap && !limit.empty()});
    gap = false;
  }
  if (limit.empty()) return;
  panel->curves.push_back({"resolution limit lambda_max(eps) = 2 pi r / x(eps, N = " + std::to_string(*table.stations) +
                               "), " + name + " (above: not resolved)",
                           "c = lambda_max(eps) f of the ring of " + table.source, Style::kLimit, 0, std::move(limit),
                           Span::kLine});
}

}  // namespace circplot
