#include "curve/frequency_grid.h"

#include <cmath>

namespace curve {

std::vector<double> MakeGrid(const GridChoice& choice) {
  std::vector<double> grid;
  if (choice.count <= 1) return {choice.fmin};
  const double last = static_cast<double>(choice.count - 1);
  for (int i = 0; i < choice.count; ++i) {
    const double q = static_cast<double>(i) / last;
    grid.push_back(choice.kind == GridKind::kLog ? choice.fmin * std::pow(choice.fmax / choice.fmin, q)
                                                 : choice.fmin + (choice.fmax - choice.fmin) * q);
  }
  grid.back() = choice.fmax;  // exactly, whatever the rounding of the powers
  return grid;
}

}  // namespace curve
