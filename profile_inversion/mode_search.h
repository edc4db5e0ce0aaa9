#ifndef CIRCARRAY_PROFILE_INVERSION_MODE_SEARCH_H_
#define CIRCARRAY_PROFILE_INVERSION_MODE_SEARCH_H_

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include <boost/math/tools/minima.hpp>
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
// depth. For Rayleigh waves the bound comes from Rayleigh's principle: at
// a fixed wavenumber k the fundamental's omega^2 is the minimum over all
// displacements of the elastic energy (lambda/2 (div u)^2 + mu e:e,
// increasing in lambda and mu) over the kinetic term (rho |u|^2). A
// homogeneous comparison medium with lambda and mu no larger and rho no
// smaller than the model's at every depth therefore has a lower minimum,
// which is its Rayleigh wave: every Rayleigh mode of the model, at every
// frequency, is at least as fast as the comparison's Rayleigh velocity.
// The comparison takes the smallest lambda and mu and the largest density
// of all layers; where that pair has no positive bulk modulus (lambda < 0,
// Poisson's ratio below 0), it takes lambda = 0 and, for each layer with
// lambda < 0, mu + 3 lambda/2 instead of mu, since (div u)^2 <= 3 e:e. The
// scan starts 1% below that velocity. (The fundamental can be slower than
// every material's own Rayleigh velocity: a heavy lid over a soft layer.)
//
// Steps. F depends on c through the factors exp(+-k h nu) of each layer
// and wave type (nu^2 = 1 - c^2/v^2, v = vs, and vp for Rayleigh waves):
// oscillating with the phase theta = k h sqrt(c^2/v^2 - 1) = omega h
// sqrt(1/v^2 - 1/c^2) where the wave propagates, and through the decay
// D = omega h sqrt(1/c^2 - 1/v^2) where it is evanescent; through the
// half-space's nu = sqrt(1 - c^2/vs^2), which goes to zero with an
// infinite slope at the top of the scan; and through the ratios c/v in the
// coefficients. Each step is the largest that changes no layer's theta or
// D by more than kMaxPhaseStep (decays beyond kMaxDecay, across which the
// two sides of a layer couple by less than exp(-kMaxDecay), are left
// unresolved), the half-space's nu by no more than kMaxHalfSpaceStep, and
// c by no more than kMaxRelativeStep (Next), or kFineRelativeStep on the
// fine grid (NextFine) that the search walks wherever a coarse step shows
// a sign change or a dip of |F|. The roots of F, modes trapped by the
// structure, live on these scales, so that two roots can hardly fall
// between two samples. Where they do (the osculation of two modes, modes
// that meet near a layer's velocity), |F| dips between samples of one sign;
// the search probes such dips for a sign change before it moves on (see
// SlowestRoot). No grid can guarantee to see a pair of roots closer than
// its resolution; the tests compare the search with a scan 50 times finer
// on random models. Love waves need no scan (SlowestRootByCount).
class ScanPlan {
 public:
  // The largest change, in radians, of any layer's phase or decay between
  // samples.
  static constexpr double kMaxPhaseStep = 0.5;
  // Decays beyond which a layer's changes are not resolved.
  static constexpr double kMaxDecay = 20;
  // The largest change of the half-space's nu = sqrt(1 - c^2/vs^2).
  static constexpr double kMaxHalfSpaceStep = 0.1;
  // The largest relative step in c, of the scan and of its fine grid.
  static constexpr double kMaxRelativeStep = 0.1;
  static constexpr double kFineRelativeStep = 0.05;

  // Takes the velocities and thicknesses of `model` (physical) for `wave`.
  void Prepare(const LayeredModel& model, Wave wave);

  double lower_bound() const { return lower_; }
  double upper_bound() const { return upper_; }

  // The next sample above `c` (> c) at angular frequency `omega`, at most
  // upper_bound(), of the scan and of the fine grid.
  double Next(double omega, double c) const { return Step(omega, c, kMaxRelativeStep); }
  double NextFine(double omega, double c) const { return Step(omega, c, kFineRelativeStep); }

 private:
  double Step(double omega, double c, double relative_step) const;
  struct Phase {
    double inv_thickness;  // 1 / h
    double inv_v2;         // 1 / v^2
  };
  std::vector<Phase> phases_;
  double lower_ = 0;
  double upper_ = 0;
  double inv_upper2_ = 0;  // 1 / upper_^2
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

// An interval whose ends differ in the sign of f.
struct Bracket {
  double lo, f_lo, hi, f_hi;
};

// The walk of f on the fine grid of `plan` from a to b (f(a) = fa, f(b) =
// fb): the first bracket of a sign change, if any. Otherwise `dip`, if
// given, receives the samples on both sides of the walk's smallest |f| (the
// sample itself where it is a or b).
template <typename F>
std::optional<Bracket> FirstSignChange(F& f, const ScanPlan& plan, double omega, double a, double fa, double b,
                                       double fb, std::pair<double, double>* dip = nullptr) {
  double before = a, smallest = std::abs(fa);
  if (dip != nullptr) *dip = {a, b};
  while (a < b) {
    const double c = std::min(plan.NextFine(omega, a), b);
    const double fc = c < b ? f(c) : fb;
    if (SignOf(fc) != SignOf(fa)) return Bracket{a, fa, c, fc};
    if (dip != nullptr && std::abs(fa) <= smallest) {
      smallest = std::abs(fa);
      *dip = {before, c};
    }
    before = a;
    a = c;
    fa = fc;
  }
  if (dip != nullptr && std::abs(fb) < smallest) *dip = {before, b};
  return std::nullopt;
}

// Looks for a point of (a, b) where f has the sign opposite to `sign`, the
// sign of f at both ends: Brent's minimisation of sign * f on [a, b] (to
// about 1e-6 of c, at most 30 steps), whose samples are watched for the
// other sign. Returns the lowest such sample and its value, or (NaN, NaN)
// when none was seen.
template <typename F>
std::pair<double, double> FindHiddenSignChange(F& f, double a, double b, int sign) {
  double lowest = std::numeric_limits<double>::quiet_NaN();
  double value_there = lowest;
  auto g = [&](double c) {
    const double value = f(c);
    if (SignOf(value) != sign && !(c >= lowest)) {
      lowest = c;
      value_there = value;
    }
    return sign * value;
  };
  std::uintmax_t iterations = 30;
  boost::math::tools::brent_find_minima(g, a, b, 20, iterations);
  return {lowest, value_there};
}

}  // namespace internal

// The slowest root of the secular function `secular(omega, c)` in
// (plan.lower_bound(), plan.upper_bound()) at angular frequency `omega`,
// to the last bit of the computed function; NaN when there is none (no
// mode slower than the half-space's vs). The samples go up from the lower
// bound as `plan` steps. A coarse step across a sign change is walked again on the fine
// grid, whose first sign change TOMS 748 refines: a coarse step may hold
// three roots, and the first is wanted.
//
// Two roots between two samples leave no sign change, only a dip of |F|
// towards zero. So before it moves on, the search fits a parabola to the
// last three samples (p, 0, 1), all of one sign, and when it is convex
// towards zero with its vertex between p and 1 and reaching below half the
// smallest of the three |F|, walks (p, 1) on the fine grid; if that shows
// no sign change either, Brent's minimiser of |F| (FindHiddenSignChange)
// probes the fine samples on both sides of the smallest |F| of the walk.
// A probe that finds the other sign yields the first sign change of the
// fine walk up to it. `counts`, if given, accumulates the work done.
template <typename Secular>
double SlowestRoot(const Secular& secular, const ScanPlan& plan, double omega, SearchCounts* counts = nullptr) {
  int64_t evaluations = 0;
  int64_t probes = 0;
  auto f = [&](double c) {
    ++evaluations;
    return secular(omega, c);
  };
  double result = std::numeric_limits<double>::quiet_NaN();
  const double hi = plan.upper_bound();
  double c0 = plan.lower_bound();
  double f0 = c0 < hi ? f(c0) : 1;
  if (f0 == 0) result = c0;
  bool have_previous = false;
  double c_prev = 0;
  double f_prev = 0;
  double probed_up_to = c0;  // the probes never look below this again
  while (c0 < hi && std::isnan(result)) {
    const double c1 = plan.Next(omega, c0);
    const double f1 = f(c1);
    const int sign = internal::SignOf(f0);
    if (internal::SignOf(f1) != sign) {
      // A root at the half-space's vs itself is not a trapped mode.
      if (!(f1 == 0 && c1 >= hi)) {
        const internal::Bracket r = *internal::FirstSignChange(f, plan, omega, c0, f0, c1, f1);
        result = internal::RefineRoot(f, r.lo, r.f_lo, r.hi, r.f_hi);
      }
      break;
    }
    if (have_previous) {
      // The parabola through the three samples of g = sign * F (all > 0):
      // a vertex between the outer samples that comes near zero means a
      // dip that may hide two roots.
      double a = 0, b = 0;
      const double g_prev = sign * f_prev, g0 = sign * f0, g1 = sign * f1;
      const double d1 = (g0 - g_prev) / (c0 - c_prev), d2 = (g1 - g0) / (c1 - c0);
      const double curvature = (d2 - d1) / (c1 - c_prev);
      if (curvature > 0) {
        const double vertex = (c_prev + c0) / 2 - d1 / (2 * curvature);
        const double depth = g0 + d1 * (vertex - c0) + curvature * (vertex - c_prev) * (vertex - c0);
        if (vertex > c_prev && vertex < c1 && depth < 0.5 * std::min({g_prev, g0, g1})) a = c_prev, b = c1;
      }
      a = std::max(a, probed_up_to);
      if (b > a) {
        ++probes;
        probed_up_to = b;
        const double fa = a == c_prev ? f_prev : f0;
        std::pair<double, double> dip;
        std::optional<internal::Bracket> r = internal::FirstSignChange(f, plan, omega, a, fa, b, f1, &dip);
        if (!r) {
          const auto [cm, fm] = internal::FindHiddenSignChange(f, dip.first, dip.second, sign);
          if (!std::isnan(cm)) r = internal::FirstSignChange(f, plan, omega, a, fa, cm, fm);
        }
        if (r) {
          result = internal::RefineRoot(f, r->lo, r->f_lo, r->hi, r->f_hi);
          break;
        }
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

// The slowest root of a secular function that can count its roots:
// `secular.ModesBelow(omega, c)` is the number of modes slower than c (a
// Sturm count, as LoveSecular has). No scan: the count at the half-space's
// vs says whether a mode exists, bisection on the count narrows
// (lower, upper) until exactly one mode lies inside, and TOMS 748 refines
// that root of `secular(omega, c)`, whose sign changes there. It cannot
// skip the fundamental mode however close the next one is.
template <typename Secular>
double SlowestRootByCount(const Secular& secular, const ScanPlan& plan, double omega, SearchCounts* counts = nullptr) {
  int64_t evaluations = 0;
  auto f = [&](double c) {
    ++evaluations;
    return secular(omega, c);
  };
  double a = plan.lower_bound();
  double b = plan.upper_bound();
  double result = std::numeric_limits<double>::quiet_NaN();
  int count_b = a < b ? secular.ModesBelow(omega, b) : 0;
  ++evaluations;
  if (count_b > 0) {
    for (int i = 0; i < 200 && count_b > 1; ++i) {
      const double m = a + (b - a) / 2;
      const int count_m = secular.ModesBelow(omega, m);
      ++evaluations;
      if (count_m == 0) {
        a = m;
      } else {
        b = m;
        count_b = count_m;
      }
    }
    result = internal::RefineRoot(f, a, f(a), b, f(b));
  }
  if (counts != nullptr) counts->evaluations += evaluations;
  return result;
}

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_MODE_SEARCH_H_
