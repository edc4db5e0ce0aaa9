#include "curve/curve_file.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "textio/errors.h"
#include "textio/fields.h"
#include "textio/format.h"
#include "textio/line_source.h"
#include "textio/number.h"
#include "textio/printable.h"

namespace curve {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class Parser {
 public:
  Parser(std::string source, StandardErrors se) : se_(se) { curve_.source = std::move(source); }

  void Add(std::string_view text, long line) {
    const std::vector<std::string_view> fields = textio::SplitFields(text.substr(0, text.find('#')), " \t\r,");
    if (fields.empty()) return;
    const size_t wanted = se_ == StandardErrors::kRequired ? 3 : 2;
    if (fields.size() < wanted) {
      Fail(line, se_ == StandardErrors::kRequired
                     ? "expected 'frequency velocity standard_error', got " + Count(fields.size()) +
                           " (a standard error is needed in the third column)"
                     : "expected 'frequency velocity', got " + Count(fields.size()));
    }
    Point p;
    p.line = line;
    p.f = Number(fields[0], "frequency", line);
    p.c = Number(fields[1], "velocity", line);
    p.se = se_ == StandardErrors::kRequired ? Number(fields[2], "standard error", line) : kNaN;
    if (!(std::isnormal(p.f) && p.f > 0)) Fail(line, "the frequency must be positive, got '" + Shown(fields[0]) + "'");
    if (std::isnan(p.c)) {  // a frequency without an estimate
      ++curve_.without_estimate;
      curve_.unestimated.push_back(p);
      return;
    }
    if (!(std::isnormal(p.c) && p.c > 0)) Fail(line, "the velocity must be positive, got '" + Shown(fields[1]) + "'");
    if (se_ == StandardErrors::kRequired && !(std::isfinite(p.se) && p.se > 0)) {
      Fail(line, "the standard error must be positive, got '" + Shown(fields[2]) + "'");
    }
    curve_.points.push_back(p);
  }

  Curve Finish() {
    if (curve_.points.empty()) {
      throw textio::InputError(curve_.source + ": no points 'frequency velocity'" +
                               (curve_.without_estimate > 0 ? " with a velocity (every one is nan)" : ""));
    }
    auto by_frequency = [](const Point& a, const Point& b) { return a.f < b.f; };
    std::stable_sort(curve_.points.begin(), curve_.points.end(), by_frequency);
    std::stable_sort(curve_.unestimated.begin(), curve_.unestimated.end(), by_frequency);
    // Every line counts for the frequencies given twice, with an estimate
    // or without.
    std::vector<Point> all(curve_.points);
    all.insert(all.end(), curve_.unestimated.begin(), curve_.unestimated.end());
    std::stable_sort(all.begin(), all.end(), by_frequency);
    for (size_t i = 1; i < all.size(); ++i) {
      if (all[i].f == all[i - 1].f) {
        const auto [first, second] = std::minmax(all[i - 1].line, all[i].line);
        Fail(second, "frequency " + textio::Shortest(all[i].f) + " Hz is given twice (also on line " +
                         std::to_string(first) + ")");
      }
    }
    return std::move(curve_);
  }

 private:
  static std::string Count(size_t n) { return std::to_string(n) + (n == 1 ? " field" : " fields"); }
  static std::string Shown(std::string_view token) { return textio::Printable(token); }

  [[noreturn]] void Fail(long line, const std::string& what) const {
    throw textio::InputError(curve_.source + " line " + std::to_string(line) + ": " + what);
  }

  double Number(std::string_view token, const char* what, long line) const {
    double v = 0;
    if (!textio::ParseDouble(token, &v)) {
      Fail(line, std::string("expected a number for the ") + what + ", got '" + Shown(token) + "'");
    }
    return v;
  }

  StandardErrors se_;
  Curve curve_;
};

}  // namespace

double Curve::VelocityAt(double f) const {
  const std::vector<Point>& p = points;
  if (!(f > p.front().f)) return p.front().c;
  if (f >= p.back().f) return p.back().c;
  // The first point above f; f lies in [below.f, above.f).
  const auto above = std::upper_bound(p.begin(), p.end(), f, [](double x, const Point& q) { return x < q.f; });
  const Point& below = *(above - 1);
  const double x0 = std::log(below.f), x1 = std::log(above->f);
  const double y0 = std::log(below.c), y1 = std::log(above->c);
  const double t = (std::log(f) - x0) / (x1 - x0);
  return std::exp(y0 + t * (y1 - y0));
}

Curve ParseCurve(std::istream& in, const std::string& source, StandardErrors se) {
  Parser parser(source, se);
  textio::LineSource lines(in);
  std::string_view line;
  while (lines.Next(&line)) parser.Add(line, lines.line_number());
  return parser.Finish();
}

Curve ReadCurve(suite::Context& context, const std::string& name, StandardErrors se) {
  suite::InputFile& file = context.OpenInput(name);
  Curve curve = ParseCurve(file.stream(), name, se);
  context.Close(file);
  return curve;
}

}  // namespace curve
