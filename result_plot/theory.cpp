#include "result_plot/theory.h"

#include <cmath>
#include <numbers>

namespace circplot {

std::vector<Point> PointsOf(const TrueCurve& truth) {
  std::vector<Point> points;
  for (const curve::Point& p : truth.points) points.push_back({p.f, p.c});
  return points;
}

namespace {

double Wavenumber(const TrueCurve& truth, double f) { return 2.0 * std::numbers::pi * f / truth.VelocityAt(f); }

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
