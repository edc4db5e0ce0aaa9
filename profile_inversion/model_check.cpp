#include "profile_inversion/model_check.h"

#include <algorithm>
#include <cmath>

#include "textio/format.h"

namespace circinv {

namespace {

bool PositiveFinite(double v) { return std::isfinite(v) && v > 0; }

bool Within(double v, double low, double high) { return v >= low && v <= high; }

}  // namespace

std::string WhyUnphysicalMaterial(const Layer& layer) {
  if (!PositiveFinite(layer.vp)) return "vp is not a positive finite number";
  if (!PositiveFinite(layer.vs)) return "vs is not a positive finite number";
  if (!PositiveFinite(layer.density)) return "density is not a positive finite number";
  if (!Within(layer.vp, MaterialLimits::kLowestVelocity, MaterialLimits::kHighestVelocity) ||
      !Within(layer.vs, MaterialLimits::kLowestVelocity, MaterialLimits::kHighestVelocity)) {
    return "vp and vs must lie within 0.001 to 1e6 m/s";
  }
  if (!Within(layer.density, MaterialLimits::kLowestDensity, MaterialLimits::kHighestDensity))
    return "density must lie within 0.1 to 1e6 kg/m^3";
  // vp/vs > sqrt(4/3) without a square root: the bulk modulus
  // K = rho (vp^2 - 4/3 vs^2) must be positive.
  if (!(3 * layer.vp * layer.vp > 4 * layer.vs * layer.vs)) {
    return "vp/vs is not above sqrt(4/3) (a negative bulk modulus)";
  }
  return "";
}

std::string WhyUnphysical(const LayeredModel& model) {
  if (model.layers.empty()) return "the model has no layer (not even the half-space)";
  for (size_t i = 0; i < model.layers.size(); ++i) {
    const Layer& layer = model.layers[i];
    const bool is_half_space = i + 1 == model.layers.size();
    const std::string name = is_half_space ? "half-space" : "layer " + std::to_string(i + 1);
    if (const std::string why = WhyUnphysicalMaterial(layer); !why.empty()) return name + ": " + why;
    if (is_half_space) {
      if (layer.thickness != 0) return name + ": the thickness of the half-space must be 0";
    } else if (!PositiveFinite(layer.thickness)) {
      return name + ": thickness is not a positive finite number";
    }
  }
  return WhyTooContrasted(model);
}

std::string WhyTooContrasted(const LayeredModel& model) {
  auto span = [&](double Layer::*field, const char* what, const char* unit) {
    double low = model.layers.front().*field, high = low;
    for (const Layer& layer : model.layers) {
      low = std::min(low, layer.*field);
      high = std::max(high, layer.*field);
    }
    return WhyContrastTooLarge(what, low, high, unit);
  };
  if (model.layers.empty()) return "";
  if (std::string why = span(&Layer::vs, "the shear velocities", " m/s"); !why.empty()) return why;
  return span(&Layer::density, "the densities", " kg/m^3");
}

std::string WhyContrastTooLarge(const char* what, double low, double high, const char* unit) {
  if (high <= MaterialLimits::kLargestContrast * low) return "";
  return std::string(what) + " span " + textio::Shortest(low) + " to " + textio::Shortest(high) + unit +
         ", more than a factor 1000";
}

}  // namespace circinv
