#include "dispersion_curve/merge.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <limits>

namespace circdisp {

Merged Combine(std::span<const Point> estimates) {
  Merged m;
  m.n = static_cast<int>(estimates.size());
  if (estimates.empty()) {
    m.c = m.se = std::numeric_limits<double>::quiet_NaN();
    return m;
  }
  double sum_w = 0, sum_wc = 0;
  for (const Point& e : estimates) {
    const double w = 1 / (e.se * e.se);
    sum_w += w;
    sum_wc += w * e.c;
  }
  m.c = sum_wc / sum_w;
  m.se = 1 / std::sqrt(sum_w);
  if (m.n < 2) return m;

  for (const Point& e : estimates) {
    const double d = (e.c - m.c) / e.se;
    m.chi2 += d * d;
  }
  const double dof = m.n - 1;
  m.p = boost::math::cdf(boost::math::complement(boost::math::chi_squared_distribution<double>(dof), m.chi2));
  if (m.p < kAgreementLevel) {
    m.scattered = true;
    m.ratio = std::sqrt(m.chi2 / dof);
    m.se *= m.ratio;
  }
  return m;
}

}  // namespace circdisp
