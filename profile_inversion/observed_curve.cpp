#include "profile_inversion/observed_curve.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "textio/errors.h"
#include "textio/format.h"

namespace circinv {

void CheckCurves(std::span<const ObservedCurve> curves) {
  if (curves.empty()) throw textio::InputError("no dispersion curve to invert");
  for (size_t k = 0; k < curves.size(); ++k) {
    const ObservedCurve& curve = curves[k];
    const std::string name = std::string("the ") + WaveName(curve.wave) + " curve";
    for (size_t other = 0; other < k; ++other) {
      if (curves[other].wave == curve.wave) throw textio::InputError(name + " is given twice");
    }
    if (curve.frequency.empty()) throw textio::InputError(name + " has no points");
    if (curve.velocity.size() != curve.size() || curve.sigma.size() != curve.size()) {
      throw textio::InputError(name + ": frequencies, velocities and errors differ in number");
    }
    for (size_t i = 0; i < curve.size(); ++i) {
      for (const double v : {curve.frequency[i], curve.velocity[i], curve.sigma[i]}) {
        if (!(std::isfinite(v) && v > 0)) {
          throw textio::InputError(name + " point " + std::to_string(i + 1) + ": frequency " +
                                   textio::Shortest(curve.frequency[i]) + ", velocity " +
                                   textio::Shortest(curve.velocity[i]) + ", error " + textio::Shortest(curve.sigma[i]) +
                                   ": each must be finite and positive");
        }
      }
    }
  }
}

DataSpan SpanOf(std::span<const ObservedCurve> curves) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  DataSpan span{kInf, 0, kInf, 0};
  for (const ObservedCurve& curve : curves) {
    for (size_t i = 0; i < curve.size(); ++i) {
      const double c = curve.velocity[i];
      const double wavelength = c / curve.frequency[i];
      span.velocity_min = std::min(span.velocity_min, c);
      span.velocity_max = std::max(span.velocity_max, c);
      span.wavelength_min = std::min(span.wavelength_min, wavelength);
      span.wavelength_max = std::max(span.wavelength_max, wavelength);
    }
  }
  return span;
}

const char* WaveName(Wave wave) { return wave == Wave::kRayleigh ? "rayleigh" : "love"; }

}  // namespace circinv
