#ifndef CIRCARRAY_RESULT_PLOT_INPUTS_H_
#define CIRCARRAY_RESULT_PLOT_INPUTS_H_

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "curve/curve_file.h"

namespace circplot {

// One value against frequency, with its standard error (0 when the input
// has none).
struct Point {
  double f = 0.0;
  double v = 0.0;
  double se = 0.0;
  // A frequency without a value (NO_ROOT) lies between this point and the
  // one before: a line through the points is broken here.
  bool gap_before = false;
};

// One quantity of a circspec table: its column name ("spac", "cca", ...),
// the finite values and how many frequencies had none.
struct Quantity {
  std::string name;
  bool has_se = false;
  std::vector<Point> points;
  long not_finite = 0;
};

// A circspec table: per-frequency array quantities with jackknife errors.
struct SpectraTable {
  std::string source;
  std::vector<Quantity> quantities;  // in the table's column order

  const Quantity* Find(const std::string& name) const {
    for (const Quantity& q : quantities) {
      if (q.name == name) return &q;
    }
    return nullptr;
  }
};

// vantor's output: phase velocities where a root was found, the possible
// poles (SINGULAR_POINT), and the frequencies without a root (NO_ROOT).
struct DispersionCurve {
  std::string source;
  std::vector<Point> velocities;
  std::vector<Point> singular;
  std::vector<double> no_root;
  // The array radius vantor used, from velocity/(radius*frequency) on the
  // lines with a root (none if there is no such line).
  std::optional<double> radius;
};

// quillon's standard output: the noise-to-signal ratio nsr0 where the
// coherence model has a root, and the frequencies where it has none.
struct NoiseRatios {
  std::string source;
  std::vector<Point> nsr0;
  std::vector<double> no_root;
  long not_finite = 0;  // lines whose nsr0 is NaN or infinite
};

// quillon's fort.7: the phase velocity at the resolution limit per
// frequency (longer waves are not resolved by the array).
struct ResolutionLimit {
  std::string source;
  std::vector<Point> velocities;
};

using Input = std::variant<SpectraTable, DispersionCurve, NoiseRatios, ResolutionLimit>;

// What was read from one input, and the message line of the program that
// wrote it if its run stopped early (a last line "ERROR..." or "Error...").
struct ReadInput {
  Input input;
  std::optional<std::string> stop_message;
  long stop_line = 0;
};

// A reference dispersion curve (frequency, phase velocity) to compare
// with: a curve file (--true).
using TrueCurve = curve::Curve;

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_INPUTS_H_
