#ifndef CIRCARRAY_DISPERSION_CURVE_COMMON_GRID_H_
#define CIRCARRAY_DISPERSION_CURVE_COMMON_GRID_H_

#include <optional>
#include <string>
#include <vector>

#include "curve/frequency_grid.h"
#include "dispersion_curve/series.h"

namespace circdisp {

// What the command line says of the grid; what it leaves out comes from
// the inputs.
struct GridRequest {
  std::optional<double> fmin, fmax;
  std::optional<int> count;
  curve::GridKind kind = curve::GridKind::kLog;
};

// The most frequencies of a grid (--nfreq and the default alike).
inline constexpr int kMaxGridCount = 100000;

struct CommonGrid {
  curve::GridChoice choice;
  std::vector<double> frequencies;
  std::string description;  // for the header: the grid and why it has its count
};

// The common grid of the merge (curve::MakeGrid). By default it runs from
// the lowest to the highest frequency with a valid estimate in any series,
// and its step is at most the finest step of the inputs: each series'
// median step between neighbouring valid estimates (in ln f for a log grid,
// in f for a linear one), the smallest of these, fitted into the span:
//   count = ceil(span / step) + 1,
// so the merged curve resolves what its densest input resolves and, on
// inputs of one circspec grid, falls on their frequencies. Refusals: a
// requested end beyond the other end (suite::OptionValueError), a grid
// whose frequencies the table's 9 digits cannot tell apart.
CommonGrid ChooseGrid(const GridRequest& request, const std::vector<Series>& series);

}  // namespace circdisp

#endif  // CIRCARRAY_DISPERSION_CURVE_COMMON_GRID_H_
