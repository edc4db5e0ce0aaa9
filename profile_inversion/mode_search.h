#ifndef CIRCARRAY_PROFILE_INVERSION_MODE_SEARCH_H_
#define CIRCARRAY_PROFILE_INVERSION_MODE_SEARCH_H_

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include <boost/math/tools/roots.hpp>

#include "profile_inversion/layered_model.h"

namespace circinv {

// Where the search for the slowest root of a secular function F(c) at one
// frequency samples F, from a lower bound that no mode undercuts up to the
// half-space's shear velocity.
//
// Bounds. A Love mode is slower than the half-space's vs and faster than
// the smallest vs of the model: where c is below every vs the SH field is
// evanescent in every layer, and (mu u')' = mu k^2 nu^2 u with a positive
// right side has no solution that is free at the surface and decays at
// depth. For Rayleigh waves the scan starts at 0.95 times the smallest
// Rayleigh velocity of the model's materials. The slowest a Rayleigh mode
// becomes is its high-frequency limit: the Rayleigh velocity of the top
// layer, the vs of a buried low-velocity layer, or an interface (Stoneley)
// wave, which is slower than the shear velocities on both sides but, as
// far as we know, not slower than the slower side's Rayleigh velocity.
// This bound is not proven here; the tests check it on 200 random models
// with a brute-force scan that starts at half the smallest vs.
//
// Steps. A secular function of a layered model oscillates in c only
// through the phases theta = k h sqrt(c^2/v^2 - 1) = omega h sqrt(1/v^2 -
// 1/c^2) that each layer accumulates for each velocity v (vs, and vp for
// Rayleigh waves) below c. Each step is the largest that advances no
// layer's phase by more than kMaxPhaseStep, and no more than
// kMaxRelativeStep of c, so that between two samples each factor of F
// goes through at most a small fraction of an oscillation and two roots
// can hardly fall between two samples. Where they do (the osculation of
// two modes near a low-velocity layer), |F| has a local minimum between
// samples of one sign; the search probes every such minimum for a sign
// change before it moves on (see SlowestRoot).
class ScanPlan {
 public:
  // The largest phase advance, in radians, of any layer between samples.
  static constexpr double kMaxPhaseStep = 0.5;
  // The largest relative step in c.
  static constexpr double kMaxRelativeStep = 0.05;

  // Takes the velocities and thicknesses of `model` (physical) for `wave`.
  void Prepare(const LayeredModel& model, Wave wave);

  double lower_bound() const { return lower_; }
  double upper_bound() const { return upper_; }

  // The next sample above `c` (> c) at angular frequency `omega`, at most
  // upper_bound().
  double Next(double omega, double c) const;

 private:
  struct Phase {
    double thickness;
    double inv_v2;  // 1 / v^2
  };
  std::vector<Phase> phases_;
  double lower_ = 0;
  double upper_ = 0;
};

// The statistics of the searches, for the benchmark and the tests.
struct SearchCounts {
  int64_t evaluations = 0;     // of the secular function
  int64_t minimum_probes = 0;  // local minima of |F| probed for a hidden root pair
};

namespace internal {

inline int SignOf(double v) { return (v > 0) - (v < 0); }

// A root of `f` in [a, b], where f(a) and f(b) differ in sign, to full
// double precision (TOMS 748: Alefeld, Potra & Shi 1995).
template <typename F>
double RefineRoot(F& f, double a, double fa, double b, double fb) {
  if (fa == 0) return a;
  if (fb == 0) return b;
  std::uintmax_t iterations = 200;
  const auto [lo, hi] =
      boost::math::tools::toms748_solve(f, a, b, fa, fb, boost::math::tools::eps_tolerance<double>(), iterations);
  return lo + (hi - lo) / 2;
}

// Looks for a point of [a, b] where f has the sign opposite to `sign`,
// given that |f| has a local minimum of sign `sign` at m inside (a, b):
// golden-section search of sign * f down to a relative width of 1e-10 of
// c, stopping at the first sample of the other sign. Returns that point
// and its value, or (NaN, NaN) when the minimum keeps its sign.
template <typename F>
std::pair<double, double> FindSignChangeNearMinimum(F& f, double a, double m, double fm, double b, int sign) {
  constexpr double kGolden = 0.3819660112501051;  // (3 - sqrt(5)) / 2
  double x = m;
  double fx = sign * fm;
  while (b - a > 1e-10 * b) {
    // Probe the larger of the two parts of the bracket.
    const double u = (x - a > b - x) ? x - kGolden * (x - a) : x + kGolden * (b - x);
    const double value = f(u);
    if (SignOf(value) != sign) return {u, value};
    const double fu = sign * value;
    if (fu < fx) {
      if (u < x) {
        b = x;
      } else {
        a = x;
      }
      x = u;
      fx = fu;
    } else if (u < x) {
      a = u;
    } else {
      b = u;
    }
  }
  return {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
}

}  // namespace internal

// The slowest root of the secular function `secular(omega, c)` in
// (plan.lower_bound(), plan.upper_bound()) at angular frequency `omega`,
// to full double precision; NaN when there is none (no mode slower than
// the half-space's vs). The samples go up from the lower bound as `plan`
// steps; the first sign change is refined by TOMS 748. Before each step
// the search also looks at the last three samples: if |F| has a local
// minimum at the middle one without a change of sign, two roots may hide
// between the outer samples, and a golden-section search of that minimum
// decides it. `counts`, if given, accumulates the work done.
template <typename Secular>
double SlowestRoot(const Secular& secular, const ScanPlan& plan, double omega, SearchCounts* counts = nullptr) {
  int64_t evaluations = 0;
  auto f = [&](double c) {
    ++evaluations;
    return secular(omega, c);
  };
  double result = std::numeric_limits<double>::quiet_NaN();
  const double hi = plan.upper_bound();
  double c0 = plan.lower_bound();
  double f0 = c0 < hi ? f(c0) : 0;
  bool have_previous = false;
  double c_prev = 0;
  double f_prev = 0;
  int64_t probes = 0;
  if (c0 < hi && f0 == 0) result = c0;
  while (c0 < hi && std::isnan(result) && f0 != 0) {
    const double c1 = plan.Next(omega, c0);
    const double f1 = f(c1);
    if (internal::SignOf(f1) != internal::SignOf(f0)) {
      // A root at the half-space's vs itself is not a trapped mode.
      if (!(f1 == 0 && c1 >= hi)) result = internal::RefineRoot(f, c0, f0, c1, f1);
      break;
    }
    if (have_previous && std::abs(f0) < std::abs(f_prev) && std::abs(f0) < std::abs(f1)) {
      ++probes;
      const auto [cm, fm] = internal::FindSignChangeNearMinimum(f, c_prev, c0, f0, c1, internal::SignOf(f0));
      if (!std::isnan(cm)) {
        result = internal::RefineRoot(f, c_prev, f_prev, cm, fm);
        break;
      }
    }
    have_previous = true;
    c_prev = c0;
    f_prev = f0;
    c0 = c1;
    f0 = f1;
  }
  if (counts != nullptr) {
    counts->evaluations += evaluations;
    counts->minimum_probes += probes;
  }
  return result;
}

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_MODE_SEARCH_H_
