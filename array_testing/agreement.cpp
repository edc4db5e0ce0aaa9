#include "array_testing/agreement.h"

#include <cmath>
#include <numbers>

#include "textio/format.h"

namespace circspec::testing {

std::string Agreement::Describe(Quantity q, double limit) const {
  return std::string(NameOf(q)) + ": " + std::to_string(within) + " of " + std::to_string(frequencies) + " within " +
         textio::Shortest(limit) + " se, worst " + textio::Shortest(std::round(worst * 100) / 100) + " se";
}

Agreement AgreeWithTheory(const SyntheticArray& array, const AnalysisOptions& options, const SpectralSums& sums,
                          Quantity q, size_t ring, double limit, double kr_low, double kr_high) {
  const ChannelLayout channels(array.geometry, options.component);
  const double df = 1 / (static_cast<double>(sums.window_samples) * sums.dt);
  const std::vector<double> theory =
      SmoothedTheory(array.geometry, channels, array.Model(),
                     MakeSmoother(options.smoothing, sums.frequencies, sums.window_samples, sums.dt), df);
  const Series s = Estimate(q, channels, ring, sums);
  const double radius = array.geometry.rings[ring].radius;
  Agreement agreement;
  for (size_t i = 0; i < sums.frequencies.size(); ++i) {
    const double f = sums.frequencies[i];
    const double kr = 2 * std::numbers::pi * f / array.wavefield.rayleigh.Velocity(f) * radius;
    if (kr < kr_low || kr > kr_high) continue;
    const double expected = Evaluate(q, channels, ring, &theory[i * channels.count]);
    const double deviation = std::fabs(s.value[i] - expected) / s.se[i];
    ++agreement.frequencies;
    if (deviation <= limit) ++agreement.within;
    agreement.worst = std::max(agreement.worst, deviation);
  }
  return agreement;
}

}  // namespace circspec::testing
