#include "core/bessel.h"

#include <cmath>

#include <boost/math/policies/policy.hpp>
#include <boost/math/special_functions/bessel.hpp>

namespace core {

namespace {

namespace bmp = boost::math::policies;

// Never throw, never set errno, and stay in double precision: the value is
// rounded to float anyway, and long double would only cost time.
using QuietDouble =
    bmp::policy<bmp::domain_error<bmp::ignore_error>, bmp::pole_error<bmp::ignore_error>,
                bmp::overflow_error<bmp::ignore_error>, bmp::underflow_error<bmp::ignore_error>,
                bmp::denorm_error<bmp::ignore_error>, bmp::evaluation_error<bmp::ignore_error>,
                bmp::rounding_error<bmp::ignore_error>, bmp::indeterminate_result_error<bmp::ignore_error>,
                bmp::promote_float<false>, bmp::promote_double<false>>;

// Limits of the single-precision complex Bessel routine, measured.
constexpr float kNoPrecisionLimit = 4194304.0f;  // beyond: ierr = 4
constexpr float kHalfPrecisionLimit = 2048.0f;   // beyond: ierr = 3
constexpr float kJ1UnderflowLimit = 4.634932325E-35f;
constexpr float kJ2UnderflowLimit = 1.361605711E-17f;

}  // namespace

float cal_bsl(float order, float x) {
  float ax = std::fabs(x);
  if (std::isnan(x)) throw BesselRefusal(1, 0);
  if (ax > kNoPrecisionLimit) throw BesselRefusal(0, 4);
  if (ax > kHalfPrecisionLimit) throw BesselRefusal(0, 3);
  if (ax > 0.0f) {
    if (order == 1.0f && ax <= kJ1UnderflowLimit) throw BesselRefusal(1, 0);
    if (order == 2.0f && ax <= kJ2UnderflowLimit) throw BesselRefusal(1, 0);
  }
  double value;
  if (order == 0.0f || order == 1.0f || order == 2.0f) {
    value = boost::math::cyl_bessel_j(static_cast<int>(order), static_cast<double>(x), QuietDouble());
  } else {
    value = boost::math::cyl_bessel_j(static_cast<double>(order), static_cast<double>(x), QuietDouble());
  }
  return static_cast<float>(value);
}

}  // namespace core
