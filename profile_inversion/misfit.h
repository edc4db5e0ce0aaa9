#ifndef CIRCARRAY_PROFILE_INVERSION_MISFIT_H_
#define CIRCARRAY_PROFILE_INVERSION_MISFIT_H_

#include <functional>
#include <span>
#include <vector>

#include "profile_inversion/layered_model.h"
#include "profile_inversion/observed_curve.h"

namespace circinv {

// The forward model of one curve: the phase velocities (m/s) of the
// fundamental mode of a layered model at the frequencies f (Hz), into c;
// NaN where the mode does not exist.
using ForwardFunction = std::function<void(const LayeredModel& model, std::span<const double> f, std::span<double> c)>;

// The residual, in standard errors, of an observed point where the model
// has no fundamental mode (the forward model's NaN): 100, far beyond any
// residual of a model worth keeping, so that such a model ranks below all
// that explain every point, and while the curves hold fewer than 10,000
// points one missing point alone keeps a model out of the acceptable
// ensemble (misfit > 1). The penalty is the same at every such point, so
// models with more missing points rank lower.
inline constexpr double kMissingModeResidual = 100;

// The misfit of predicted phase velocities (one vector per curve, aligned
// with its frequencies) to the observations: the root mean square of the
// residuals (c_obs - c_model) / sigma over all n points of all curves,
//   misfit = sqrt( sum_i ((c_obs,i - c_model,i) / sigma_i)^2 / n ),
// the measure of Wathelet et al. (2004), there for one curve, here with
// the Rayleigh and Love points pooled. A non-finite prediction counts as
// kMissingModeResidual. Misfit 1 means the model explains the data to
// within their errors on average.
double Misfit(std::span<const ObservedCurve> curves, std::span<const std::vector<double>> predicted);

// The misfit of models to fixed observations, through one forward model per
// curve. Holds the buffers of the predictions, so one instance serves one
// thread.
class MisfitFunction {
 public:
  // `forward[k]` models `curves[k]`. Throws textio::InputError for curves
  // CheckCurves refuses, std::invalid_argument unless there is one forward
  // model per curve.
  MisfitFunction(std::vector<ObservedCurve> curves, std::vector<ForwardFunction> forward);

  const std::vector<ObservedCurve>& curves() const { return curves_; }

  double operator()(const LayeredModel& model);
  // The predictions of `model`, one vector per curve.
  const std::vector<std::vector<double>>& Predict(const LayeredModel& model);

 private:
  std::vector<ObservedCurve> curves_;
  std::vector<ForwardFunction> forward_;
  std::vector<std::vector<double>> predicted_;
};

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_MISFIT_H_
