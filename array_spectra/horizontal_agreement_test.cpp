// The horizontal SPAC coefficients against theory: circsim's records of
// Rayleigh waves, Love waves and a mixture, processed as `circspec
// --component h` processes them, compared with the expected projected
// spectra smoothed by the same weights, in units of the estimates' own
// jackknife standard errors.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <numbers>
#include <ostream>

#include "array_spectra/analysis.h"
#include "array_spectra/quantities.h"
#include "array_testing/synthetic_array.h"
#include "array_testing/theory.h"

namespace circspec {
namespace {

using testing::WaveModel;

struct Case {
  const char* name;
  double love_fraction;
  int stations;
  double noise;
};
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name << ", " << c.stations << " stations, noise ratio " << c.noise;
}

class HorizontalAgreementTest : public ::testing::TestWithParam<Case> {};

TEST_P(HorizontalAgreementTest, RadialAndTransverseSpacLieWithinFourStandardErrorsOfTheSmoothedTheory) {
  const Case c = GetParam();
  const testing::AnalysedArray analysed = testing::MakeAndAnalyse(
      {.ring_stations = {c.stations},
       .radii = {10},
       .duration = 900,
       .noise = c.noise,
       .seed = 40 + static_cast<uint64_t>(c.stations) + static_cast<uint64_t>(10 * c.love_fraction),
       .love_fraction = c.love_fraction},
      Component::kHorizontal);
  const auto& [a, options, ch, sums] = analysed;
  const std::vector<double> theory = analysed.Theory(a.Model());
  // The theory with the wave types' shares swapped, which the estimates
  // must tell apart from the right one.
  WaveModel swapped_model = a.Model();
  swapped_model.love_fraction = 1 - c.love_fraction;
  const std::vector<double> swapped = analysed.Theory(swapped_model);
  ASSERT_GE(sums.groups.size(), 20u);

  for (Quantity q : {Quantity::kSpacR, Quantity::kSpacT, Quantity::kSpacTR}) {
    const Series s = Estimate(q, ch, 0, sums);
    int frequencies = 0, within = 0, within_swapped = 0;
    double worst = 0;
    for (size_t i = 0; i < sums.frequencies.size(); ++i) {
      const double f = sums.frequencies[i];
      // The band of the slower wave type present sets the kr range.
      const double c_slow = c.love_fraction > 0 ? a.wavefield.love.Velocity(f) : a.wavefield.rayleigh.Velocity(f);
      const double kr = 2 * std::numbers::pi * f / c_slow * 10;
      if (kr < 0.2 || kr > 2.5) continue;
      const double expected = Evaluate(q, ch, 0, &theory[i * ch.count]);
      const double deviation = std::fabs(s.value[i] - expected) / s.se[i];
      ++frequencies;
      if (deviation <= 4) ++within;
      worst = std::max(worst, deviation);
      if (std::fabs(s.value[i] - Evaluate(q, ch, 0, &swapped[i * ch.count])) <= 4 * s.se[i]) ++within_swapped;
    }
    std::cout << c.name << " N=" << c.stations << " eps=" << c.noise << " " << NameOf(q) << ": " << within << " of "
              << frequencies << " within 4 se, worst " << worst << " se; swapped wave types: " << within_swapped
              << " within 4 se\n";
    EXPECT_GE(frequencies, 20) << NameOf(q);
    EXPECT_GE(within, 0.95 * frequencies) << NameOf(q) << ": worst deviation " << worst << " se";
    if (c.love_fraction != 0.5) {
      EXPECT_LE(within_swapped, 0.5 * frequencies) << NameOf(q) << ": the other wave type's theory fits as well";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(WaveTypes, HorizontalAgreementTest,
                         ::testing::Values(Case{"Rayleigh", 0, 5, 0}, Case{"Love", 1, 5, 0},
                                           Case{"Rayleigh", 0, 3, 0.1}, Case{"Love", 1, 3, 0.1},
                                           Case{"Mixture", 0.5, 5, 0.01}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name) + "_N" + std::to_string(info.param.stations) + "_eps" +
                                  std::to_string(static_cast<int>(info.param.noise * 1000)) + "em3";
                         });

}  // namespace
}  // namespace circspec
