#include "array_synthesis/dispersion.h"

namespace circsim {

DispersionCurve DispersionCurve::Scaled(double factor) const {
  DispersionCurve curve = *this;
  curve.factor_ *= factor;
  return curve;
}

double DispersionCurve::Velocity(double f) const {
  if (!points_) {
    const double q = f / 4;
    return factor_ * (180 + 520 / (1 + q * q));
  }
  return factor_ * points_->VelocityAt(f);
}

}  // namespace circsim
