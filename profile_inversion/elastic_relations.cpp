#include "profile_inversion/elastic_relations.h"

#include <algorithm>
#include <cmath>

namespace circinv {

double VpVsRatio(double nu) { return std::sqrt((2.0 - 2.0 * nu) / (1.0 - 2.0 * nu)); }

double PoissonOfVpVsRatio(double r) {
  const double r2 = r * r;
  return (r2 - 2.0) / (2.0 * (r2 - 1.0));
}

double GardnerDensity(double vp) {
  constexpr double kLowestVp = 1500.0;  // m/s, the lower end of the relation's data
  return 1741.0 * std::pow(std::max(vp, kLowestVp) / 1000.0, 0.25);
}

}  // namespace circinv
