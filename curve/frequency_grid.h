#ifndef CIRCARRAY_CURVE_FREQUENCY_GRID_H_
#define CIRCARRAY_CURVE_FREQUENCY_GRID_H_

#include <vector>

namespace curve {

// The frequencies at which the suite's programs give their results
// (circspec's output frequencies, circinv's forward curves, circdisp's
// common grid, circplot's theory curves): `count` of them from fmin to
// fmax, equally spaced in log f,
//   f_i = fmin (fmax/fmin)^(i/(count-1)),
// or in f, f_i = fmin + (fmax - fmin) i/(count-1); the last is fmax
// exactly. One frequency, fmin, when count is 1.
enum class GridKind { kLog, kLinear };
struct GridChoice {
  double fmin = 0, fmax = 0;
  int count = 120;
  GridKind kind = GridKind::kLog;
};
std::vector<double> MakeGrid(const GridChoice& choice);

}  // namespace curve

#endif  // CIRCARRAY_CURVE_FREQUENCY_GRID_H_
