#ifndef CIRCARRAY_RESULT_PLOT_AXIS_RANGE_H_
#define CIRCARRAY_RESULT_PLOT_AXIS_RANGE_H_

#include <vector>

#include "result_plot/inputs.h"

namespace circplot {

// The range of an axis, lo < hi.
struct AxisRange {
  double lo = 0.0;
  double hi = 1.0;
};

// The range [lo, hi] of some values widened by a margin: 10 % of the span
// on either side, in decades on a logarithmic axis; when the values hardly
// differ, at least 0.02 decades (about 5 %) on a logarithmic axis or 10 %
// of the value on a linear one, so that one value gets a range around it.
AxisRange WithMargin(double lo, double hi, bool log);

// The part of the line through `line` (gaps kept) that lies within `range`
// on the vertical axis: a segment that crosses an edge is cut there, at the
// point found by linear interpolation in the axes' own coordinates (log f
// and log c on logarithmic axes), and the line is broken where it leaves
// the range. Points that a logarithmic axis cannot show (<= 0, not finite)
// break the line too.
std::vector<Point> ClipToRange(const std::vector<Point>& line, AxisRange range, bool log_x, bool log_y);

// Tics of a logarithmic axis from lo to hi, whose own tics gnuplot puts at
// the powers of ten only (none at all on a range within one decade): at 1,
// 2 and 5 times the powers of ten, or when that gives fewer than four, at
// every digit, then at 1, 1.5, 2, 2.5, 3, 4 ... 9, then at every two digits
// (80, 81, ... 86). A list longer than 16 keeps every k-th tic; one of
// many decades their powers of ten. Empty when even the finest finds none.
std::vector<double> LogTics(double lo, double hi);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_AXIS_RANGE_H_
