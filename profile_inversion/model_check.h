#ifndef CIRCARRAY_PROFILE_INVERSION_MODEL_CHECK_H_
#define CIRCARRAY_PROFILE_INVERSION_MODEL_CHECK_H_

#include <string>

#include "profile_inversion/layered_model.h"

namespace circinv {

// The materials the forward model is proven over (random models at these
// extremes give a mode below the half-space's vs or none, and no failure
// of the root search): velocities and densities far outside every earth
// material, and contrasts within one model far beyond any site's (soft
// soil over hard rock is about 100 in vs, 2 in density). Beyond them the
// products of the secular functions (rho vs^2, k^2 vs^2) underflow or
// overflow, the root search hangs or finds roots that are not there.
struct MaterialLimits {
  static constexpr double kLowestVelocity = 1e-3;  // m/s, of vp and vs
  static constexpr double kHighestVelocity = 1e6;
  static constexpr double kLowestDensity = 0.1;  // kg/m^3
  static constexpr double kHighestDensity = 1e6;
  // Of the largest to the smallest vs, and density, within a model.
  static constexpr double kLargestContrast = 1000;
};

// Why `model` is not a physical layered half-space, or "" when it is. The
// rules, checked in this order for each layer from the top:
//  - there is at least one layer, the half-space;
//  - vp, vs and density are finite and > 0;
//  - vp and vs lie within 0.001 to 1e6 m/s and density within 0.1 to 1e6
//    kg/m^3 (MaterialLimits);
//  - the thickness is finite and > 0 for every layer above the half-space,
//    and exactly 0 for the half-space (the last layer);
//  - vp/vs > sqrt(4/3), i.e. 3 vp^2 > 4 vs^2: otherwise the bulk modulus
//    rho (vp^2 - 4/3 vs^2) is zero or negative (Poisson's ratio <= -1);
//  - then over the model: the largest vs at most 1000 times the smallest,
//    and the same for density (WhyTooContrasted).
// The message names the layer ("layer 2: ..." counting from 1 at the top,
// or "half-space: ...").
std::string WhyUnphysical(const LayeredModel& model);

// The check of one layer's velocities and density alone (the vp, vs,
// density and vp/vs rules above), as a phrase such as "vs is not a positive
// finite number" or "" if they are physical: shared with the model-file
// reader, which reports it with the file and line.
std::string WhyUnphysicalMaterial(const Layer& layer);

// The contrast rule alone, as a phrase ("the shear velocities span 1 to
// 5000 m/s, more than a factor 1000") or "": shared with the model-file
// reader, which checks it as each layer is read.
std::string WhyTooContrasted(const LayeredModel& model);

// The contrast rule on one property's extremes: "" when high is at most
// kLargestContrast times low, else the phrase "<what> span <low> to
// <high><unit>, more than a factor 1000". Shared with the check of the
// inversion's ranges, which applies it to the extremes of the ranges.
std::string WhyContrastTooLarge(const char* what, double low, double high, const char* unit);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_MODEL_CHECK_H_
