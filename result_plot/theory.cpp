#include "result_plot/theory.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace circplot {

double TrueVelocity(const TrueCurve& truth, double f) {
  const std::vector<Point>& c = truth.velocities;
  if (f <= c.front().f) return c.front().v;
  if (f >= c.back().f) return c.back().v;
  const auto upper = std::upper_bound(c.begin(), c.end(), f, [](double x, const Point& p) { return x < p.f; });
  const Point& b = *upper;
  const Point& a = *(upper - 1);
  const double t = std::log(f / a.f) / std::log(b.f / a.f);
  return std::exp(std::log(a.v) + t * std::log(b.v / a.v));
}

std::vector<double> LogGrid(double fmin, double fmax, int count) {
  std::vector<double> grid;
  if (count < 2 || !(fmin > 0.0) || !(fmax > fmin)) {
    if (fmin > 0.0) grid.push_back(fmin);
    return grid;
  }
  const double step = std::log(fmax / fmin) / (count - 1);
  for (int i = 0; i < count; ++i) grid.push_back(fmin * std::exp(step * i));
  grid.back() = fmax;
  return grid;
}

namespace {

double Wavenumber(const TrueCurve& truth, double f) { return 2.0 * std::numbers::pi * f / TrueVelocity(truth, f); }

}  // namespace

std::vector<Point> SpacOfTrueCurve(const TrueCurve& truth, double radius, const std::vector<double>& frequencies) {
  std::vector<Point> spac;
  for (double f : frequencies) spac.push_back({f, std::cyl_bessel_j(0.0, Wavenumber(truth, f) * radius)});
  return spac;
}

std::vector<Point> CcaOfTrueCurve(const TrueCurve& truth, double radius, const std::vector<double>& frequencies) {
  std::vector<Point> cca;
  for (double f : frequencies) {
    const double x = Wavenumber(truth, f) * radius;
    if (!(x > 0.0) || x > kMaxCcaArgument) continue;
    const double j0 = std::cyl_bessel_j(0.0, x);
    const double j1 = std::cyl_bessel_j(1.0, x);
    cca.push_back({f, (j0 * j0) / (j1 * j1)});
  }
  return cca;
}

}  // namespace circplot
