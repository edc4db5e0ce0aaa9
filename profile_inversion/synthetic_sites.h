#ifndef CIRCARRAY_PROFILE_INVERSION_SYNTHETIC_SITES_H_
#define CIRCARRAY_PROFILE_INVERSION_SYNTHETIC_SITES_H_

// Shared by the tests and the benchmark of the inversion: three known
// sites, and their dispersion curves made by the forward model with
// Gaussian errors of a fixed seed.

#include <cmath>
#include <cstdint>
#include <vector>

#include "profile_inversion/dispersion.h"
#include "profile_inversion/elastic_relations.h"
#include "profile_inversion/observed_curve.h"
#include "profile_inversion/random_stream.h"

namespace circinv::synthetic {

inline Layer SoilLayer(double thickness, double vs, double poisson) {
  const double vp = vs * VpVsRatio(poisson);
  return {thickness, vp, vs, GardnerDensity(vp)};
}

// vs growing with depth as 150 (1 + z / 2 m)^0.4 m/s, sampled every 2 m
// to 60 m (at the middle of each step), over a half-space of 600 m/s.
inline LayeredModel Gradient() {
  LayeredModel m;
  for (double top = 0; top < 60; top += 2)
    m.layers.push_back(SoilLayer(2, 150 * std::pow(1 + (top + 1) / 2, 0.4), 0.4));
  m.layers.push_back(SoilLayer(0, 600, 0.3));
  return m;
}

// Soft soil on rock: 200 m/s down to 12 m over 800 m/s.
inline LayeredModel StrongContrast() { return {{SoilLayer(12, 200, 0.4), SoilLayer(0, 800, 0.3)}}; }

// A soft layer between stiffer ones: 300 m/s to 4 m, 150 m/s to 12 m,
// 400 m/s to 30 m, then 700 m/s.
inline LayeredModel LowVelocityLayer() {
  return {{SoilLayer(4, 300, 0.33), SoilLayer(8, 150, 0.45), SoilLayer(18, 400, 0.35), SoilLayer(0, 700, 0.3)}};
}

// `count` frequencies evenly spaced in log f from f_min to f_max.
inline std::vector<double> LogFrequencies(double f_min, double f_max, int count) {
  std::vector<double> f;
  for (int i = 0; i < count; ++i) f.push_back(f_min * std::pow(f_max / f_min, i / double(count - 1)));
  return f;
}

// The curve of `wave` for `model` at the frequencies f: each velocity
// times (1 + error N(0, 1)) with the given relative error, which is also
// the stated standard error sigma = error c_observed.
inline ObservedCurve NoisyCurve(const LayeredModel& model, Wave wave, const std::vector<double>& f, double error,
                                uint64_t seed) {
  ObservedCurve curve{wave, f, std::vector<double>(f.size()), {}};
  DispersionSolver(wave).PhaseVelocities(model, f, curve.velocity);
  RandomStream noise(seed);
  for (double& c : curve.velocity) {
    c *= 1.0 + error * noise.Normal();
    curve.sigma.push_back(error * c);
  }
  return curve;
}

}  // namespace circinv::synthetic

#endif  // CIRCARRAY_PROFILE_INVERSION_SYNTHETIC_SITES_H_
