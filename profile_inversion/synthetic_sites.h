#ifndef CIRCARRAY_PROFILE_INVERSION_SYNTHETIC_SITES_H_
#define CIRCARRAY_PROFILE_INVERSION_SYNTHETIC_SITES_H_

// Shared by the tests and the benchmarks of the inversion: three known
// sites and random ones, their dispersion curves made by the forward model
// with Gaussian errors of a fixed seed, and how an appraisal compares with
// the site's truth.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "profile_inversion/appraisal.h"
#include "profile_inversion/dispersion.h"
#include "profile_inversion/elastic_relations.h"
#include "profile_inversion/inversion.h"
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

// A random soil site, for studies of the inversion over many grounds rather
// than a chosen few: 2 to 4 layers over a half-space of vs log-uniform in
// 400-900 m/s; the top layer's vs log-uniform in 120-240 m/s, each next
// one's that of the layer above times a factor log-uniform in
// [1.8^-0.3, 1.8] (mostly stiffer with depth, at times softer), at most 0.9
// times the half-space's; thicknesses log-uniform in 2-15 m; Poisson's
// ratio uniform in 0.25-0.45 in the layers and 0.25-0.35 in the half-space.
inline LayeredModel RandomSoilSite(uint64_t seed) {
  RandomStream random(seed);
  const int layers = 2 + static_cast<int>(random.Uniform() * 3);
  const double half_space_vs = 400 * std::pow(900 / 400.0, random.Uniform());
  double vs = 120 * std::pow(2.0, random.Uniform());
  LayeredModel m;
  for (int i = 0; i < layers; ++i) {
    if (i > 0) vs = std::min(vs * std::pow(1.8, 1.3 * random.Uniform() - 0.3), 0.9 * half_space_vs);
    const double thickness = 2 * std::pow(7.5, random.Uniform());
    m.layers.push_back(SoilLayer(thickness, vs, 0.25 + 0.2 * random.Uniform()));
  }
  m.layers.push_back(SoilLayer(0, half_space_vs, 0.25 + 0.1 * random.Uniform()));
  return m;
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

// How the appraisal of an inversion compares with the site's truth.
struct Recovery {
  double best_misfit;
  double vs30_error;     // median / true - 1
  bool vs30_in_range;    // the true Vs30 within the 10-90 % range
  double band_coverage;  // share of the depths to lambda_max / 3 where the true vs is in the 10-90 % band
};

inline Recovery RecoveryOf(const Appraisal& a, const LayeredModel& truth) {
  const double vs30 = Vs30(truth);
  int inside = 0, depths = 0;
  for (size_t k = 0; k < a.depth.size() && a.depth[k] <= a.constrained_depth * 2 / 3; ++k) {
    const double vs = VsAtDepth(truth, a.depth[k]);
    inside += vs >= a.vs[k].p10 && vs <= a.vs[k].p90;
    ++depths;
  }
  return {a.best_misfit, a.vs30_percentiles.p50 / vs30 - 1,
          vs30 >= a.vs30_percentiles.p10 && vs30 <= a.vs30_percentiles.p90, static_cast<double>(inside) / depths};
}

// Site k of the random-site study (docs/circinv.md): RandomSoilSite(50000 +
// k), its Rayleigh curve at 20 frequencies from 2 to 30 Hz with 3 % errors
// (noise seed 7000 + k), inverted over the default ranges with `settings`.
inline Recovery RandomSiteRecovery(int k, const InversionSettings& settings) {
  const LayeredModel truth = RandomSoilSite(50000 + static_cast<uint64_t>(k));
  const ObservedCurve curve =
      NoisyCurve(truth, Wave::kRayleigh, LogFrequencies(2, 30, 20), 0.03, 7000 + static_cast<uint64_t>(k));
  return RecoveryOf(Invert({curve}, DefaultParameterSpace(std::vector{curve}), settings).appraisal, truth);
}

}  // namespace circinv::synthetic

#endif  // CIRCARRAY_PROFILE_INVERSION_SYNTHETIC_SITES_H_
