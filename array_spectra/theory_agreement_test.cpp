// The estimates against theory: records synthesised by circsim with a
// known dispersion curve and noise ratio, processed as circspec processes
// them, compared with the expected spectra smoothed by the same weights.
// The measure is the estimates' own jackknife standard error.
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

struct Agreement {
  int frequencies = 0;  // with 0.2 <= kr <= 2.5
  int within = 0;       // of them within 4 standard errors
  double worst = 0;     // largest |estimate - theory| / se
  double fraction() const { return frequencies > 0 ? static_cast<double>(within) / frequencies : 0; }
};

struct Case {
  int stations;
  double noise;
};
// How the test list shows a case.
void PrintTo(const Case& c, std::ostream* os) { *os << c.stations << " stations, noise ratio " << c.noise; }

class TheoryAgreementTest : public ::testing::TestWithParam<Case> {};

TEST_P(TheoryAgreementTest, SpacCohAndCcaLieWithinFourStandardErrorsOfTheSmoothedTheory) {
  const Case c = GetParam();
  const testing::AnalysedArray analysed = testing::MakeAndAnalyse({.ring_stations = {c.stations},
                                                                   .radii = {10},
                                                                   .duration = 1800,
                                                                   .noise = c.noise,
                                                                   .seed = 7 + static_cast<uint64_t>(c.stations)});
  const auto& [a, options, ch, sums] = analysed;
  const std::vector<double> theory = analysed.Theory(a.Model());
  ASSERT_GE(sums.groups.size(), 20u);

  for (Quantity q : {Quantity::kSpac, Quantity::kCoh, Quantity::kCca}) {
    const Series s = Estimate(q, ch, 0, sums);
    Agreement agreement;
    for (size_t i = 0; i < sums.frequencies.size(); ++i) {
      const double f = sums.frequencies[i];
      const double kr = 2 * std::numbers::pi * f / a.wavefield.rayleigh.Velocity(f) * 10;
      if (kr < 0.2 || kr > 2.5) continue;
      const double expected = Evaluate(q, ch, 0, &theory[i * ch.count]);
      const double deviation = std::fabs(s.value[i] - expected) / s.se[i];
      ++agreement.frequencies;
      if (deviation <= 4) ++agreement.within;
      agreement.worst = std::max(agreement.worst, deviation);
    }
    std::cout << "N=" << c.stations << " eps=" << c.noise << " " << NameOf(q) << ": " << agreement.within << " of "
              << agreement.frequencies << " within 4 se, worst " << agreement.worst << " se\n";
    EXPECT_GE(agreement.frequencies, 20) << NameOf(q);
    EXPECT_GE(agreement.fraction(), 0.95) << NameOf(q) << ": worst deviation " << agreement.worst << " se";
  }
}

INSTANTIATE_TEST_SUITE_P(RingsAndNoise, TheoryAgreementTest,
                         ::testing::Values(Case{3, 0}, Case{3, 0.001}, Case{3, 0.1}, Case{5, 0}, Case{5, 0.001},
                                           Case{5, 0.1}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string("N").append(std::to_string(info.param.stations)) + "_eps" +
                                  std::to_string(static_cast<int>(info.param.noise * 1000)) + "em3";
                         });

}  // namespace
}  // namespace circspec
