#ifndef CIRCARRAY_LOG_RESAMPLE_LOG_CURVE_H_
#define CIRCARRAY_LOG_RESAMPLE_LOG_CURVE_H_

#include <cstddef>
#include <cstdint>
#include <istream>
#include <vector>

#include "textio/free_reader.h"

namespace resampa {

// Most pairs (and grid points) a run handles.
inline constexpr int32_t kNmax = 5000000;

// A positive curve as read from a pair file: abscissae in file order and
// the base-10 logarithms of the values, so that linear interpolation of
// `dat_dum` is geometric interpolation of the values.
struct LogCurve {
  std::vector<double> f;
  std::vector<double> dat_dum;
  // Records read in full, including those beyond the capacity, which are
  // counted but not stored.
  int64_t records = 0;
  // How the reading ended: at the end of the stream, or at a record that
  // does not hold two numbers.
  textio::ReadResult end;
};

// Reads (abscissa, value) pairs, one per record, up to the end of the
// stream or the first record that does not hold two numbers. At most
// `capacity` pairs are stored; storage grows with the data read.
LogCurve ReadLogCurve(std::istream& in, size_t capacity = kNmax);

// 1-based number of the first record whose abscissa is not strictly above
// the one before it (NaN included), or 0 when the abscissae ascend.
int64_t FirstNonAscending(const std::vector<double>& f);

// Interpolated logarithm at one grid point, and the distance from the
// grid point to the data abscissa that vouches for it.
struct GridValue {
  double value;
  double distance;
};

// Interpolates a curve of at least two strictly ascending pairs at grid
// points visited in ascending order. The bracket search only moves forward
// from where the previous point found its bracket, so a whole grid costs
// one pass over the data.
class LogInterpolator {
 public:
  // Tolerance, in abscissa units, for a grid point to count as inside a
  // bracket: absorbs the rounding of i * step against abscissae written
  // with a few decimals.
  static constexpr double kEps = 1.0e-6;

  // Keeps references into `curve`, which must outlive the interpolator.
  explicit LogInterpolator(const LogCurve& curve) : f_(curve.f), d_(curve.dat_dum) {}
  explicit LogInterpolator(const LogCurve&& curve) = delete;

  // Below the first or above the last abscissa the end segment is
  // extrapolated and the distance is to that end. Inside, the value lies on
  // the first bracket [f(k), f(k+1)] from the cursor that holds x (within
  // kEps), and the distance is to the nearer end of that bracket. A point
  // with no bracket ahead of the cursor (a grid that runs backwards) gets a
  // NaN value and distance, which the caller reports as too far.
  GridValue At(double x);

 private:
  const std::vector<double>& f_;
  const std::vector<double>& d_;
  size_t k_ = 0;  // cursor: left end of the last bracket used
};

}  // namespace resampa

#endif  // CIRCARRAY_LOG_RESAMPLE_LOG_CURVE_H_
