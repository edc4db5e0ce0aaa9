#include "array/ring_models.h"

#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/tools/roots.hpp>
#include <cmath>
#include <cstdint>
#include <limits>

namespace array {

namespace {

double J0(double x) { return boost::math::cyl_bessel_j(0, x); }
double J1(double x) { return boost::math::cyl_bessel_j(1, x); }

}  // namespace

RingModel::RingModel(RingShape shape) : shape_(std::move(shape)) {
  double sum = 0;
  for (size_t j = 0; j < shape_.x.size(); ++j) {
    distances_.push_back(std::hypot(shape_.x[j], shape_.y[j]));
    sum += distances_.back();
  }
  radius_ = sum / static_cast<double>(distances_.size());
}

double RingModel::Spac(double k) const {
  double sum = 0;
  for (double r : distances_) sum += J0(k * r);
  return sum / static_cast<double>(distances_.size());
}

double RingModel::G0(double k) const {
  const size_t n = shape_.x.size();
  double sum = static_cast<double>(n);  // the pairs a = b
  for (size_t a = 0; a < n; ++a) {
    for (size_t b = a + 1; b < n; ++b)
      sum += 2 * J0(k * std::hypot(shape_.x[a] - shape_.x[b], shape_.y[a] - shape_.y[b]));
  }
  return sum / static_cast<double>(n * n);
}

double RingModel::G1(double k) const {
  const size_t n = shape_.x.size();
  double sum = static_cast<double>(n);
  for (size_t a = 0; a < n; ++a) {
    for (size_t b = a + 1; b < n; ++b) {
      const double d = std::hypot(shape_.x[a] - shape_.x[b], shape_.y[a] - shape_.y[b]);
      sum += 2 * J0(k * d) * std::cos(shape_.azimuth[a] - shape_.azimuth[b]);
    }
  }
  return sum / static_cast<double>(n * n);
}

double RingModel::CrossG1(const RingModel& inner, double k) const {
  // Re sum_ab (1/N) e^(-i theta_a) (1/M) e^(i theta_b) J0(k d_ab).
  double sum = 0;
  for (size_t a = 0; a < shape_.x.size(); ++a) {
    for (size_t b = 0; b < inner.shape_.x.size(); ++b) {
      const double d = std::hypot(shape_.x[a] - inner.shape_.x[b], shape_.y[a] - inner.shape_.y[b]);
      sum += J0(k * d) * std::cos(shape_.azimuth[a] - inner.shape_.azimuth[b]);
    }
  }
  return sum / static_cast<double>(shape_.x.size() * inner.shape_.x.size());
}

double ResolutionLimitKr(double eps, int stations) {
  const double e = eps / stations;
  auto residual = [e](double x) {
    const double b0 = J0(x / 0.9), b1 = J1(x / 0.9), a0 = J0(x), a1 = J1(x);
    return (b0 * b0) / (b1 * b1) - (a0 * a0 + e) / (e + a1 * a1);
  };
  constexpr double kLow = 0.001, kHigh = 2.0;
  if (!(eps >= 0) || residual(kLow) * residual(kHigh) > 0) return std::numeric_limits<double>::quiet_NaN();
  std::uintmax_t iterations = 100;
  const auto [lo, hi] =
      boost::math::tools::toms748_solve(residual, kLow, kHigh, boost::math::tools::eps_tolerance<double>(), iterations);
  return (lo + hi) / 2;
}

}  // namespace array
