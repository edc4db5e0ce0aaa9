#ifndef CIRCARRAY_PROFILE_INVERSION_DISPERSION_H_
#define CIRCARRAY_PROFILE_INVERSION_DISPERSION_H_

#include <span>

#include "profile_inversion/layered_model.h"
#include "profile_inversion/love_secular.h"
#include "profile_inversion/mode_search.h"
#include "profile_inversion/rayleigh_secular.h"

namespace circinv {

// Fundamental-mode phase velocities of a layered elastic half-space: the
// forward model of the inversion. The secular functions are those of
// RayleighSecular (delta-matrix propagator) and LoveSecular (SH
// propagator); the fundamental mode is the slowest root of the secular
// function below the half-space's vs, found by SlowestRoot.
//
// Reusable: the solver owns its scratch memory, so that an inversion can
// call it 10^5 times without allocating (after the first model of a given
// number of layers). Not thread-safe; use one solver per thread.
class DispersionSolver {
 public:
  explicit DispersionSolver(Wave wave) : wave_(wave) {}

  // Fundamental-mode phase velocities (m/s) at the frequencies f (Hz, any
  // order, each finite and > 0) of `model`; NaN where the mode does not
  // exist (no root below the half-space's vs). Each c[i] depends on f[i]
  // alone, not on the other frequencies or their order. Throws
  // textio::RuntimeError for an unphysical model (see WhyUnphysical), a
  // frequency that is not finite and positive, or c.size() != f.size().
  void PhaseVelocities(const LayeredModel& model, std::span<const double> f, std::span<double> c);

  // The work of all calls so far: secular-function evaluations and probes.
  const SearchCounts& counts() const { return counts_; }

 private:
  Wave wave_;
  RayleighSecular rayleigh_;
  LoveSecular love_;
  ScanPlan plan_;
  SearchCounts counts_;
};

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_DISPERSION_H_
