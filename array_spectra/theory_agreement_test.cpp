// The estimates against theory: records synthesised by circsim with a
// known dispersion curve and noise ratio, processed as circspec processes
// them, compared with the expected spectra smoothed by the same weights.
// The measure is the estimates' own jackknife standard error.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <ostream>

#include "array_spectra/analysis.h"
#include "array_spectra/quantities.h"
#include "array_testing/agreement.h"
#include "array_testing/synthetic_array.h"

namespace circspec {
namespace {

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
  ASSERT_GE(sums.groups.size(), 20u);
  for (Quantity q : {Quantity::kSpac, Quantity::kCoh, Quantity::kCca}) {
    const testing::Agreement agreement = testing::AgreeWithTheory(a, options, sums, q);
    std::cout << "N=" << c.stations << " eps=" << c.noise << " " << agreement.Describe(q, 4) << "\n";
    EXPECT_GE(agreement.frequencies, 20) << NameOf(q);
    EXPECT_GE(agreement.fraction(), 0.95) << agreement.Describe(q, 4);
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
