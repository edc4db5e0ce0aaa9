#include "log_resample/log_curve.h"

#include <cmath>
#include <limits>

#include "textio/free_reader.h"

namespace resampa {

LogCurve ReadLogCurve(std::istream& in, size_t capacity) {
  LogCurve curve;
  textio::FreeReader reader(in);
  double x = 0.0;
  double v = 0.0;
  while ((curve.end = reader.Read({x, v})).ok()) {
    ++curve.records;
    if (curve.f.size() < capacity) {
      curve.f.push_back(x);
      // A value of 0 gives -inf and a negative one NaN; both are carried
      // through and come out as 0 or NaN.
      curve.dat_dum.push_back(std::log10(v));
    }
  }
  return curve;
}

int64_t FirstNonAscending(const std::vector<double>& f) {
  for (size_t j = 1; j < f.size(); ++j) {
    if (!(f[j] > f[j - 1])) return static_cast<int64_t>(j) + 1;
  }
  return 0;
}

GridValue LogInterpolator::At(double x) {
  const size_t n = f_.size();
  if (f_[0] > x) {
    double slope = (d_[1] - d_[0]) / (f_[1] - f_[0]);
    return {slope * (x - f_[0]) + d_[0], std::fabs(x - f_[0])};
  }
  if (x > f_[n - 1]) {
    double slope = (d_[n - 1] - d_[n - 2]) / (f_[n - 1] - f_[n - 2]);
    return {slope * (x - f_[n - 1]) + d_[n - 1], std::fabs(x - f_[n - 1])};
  }
  for (size_t k = k_; k + 1 < n; ++k) {
    if (f_[k] - kEps <= x && x <= f_[k + 1] + kEps) {
      k_ = k;
      double value = d_[k] + (d_[k + 1] - d_[k]) / (f_[k + 1] - f_[k]) * (x - f_[k]);
      double left = std::fabs(x - f_[k]);
      double right = std::fabs(x - f_[k + 1]);
      return {value, left <= right ? left : right};
    }
  }
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  return {kNaN, kNaN};
}

}  // namespace resampa
