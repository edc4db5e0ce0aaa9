#ifndef CIRCARRAY_PROFILE_INVERSION_PARAMETERISATION_H_
#define CIRCARRAY_PROFILE_INVERSION_PARAMETERISATION_H_

#include <span>
#include <string>
#include <vector>

#include "profile_inversion/layered_model.h"
#include "profile_inversion/observed_curve.h"
#include "profile_inversion/voronoi_walk.h"

namespace circinv {

// A closed interval of one parameter; min == max fixes the parameter.
struct Range {
  double min = 0;
  double max = 0;
  bool fixed() const { return min == max; }
};

// The ranges of one layer: thickness (m; unused for the half-space), shear
// velocity (m/s) and Poisson's ratio; density (kg/m^3) is fixed at a given
// value or, when 0, follows from vp by Gardner's relation (GardnerDensity).
struct LayerRanges {
  Range thickness;
  Range vs;
  Range poisson;
  double density = 0;
};

// Layers over a half-space, top down; the last entry is the half-space.
// With `increasing`, both vs and vp must not decrease with depth.
struct ParameterSpace {
  std::vector<LayerRanges> layers;
  bool increasing = false;
};

// The default number of layers over the half-space.
inline constexpr int kDefaultLayers = 4;

// The ranges made from the data (`layers` layers over a half-space), with
// lambda = c / f over every observed point of every curve:
// - the depth D of the half-space lies between lambda_min / 3 (the shallowest
//   depth the shortest wavelength resolves) and lambda_max / 2 (the deepest
//   that the longest one reaches); layer i = 1..N takes the share
//   w_i = 2^(i-1) / (2^N - 1) of it, thickness in [w_i lambda_min / 3,
//   w_i lambda_max / 2], so that every layer is twice as thick as the one
//   above at the same point of its range (resolution decreases with depth)
//   and the thicknesses add up to D within exactly those bounds;
// - vs of every layer and of the half-space in [0.8 c_min, 1.5 c_max]
//   (the fundamental mode's phase velocity lies between about 0.9 times the
//   slowest and the fastest shear velocity of the model);
// - Poisson's ratio of every layer in [0.2, 0.49], from stiff dry soil and
//   rock to saturated soil;
// - density from Gardner's relation; velocities free to decrease.
ParameterSpace DefaultParameterSpace(std::span<const ObservedCurve> curves, int layers = kDefaultLayers);

// What is wrong with the ranges of one layer ("" if nothing): a minimum
// above its maximum, a non-positive thickness or velocity (a half-space
// thickness other than 0), a Poisson's ratio outside (0, 0.5), a negative
// density. Used by the param-file reader, which prefixes the line.
std::string RangeProblem(const LayerRanges& layer, bool half_space);

// The map between the search's unit cube and layered models. Each free
// parameter (a range of non-zero width) is one axis: thicknesses and
// velocities on a logarithmic scale, since they are scale parameters whose
// ranges may span decades ("Jeffreys parameters", Tarantola 2005), Poisson's ratio on
// a linear one. The axes are ordered layer by layer: thickness, vs, nu.
//
// Layer thicknesses rather than interface depths are the parameters, so
// that every point of the cube is a valid model: depths would have to be
// kept in order, which either rejects samples or distorts the cells.
//
// The constraint of increasing velocities is applied by restricting each
// step of the search's random walks to the interval of its axis that keeps
// vs_(i-1) <= vs_i <= vs_(i+1) and vp_(i-1) <= vp_i <= vp_(i+1) with the
// other parameters held, as Wathelet (2008) does for parameter
// conditions: no sample is rejected and no parameter transformed.
class Parameterisation {
 public:
  // Throws textio::InputError ("layer N: ...") for inconsistent ranges, fewer
  // than one layer over the half-space, vs or density ranges that would make
  // models beyond the forward model's MaterialLimits (model_check.h), or
  // increasing velocities that the ranges cannot hold.
  explicit Parameterisation(ParameterSpace space);

  const ParameterSpace& space() const { return space_; }
  int layer_count() const { return static_cast<int>(space_.layers.size()); }  // with the half-space
  int dimension() const { return static_cast<int>(axes_.size()); }

  // The model at a point of the unit cube.
  LayeredModel ModelAt(std::span<const double> point) const;

  // The constraint for the search: empty without `increasing`.
  AxisLimits Limits() const;
  // A point that satisfies the constraint (the slowest profile that does).
  std::vector<double> FeasibleStart() const;

 private:
  enum class Kind { kThickness, kVs, kPoisson };
  struct Axis {
    int layer;
    Kind kind;
  };
  // Parameter values of every layer at a point (fixed ones at their value).
  struct Values {
    std::vector<double> thickness, vs, poisson;
  };

  double Value(const Axis& axis, double u) const;
  double Unit(const Axis& axis, double value) const;
  const Range& RangeOf(const Axis& axis) const;
  Values ValuesAt(std::span<const double> point) const;
  AxisInterval Admitted(std::span<const double> point, int axis) const;
  void PlaceOnAxes(const Values& values, std::vector<double>* point) const;
  // Throws textio::InputError when some model of the space would hold
  // contrasts beyond MaterialLimits.
  void CheckContrasts() const;

  ParameterSpace space_;
  std::vector<Axis> axes_;
};

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_PARAMETERISATION_H_
