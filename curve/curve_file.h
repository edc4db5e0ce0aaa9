#ifndef CIRCARRAY_CURVE_CURVE_FILE_H_
#define CIRCARRAY_CURVE_CURVE_FILE_H_

// The dispersion-curve file: the one grammar of every program that reads
// a phase-velocity curve (circsim --rayleigh and --love, circplot --true,
// circdisp, circinv), and that circspec --for curve and circinv --forward
// write. Documented for users in docs/formats.md.
//
//   # comments start at '#' and run to the end of the line
//   frequency velocity [standard_error [more columns ...]]
//
// - Fields are separated by blanks, tabs or commas; blank lines and
//   comment lines are passed over.
// - frequency in Hz and velocity in m/s, both positive and finite. A
//   velocity written as nan marks a frequency without an estimate (as
//   circspec --for curve writes them): the line carries no point.
// - The third column is the velocity's standard error, for the programs
//   that weigh the points by it; the others ignore it and every column
//   after the second.
// - Frequencies may come in any order: the points are sorted on reading.
//   A frequency given twice is refused, on lines with or without an
//   estimate.
// Every refusal is a textio::InputError naming the file and the line.

#include <istream>
#include <string>
#include <vector>

#include "suite/context.h"

namespace curve {

// One point of a curve: the velocity c (m/s) at frequency f (Hz), its
// standard error (NaN where the reader ignores it), and the line it came
// from.
struct Point {
  double f = 0;
  double c = 0;
  double se = 0;
  long line = 0;
};

// What a reader wants of the third column.
enum class StandardErrors {
  kIgnored,   // not read (a plain "frequency velocity" file is complete)
  kRequired,  // every point has one, positive and finite
};

struct Curve {
  std::string source;         // the file's name as given, for messages
  std::vector<Point> points;  // sorted by frequency, at least one
  long without_estimate = 0;  // lines whose velocity is nan
  // Those lines (c NaN), sorted by frequency: the frequencies a program
  // that computes a curve at the file's frequencies (circinv --at) keeps.
  std::vector<Point> unestimated;

  // The velocity at f: linear in log f and log c between neighbouring
  // points (a power law between them), held at the end values beyond the
  // first and the last point.
  double VelocityAt(double f) const;
};

// Reads a curve from `in`; `source` names it in messages.
Curve ParseCurve(std::istream& in, const std::string& source, StandardErrors se = StandardErrors::kIgnored);

// Opens the file `name` through the run's context (relative names from
// the run's directory), reads it and closes it.
Curve ReadCurve(suite::Context& context, const std::string& name, StandardErrors se = StandardErrors::kIgnored);

}  // namespace curve

#endif  // CIRCARRAY_CURVE_CURVE_FILE_H_
