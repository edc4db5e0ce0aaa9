#ifndef CIRCARRAY_PROFILE_INVERSION_LAYERED_MODEL_H_
#define CIRCARRAY_PROFILE_INVERSION_LAYERED_MODEL_H_

#include <vector>

namespace circinv {

// One homogeneous, isotropic, elastic layer, in SI units: thickness in
// metres, P and S velocities in m/s, density in kg/m^3.
struct Layer {
  double thickness = 0;
  double vp = 0;
  double vs = 0;
  double density = 0;
};

// A stack of layers over a half-space, top down. The last entry is the
// half-space; its thickness is 0 and is not used.
struct LayeredModel {
  std::vector<Layer> layers;

  const Layer& half_space() const { return layers.back(); }
};

// The surface waves whose dispersion is modelled.
enum class Wave { kRayleigh, kLove };

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_LAYERED_MODEL_H_
