#include "array_synthesis/band.h"

#include <cmath>
#include <numbers>

namespace circsim {

namespace {

double Taper(double q) {
  if (!(q > 1)) return 0;
  if (q >= Band::kTaperRatio) return 1;
  const double s = std::sin((std::numbers::pi / 2) * std::log(q) / std::log(Band::kTaperRatio));
  return s * s;
}

}  // namespace

double Band::Weight(double f) const { return Taper(f / fmin) * Taper(fmax / f); }

}  // namespace circsim
