#include "profile_inversion/parameterisation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "profile_inversion/elastic_relations.h"
#include "profile_inversion/model_check.h"
#include "textio/errors.h"
#include "textio/format.h"

namespace circinv {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// The default range of Poisson's ratio.
constexpr Range kDefaultPoisson{0.2, 0.49};

std::string Shown(const Range& r) { return textio::Shortest(r.min) + " " + textio::Shortest(r.max); }

// "" if `r` is an ordered range of finite values above `floor` (or at it,
// with `floor_allowed`) and below `ceiling`; else what is wrong.
std::string BadRange(const char* name, const Range& r, double floor, double ceiling, const char* bounds) {
  if (!std::isfinite(r.min) || !std::isfinite(r.max)) return std::string(name) + " " + Shown(r) + ": not finite";
  if (r.min > r.max) return std::string(name) + " " + Shown(r) + ": minimum above maximum";
  if (!(r.min > floor && r.max < ceiling)) return std::string(name) + " " + Shown(r) + ": " + bounds;
  return "";
}

}  // namespace

ParameterSpace DefaultParameterSpace(std::span<const ObservedCurve> curves, int layers) {
  CheckCurves(curves);
  if (layers < 1) throw textio::InputError("at least one layer over the half-space is needed");
  const DataSpan data = SpanOf(curves);
  const double depth_min = data.wavelength_min / 3.0;
  const double depth_max = data.wavelength_max / 2.0;
  const Range vs{0.8 * data.velocity_min, 1.5 * data.velocity_max};
  const double weight_sum = std::ldexp(1.0, layers) - 1.0;  // 2^N - 1
  ParameterSpace space;
  for (int i = 0; i < layers; ++i) {
    const double w = std::ldexp(1.0, i) / weight_sum;
    space.layers.push_back({{w * depth_min, w * depth_max}, vs, kDefaultPoisson, 0});
  }
  space.layers.push_back({{0, 0}, vs, kDefaultPoisson, 0});
  return space;
}

std::string RangeProblem(const LayerRanges& layer, bool half_space) {
  std::string problem;
  if (half_space) {
    if (layer.thickness.min != 0 || layer.thickness.max != 0) {
      return "thickness " + Shown(layer.thickness) + ": the half-space's thickness must be 0 0";
    }
  } else {
    problem = BadRange("thickness", layer.thickness, 0, kInf, "must be positive");
  }
  if (problem.empty()) problem = BadRange("vs", layer.vs, 0, kInf, "must be positive");
  if (problem.empty() &&
      !(layer.vs.min >= MaterialLimits::kLowestVelocity && layer.vs.max <= MaterialLimits::kHighestVelocity)) {
    problem = "vs " + Shown(layer.vs) + ": must lie within 0.001 to 1e6 m/s";
  }
  if (problem.empty()) problem = BadRange("Poisson's ratio", layer.poisson, 0, 0.5, "must lie inside (0, 0.5)");
  if (problem.empty() && !(std::isfinite(layer.density) && layer.density >= 0)) {
    problem = "density " + textio::Shortest(layer.density) + ": must be positive";
  }
  if (problem.empty() && layer.density > 0 &&
      !(layer.density >= MaterialLimits::kLowestDensity && layer.density <= MaterialLimits::kHighestDensity)) {
    problem = "density " + textio::Shortest(layer.density) + ": must lie within 0.1 to 1e6 kg/m^3";
  }
  return problem;
}

Parameterisation::Parameterisation(ParameterSpace space) : space_(std::move(space)) {
  if (space_.layers.size() < 2) {
    throw textio::InputError("at least one layer over the half-space is needed");
  }
  for (int i = 0; i < layer_count(); ++i) {
    const bool half_space = i == layer_count() - 1;
    const std::string problem = RangeProblem(space_.layers[i], half_space);
    if (!problem.empty()) {
      throw textio::InputError((half_space ? std::string("half-space") : "layer " + std::to_string(i + 1)) + ": " +
                               problem);
    }
    const LayerRanges& layer = space_.layers[i];
    if (!half_space && !layer.thickness.fixed()) axes_.push_back({i, Kind::kThickness});
    if (!layer.vs.fixed()) axes_.push_back({i, Kind::kVs});
    if (!layer.poisson.fixed()) axes_.push_back({i, Kind::kPoisson});
  }
  CheckContrasts();
  if (space_.increasing) FeasibleStart();  // throws when the ranges admit no such profile
}

// Every model of the space must keep the forward model's contrasts: the
// extremes of the vs ranges, and of the densities given or, for layers
// without one, of Gardner's over the vp the ranges allow.
void Parameterisation::CheckContrasts() const {
  double vs_low = space_.layers.front().vs.min, vs_high = space_.layers.front().vs.max;
  double rho_low = std::numeric_limits<double>::infinity(), rho_high = 0;
  for (const LayerRanges& layer : space_.layers) {
    vs_low = std::min(vs_low, layer.vs.min);
    vs_high = std::max(vs_high, layer.vs.max);
    const double rho_min =
        layer.density > 0 ? layer.density : GardnerDensity(layer.vs.min * VpVsRatio(layer.poisson.min));
    const double rho_max =
        layer.density > 0 ? layer.density : GardnerDensity(layer.vs.max * VpVsRatio(layer.poisson.max));
    rho_low = std::min(rho_low, rho_min);
    rho_high = std::max(rho_high, rho_max);
  }
  if (const std::string why = WhyContrastTooLarge("the vs ranges", vs_low, vs_high, " m/s"); !why.empty()) {
    throw textio::InputError(why);
  }
  for (size_t i = 0; i < space_.layers.size(); ++i) {
    const LayerRanges& layer = space_.layers[i];
    const double vp_max = layer.vs.max * VpVsRatio(layer.poisson.max);
    if (!(vp_max <= MaterialLimits::kHighestVelocity)) {
      throw textio::InputError(
          (i + 1 == space_.layers.size() ? std::string("half-space") : "layer " + std::to_string(i + 1)) +
          ": vs up to " + textio::Shortest(layer.vs.max) + " m/s with Poisson's ratio up to " +
          textio::Shortest(layer.poisson.max) + " gives vp up to " + textio::Shortest(vp_max) + " m/s, above 1e6 m/s");
    }
  }
  if (const std::string why = WhyContrastTooLarge("the densities", rho_low, rho_high, " kg/m^3"); !why.empty()) {
    throw textio::InputError(why);
  }
}

const Range& Parameterisation::RangeOf(const Axis& axis) const {
  const LayerRanges& layer = space_.layers[axis.layer];
  switch (axis.kind) {
    case Kind::kThickness:
      return layer.thickness;
    case Kind::kVs:
      return layer.vs;
    case Kind::kPoisson:
      break;
  }
  return layer.poisson;
}

// Logarithmic axes: value = min (max / min)^u, which is exactly min at
// u = 0; linear ones: min + u (max - min). Clamped against rounding.
double Parameterisation::Value(const Axis& axis, double u) const {
  const Range& r = RangeOf(axis);
  const double v =
      axis.kind == Kind::kPoisson ? r.min + u * (r.max - r.min) : r.min * std::exp(u * std::log(r.max / r.min));
  return std::clamp(v, r.min, r.max);
}

// The inverse of Value, 0 at and below the range, 1 at and above it.
double Parameterisation::Unit(const Axis& axis, double value) const {
  const Range& r = RangeOf(axis);
  if (!(value > r.min)) return 0;
  if (!(value < r.max)) return 1;
  const double u = axis.kind == Kind::kPoisson ? (value - r.min) / (r.max - r.min)
                                               : std::log(value / r.min) / std::log(r.max / r.min);
  return std::clamp(u, 0.0, 1.0);
}

Parameterisation::Values Parameterisation::ValuesAt(std::span<const double> point) const {
  Values values;
  for (const LayerRanges& layer : space_.layers) {
    values.thickness.push_back(layer.thickness.min);
    values.vs.push_back(layer.vs.min);
    values.poisson.push_back(layer.poisson.min);
  }
  for (size_t a = 0; a < axes_.size(); ++a) {
    const Axis& axis = axes_[a];
    const double v = Value(axis, point[a]);
    switch (axis.kind) {
      case Kind::kThickness:
        values.thickness[axis.layer] = v;
        break;
      case Kind::kVs:
        values.vs[axis.layer] = v;
        break;
      case Kind::kPoisson:
        values.poisson[axis.layer] = v;
        break;
    }
  }
  return values;
}

LayeredModel Parameterisation::ModelAt(std::span<const double> point) const {
  const Values values = ValuesAt(point);
  LayeredModel model;
  model.layers.resize(space_.layers.size());
  for (int i = 0; i < layer_count(); ++i) {
    Layer& layer = model.layers[i];
    layer.thickness = i + 1 < layer_count() ? values.thickness[i] : 0.0;
    layer.vs = values.vs[i];
    layer.vp = values.vs[i] * VpVsRatio(values.poisson[i]);
    layer.density = space_.layers[i].density > 0 ? space_.layers[i].density : GardnerDensity(layer.vp);
  }
  return model;
}

AxisLimits Parameterisation::Limits() const {
  if (!space_.increasing) return {};
  return [this](std::span<const double> point, int axis) { return Admitted(point, axis); };
}

// With the other parameters held, vs_i must lie in
// [max(vs_(i-1), vp_(i-1) / r_i), min(vs_(i+1), vp_(i+1) / r_i)] where r_i is
// the layer's vp / vs, and r_i in [vp_(i-1) / vs_i, vp_(i+1) / vs_i], which
// is an interval of nu since r grows with nu.
AxisInterval Parameterisation::Admitted(std::span<const double> point, int axis_index) const {
  const Axis& axis = axes_[axis_index];
  if (axis.kind == Kind::kThickness) return {0, 1};
  const Values v = ValuesAt(point);
  const int i = axis.layer;
  const bool above = i > 0;
  const bool below = i + 1 < layer_count();
  auto vp = [&](int k) { return v.vs[k] * VpVsRatio(v.poisson[k]); };
  double lower = -kInf;
  double upper = kInf;
  if (axis.kind == Kind::kVs) {
    const double r = VpVsRatio(v.poisson[i]);
    if (above) lower = std::max(v.vs[i - 1], vp(i - 1) / r);
    if (below) upper = std::min(v.vs[i + 1], vp(i + 1) / r);
  } else {
    // nu of a ratio r <= 1 is below every admissible nu: no bound from it.
    if (above) {
      const double r = vp(i - 1) / v.vs[i];
      if (r > 1) lower = PoissonOfVpVsRatio(r);
    }
    if (below) {
      const double r = vp(i + 1) / v.vs[i];
      upper = r > 1 ? PoissonOfVpVsRatio(r) : -kInf;
    }
  }
  return {Unit(axis, lower), Unit(axis, upper)};
}

void Parameterisation::PlaceOnAxes(const Values& values, std::vector<double>* point) const {
  point->assign(axes_.size(), 0.5);
  for (size_t a = 0; a < axes_.size(); ++a) {
    const Axis& axis = axes_[a];
    if (axis.kind == Kind::kVs) (*point)[a] = Unit(axis, values.vs[axis.layer]);
    if (axis.kind == Kind::kPoisson) (*point)[a] = Unit(axis, values.poisson[axis.layer]);
  }
}

// Top down, the slowest vs and vp each layer admits after the one above:
// vs_i = max(vs_min, vs_(i-1), vp_(i-1) / r(nu_max)), then the smallest nu that
// makes vp_i >= vp_(i-1). Both velocities are then as low as they can be,
// which leaves the layers below the most room, so the ranges admit an
// increasing profile exactly when this one fits.
std::vector<double> Parameterisation::FeasibleStart() const {
  Values values = ValuesAt(std::vector<double>(axes_.size(), 0.0));
  double vs_above = 0;
  double vp_above = 0;
  for (int i = 0; i < layer_count(); ++i) {
    const LayerRanges& layer = space_.layers[i];
    double vs = std::max({layer.vs.min, vs_above, vp_above / VpVsRatio(layer.poisson.max)});
    if (vs > layer.vs.max) {
      throw textio::InputError("the ranges admit no profile whose velocities increase with depth (layer " +
                               std::to_string(i + 1) + ")");
    }
    const double r = vp_above / vs;
    const double nu =
        std::clamp(r > 1 ? PoissonOfVpVsRatio(r) : layer.poisson.min, layer.poisson.min, layer.poisson.max);
    values.vs[i] = vs;
    values.poisson[i] = nu;
    vs_above = vs;
    vp_above = std::max(vp_above, vs * VpVsRatio(nu));
  }
  std::vector<double> point;
  PlaceOnAxes(values, &point);
  return point;
}

}  // namespace circinv
