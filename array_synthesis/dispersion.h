#ifndef CIRCARRAY_ARRAY_SYNTHESIS_DISPERSION_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_DISPERSION_H_

#include <optional>

#include "curve/curve_file.h"

namespace circsim {

// A phase-velocity curve c(f) in m/s, f in Hz. Either the built-in curve
//   c(f) = 180 + 520 / (1 + (f/4)^2)
// or a curve file's points, interpolated linearly in log f and log c and
// held at the end values beyond them (curve::Curve::VelocityAt). Either
// may be multiplied by a constant factor.
class DispersionCurve {
 public:
  // The built-in curve.
  DispersionCurve() = default;
  // The curve of a file's points.
  explicit DispersionCurve(curve::Curve points) : points_(std::move(points)) {}

  // The same curve with every velocity multiplied by `factor`.
  DispersionCurve Scaled(double factor) const;

  double Velocity(double f) const;

  bool is_table() const { return points_.has_value(); }

 private:
  std::optional<curve::Curve> points_;  // none for the formula
  double factor_ = 1;
};

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_DISPERSION_H_
