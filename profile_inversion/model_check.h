#ifndef CIRCARRAY_PROFILE_INVERSION_MODEL_CHECK_H_
#define CIRCARRAY_PROFILE_INVERSION_MODEL_CHECK_H_

#include <string>

#include "profile_inversion/layered_model.h"

namespace circinv {

// Why `model` is not a physical layered half-space, or "" when it is. The
// rules, checked in this order for each layer from the top:
//  - there is at least one layer, the half-space;
//  - vp, vs and density are finite and > 0;
//  - the thickness is finite and > 0 for every layer above the half-space,
//    and exactly 0 for the half-space (the last layer);
//  - vp/vs > sqrt(4/3), i.e. 3 vp^2 > 4 vs^2: otherwise the bulk modulus
//    rho (vp^2 - 4/3 vs^2) is zero or negative (Poisson's ratio <= -1).
// The message names the layer ("layer 2: ..." counting from 1 at the top,
// or "half-space: ...").
std::string WhyUnphysical(const LayeredModel& model);

// The check of one layer's velocities and density alone (the vp, vs,
// density and vp/vs rules above), as a phrase such as "vs is not a positive
// finite number" or "" if they are physical: shared with the model-file
// reader, which reports it with the file and line.
std::string WhyUnphysicalMaterial(const Layer& layer);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_MODEL_CHECK_H_
