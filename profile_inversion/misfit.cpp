#include "profile_inversion/misfit.h"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace circinv {

double Misfit(std::span<const ObservedCurve> curves, std::span<const std::vector<double>> predicted) {
  double sum = 0;
  size_t n = 0;
  for (size_t k = 0; k < curves.size(); ++k) {
    const ObservedCurve& curve = curves[k];
    for (size_t i = 0; i < curve.size(); ++i) {
      const double c = predicted[k][i];
      const double r = std::isfinite(c) ? (curve.velocity[i] - c) / curve.sigma[i] : kMissingModeResidual;
      sum += r * r;
    }
    n += curve.size();
  }
  return std::sqrt(sum / static_cast<double>(n));
}

MisfitFunction::MisfitFunction(std::vector<ObservedCurve> curves, std::vector<ForwardFunction> forward)
    : curves_(std::move(curves)), forward_(std::move(forward)) {
  CheckCurves(curves_);
  if (forward_.size() != curves_.size()) throw std::invalid_argument("one forward model per curve is needed");
  for (const ObservedCurve& curve : curves_) predicted_.emplace_back(curve.size());
}

const std::vector<std::vector<double>>& MisfitFunction::Predict(const LayeredModel& model) {
  for (size_t k = 0; k < curves_.size(); ++k) forward_[k](model, curves_[k].frequency, predicted_[k]);
  return predicted_;
}

double MisfitFunction::operator()(const LayeredModel& model) { return Misfit(curves_, Predict(model)); }

}  // namespace circinv
