#ifndef CIRCARRAY_DISPERSION_CURVE_SERIES_H_
#define CIRCARRAY_DISPERSION_CURVE_SERIES_H_

#include <optional>
#include <string>
#include <vector>

#include "curve/curve_table.h"

namespace circdisp {

// A phase velocity c (m/s) at frequency f (Hz) with its standard error.
struct Point {
  double f = 0, c = 0, se = 0;
};

// Frequencies closer than this, relative to their size, are one frequency.
inline constexpr double kSameFrequency = 1e-8;

// The valid estimates of one source of the merge: an input's best curve
// (its first three columns), or one method's columns of a circspec table.
struct Series {
  std::string label;          // as the sources column names it: "r5.txt" or "r5.txt:spac"
  std::vector<Point> points;  // sorted by frequency, distinct; c and se positive and finite

  double fmin() const { return points.front().f; }
  double fmax() const { return points.back().f; }

  // The series' estimate at f, if f lies within the span of its valid
  // estimates (none beyond the first and the last: no extrapolation). An
  // estimate at f itself is taken as it is, and so is one within
  // kSameFrequency of f: the tables carry 9 significant digits, so a grid
  // frequency and a row of the same frequency agree to about 1e-9 only
  // (without the tolerance a grid's end could miss the row it stands
  // on). Between the neighbours
  // (f0, c0, s0) and (f1, c1, s1), with t = ln(f/f0) / ln(f1/f0),
  //   c = exp(ln c0 + t (ln c1 - ln c0))   (a power law between them,
  //                                         as every curve reader takes it)
  //   se = s0 + t (s1 - s0)                 (linear in ln f).
  // The neighbours are the nearest valid estimates, so a run of invalid
  // rows between two valid ones is bridged.
  std::optional<Point> At(double f) const;
};

// The valid estimates of `method` in `table`, or with "" of the best
// estimate (the first three columns, every row with a velocity). A row
// counts for a method where its flag_<m> is "ok"; such a row must hold a
// positive velocity and standard error, else the table is refused
// (textio::InputError naming the file and the line).
Series SeriesOf(const curve::CurveTable& table, const std::string& method, std::string label);

}  // namespace circdisp

#endif  // CIRCARRAY_DISPERSION_CURVE_SERIES_H_
