#ifndef CIRCARRAY_PROFILE_INVERSION_OBSERVED_CURVE_H_
#define CIRCARRAY_PROFILE_INVERSION_OBSERVED_CURVE_H_

#include <span>
#include <vector>

#include "profile_inversion/layered_model.h"

namespace circinv {

// A measured dispersion curve of one wave: phase velocity c (m/s) with
// its standard error sigma (m/s) at each frequency f (Hz).
struct ObservedCurve {
  Wave wave = Wave::kRayleigh;
  std::vector<double> frequency;
  std::vector<double> velocity;
  std::vector<double> sigma;

  size_t size() const { return frequency.size(); }
};

// Throws textio::InputError unless every curve has points, its three
// columns are equally long, and every value is finite and positive; and
// unless there is at least one curve and no wave is given twice.
void CheckCurves(std::span<const ObservedCurve> curves);

// The extremes of the observations over all points of all curves: phase
// velocities and wavelengths c / f (m).
struct DataSpan {
  double velocity_min = 0;
  double velocity_max = 0;
  double wavelength_min = 0;
  double wavelength_max = 0;
};
DataSpan SpanOf(std::span<const ObservedCurve> curves);

// The name of a wave in files and messages: "rayleigh" or "love".
const char* WaveName(Wave wave);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_OBSERVED_CURVE_H_
