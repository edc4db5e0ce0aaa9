#include "rms_eval/rms.h"

#include <cmath>
#include <cstddef>

namespace gauger {

void dtrd(const double* x, int32_t n, double* y, int32_t mode, double* slope, double* mean) {
  *slope = kNoSlope;
  if (mode < 0) return;

  const double count = static_cast<double>(n);
  if (mode == 0) {
    double s = 0.0;
    for (int32_t i = 0; i < n; ++i) s = s + x[i];
    *mean = s / count;
    for (int32_t i = 0; i < n; ++i) y[i] = x[i] - *mean;
    return;
  }

  // One pass gives the sum S and the sum Q of the running sums. With the
  // centre f = (n + 1) / 2, Q - S f = -sum (i - f) x(i), so the slope below
  // is the least-squares slope against the index and the line passes
  // through (f, mean).
  double s = 0.0;
  double q = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    s = s + x[i];
    q = q + s;
  }
  const double m = s / count;
  const double centre = (count + 1.0) * 0.5;
  const double b = -((q - s * centre) * 12.0) / (count * (count * count - 1.0));
  for (int32_t i = 0; i < n; ++i) {
    y[i] = (x[i] - m) - (static_cast<double>(i + 1) - centre) * b;
  }
  *slope = b;
  *mean = m;
}

double rms(const Datblk& store, double dt, int64_t first, int64_t last) {
  double sum = 0.0;
  for (int64_t i = first; i <= last; ++i)
    sum = sum + store.samples[static_cast<size_t>(i)] * store.samples[static_cast<size_t>(i)];
  const double span = static_cast<double>(last - first) * dt;
  return std::sqrt(sum / span);
}

}  // namespace gauger
