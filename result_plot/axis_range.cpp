#include "result_plot/axis_range.h"

#include <algorithm>
#include <cmath>

namespace circplot {

namespace {

// The margin on either side, as a fraction of the span.
constexpr double kMargin = 0.1;
// The least half-width of a range on a logarithmic axis, in decades, and
// on a linear one, as a fraction of the value.
constexpr double kLeastLogHalfWidth = 0.02;
constexpr double kLeastLinearHalfWidth = 0.1;
// A tics list shorter than this says too little; one longer than the
// largest is crowded.
constexpr size_t kFewestTics = 4;
constexpr size_t kMostTics = 16;

}  // namespace

AxisRange WithMargin(double lo, double hi, bool log) {
  if (log) {
    const double a = std::log10(lo), b = std::log10(hi);
    const double pad = std::max(kMargin * (b - a), kLeastLogHalfWidth - (b - a) / 2.0);
    return {std::pow(10.0, a - pad), std::pow(10.0, b + pad)};
  }
  const double least = lo != 0.0 || hi != 0.0 ? kLeastLinearHalfWidth * std::max(std::fabs(lo), std::fabs(hi)) : 1.0;
  const double pad = std::max(kMargin * (hi - lo), least - (hi - lo) / 2.0);
  return {lo - pad, hi + pad};
}

std::vector<Point> ClipToRange(const std::vector<Point>& line, AxisRange range, bool log_x, bool log_y) {
  auto shown = [&](const Point& p) {
    return std::isfinite(p.f) && std::isfinite(p.v) && (!log_x || p.f > 0.0) && (!log_y || p.v > 0.0);
  };
  auto x_of = [&](double f) { return log_x ? std::log10(f) : f; };
  auto y_of = [&](double v) { return log_y ? std::log10(v) : v; };
  const double lo = y_of(range.lo), hi = y_of(range.hi);
  std::vector<Point> out;
  // Appends a point; `joined` if the line runs to it from the last one.
  auto add = [&](double f, double v, bool joined) { out.push_back({f, v, 0.0, !joined && !out.empty()}); };
  // The frequency at t along the segment from a to b.
  auto x_at = [&](const Point& a, const Point& b, double t) {
    const double x = x_of(a.f) + t * (x_of(b.f) - x_of(a.f));
    return log_x ? std::pow(10.0, x) : x;
  };
  for (size_t i = 0; i < line.size(); ++i) {
    const Point& b = line[i];
    if (!shown(b)) continue;
    const double yb = y_of(b.v);
    const bool b_inside = yb >= lo && yb <= hi;
    const bool segment = i > 0 && !b.gap_before && shown(line[i - 1]);
    if (!segment) {
      if (b_inside) add(b.f, b.v, false);
      continue;
    }
    const Point& a = line[i - 1];
    const double ya = y_of(a.v);
    // The part t0 <= t <= t1 of the segment a + t (b - a) within the range.
    double t0 = 0.0, t1 = 1.0;
    if (ya == yb) {
      if (!b_inside) continue;
    } else {
      const double t_lo = (lo - ya) / (yb - ya), t_hi = (hi - ya) / (yb - ya);
      t0 = std::max(0.0, std::min(t_lo, t_hi));
      t1 = std::min(1.0, std::max(t_lo, t_hi));
      if (t0 > t1) continue;
    }
    if (t0 > 0.0) {  // enters the range through an edge
      const bool at_lo = ya < lo;
      add(x_at(a, b, t0), at_lo ? range.lo : range.hi, false);
    }
    if (t1 < 1.0) {  // leaves it through an edge
      const bool at_lo = yb < lo;
      add(x_at(a, b, t1), at_lo ? range.lo : range.hi, true);
    } else {
      add(b.f, b.v, true);
    }
  }
  return out;
}

std::vector<double> LogTics(double lo, double hi) {
  if (!(lo > 0.0) || !(hi > lo) || !std::isfinite(hi)) return {};
  const int first = static_cast<int>(std::floor(std::log10(lo)));
  const int last = static_cast<int>(std::ceil(std::log10(hi)));
  // Mantissas (in units of 10^shift) times the powers of ten, coarse to fine.
  struct Level {
    std::vector<int> mantissas;
    int shift;
  };
  std::vector<int> two_digits;
  for (int m = 10; m <= 99; ++m) two_digits.push_back(m);
  const Level levels[] = {{{1, 2, 5}, 0},
                          {{1, 2, 3, 4, 5, 6, 7, 8, 9}, 0},
                          {{10, 15, 20, 25, 30, 40, 50, 60, 70, 80, 90}, -1},
                          {two_digits, -1}};
  std::vector<double> tics;
  size_t used = 0;  // the level of `tics`
  for (; used < std::size(levels); ++used) {
    const Level& level = levels[used];
    tics.clear();
    for (int e = first; e <= last; ++e) {
      for (int m : level.mantissas) {
        const double v = m * std::pow(10.0, e + level.shift);
        if (v >= lo && v <= hi) tics.push_back(v);
      }
    }
    if (tics.size() >= kFewestTics) break;
  }
  if (tics.size() <= kMostTics) return tics;
  // Too many: on many decades their powers of ten, at a fine level every
  // k-th tic.
  if (used == 0) {
    tics.clear();
    const int step = (last - first) / static_cast<int>(kMostTics) + 1;
    for (int e = first; e <= last; e += step) {
      const double v = std::pow(10.0, e);
      if (v >= lo && v <= hi) tics.push_back(v);
    }
    return tics;
  }
  const size_t step = (tics.size() + kMostTics - 1) / kMostTics;
  std::vector<double> every;
  for (size_t i = 0; i < tics.size(); i += step) every.push_back(tics[i]);
  return every;
}

}  // namespace circplot
