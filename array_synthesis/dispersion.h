#ifndef CIRCARRAY_ARRAY_SYNTHESIS_DISPERSION_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_DISPERSION_H_

#include <string>
#include <utility>
#include <vector>

#include "suite/context.h"

namespace circsim {

// A phase-velocity curve c(f) in m/s, f in Hz. Either the built-in curve
//   c(f) = 180 + 520 / (1 + (f/4)^2)
// or a table of points (f_i, c_i), interpolated linearly in log f and
// log c (a power law between neighbours) and held at c_1 below f_1 and at
// c_last above f_last. Either may be multiplied by a constant factor.
class DispersionCurve {
 public:
  // The built-in curve.
  DispersionCurve() = default;

  // A table of points; frequencies strictly increasing and positive,
  // velocities positive (checked by the caller that reads them).
  static DispersionCurve FromPoints(std::vector<std::pair<double, double>> points);

  // The same curve with every velocity multiplied by `factor`.
  DispersionCurve Scaled(double factor) const;

  double Velocity(double f) const;

  bool is_table() const { return !points_.empty(); }

 private:
  std::vector<std::pair<double, double>> points_;  // (log f, log c), empty for the formula
  double factor_ = 1;
};

// Reads a curve file: one point per line, "frequency velocity" (Hz, m/s),
// free format (blanks, tabs or commas; anything after the two values on
// a line is ignored). At least one point; frequencies strictly increasing,
// both values positive and finite. The file `name` is opened through the
// run's context and closed again. Errors (textio::InputError) name the
// file and the line.
DispersionCurve ReadDispersionCurve(suite::Context& context, const std::string& name);

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_DISPERSION_H_
