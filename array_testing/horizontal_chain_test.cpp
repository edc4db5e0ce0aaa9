// The horizontal chain: circspec's radial and transverse SPAC
// coefficients of Rayleigh-only and Love-only records, written as the
// standard input of vantor's itypes 21, 22 and 23 (as `circspec --for
// vantor:ITYPE --wave TYPE` writes it), run in-process, and the recovered
// phase velocities compared with the curve the records were made with.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "array_spectra/analysis.h"
#include "array_spectra/quantities.h"
#include "array_testing/synthetic_array.h"
#include "array_testing/vantor_run.h"

namespace circspec::testing {
namespace {

struct Row {
  int itype;
  Quantity quantity;  // what circspec writes for this itype and wave type
  KrBand band;        // where the coefficient fixes the velocity well
};

struct Case {
  const char* wave;
  double love_fraction;
  std::vector<Row> rows;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.wave << " waves"; }

class HorizontalChainTest : public ::testing::TestWithParam<Case> {};

TEST_P(HorizontalChainTest, VantorRecoversTheCurveOfTheWaveType) {
  const Case& c = GetParam();
  const testing::AnalysedArray a = testing::MakeAndAnalyse({.ring_stations = {5},
                                                            .radii = {10},
                                                            .duration = 1800,
                                                            .noise = 0.001,
                                                            .seed = 50 + static_cast<uint64_t>(c.love_fraction),
                                                            .love_fraction = c.love_fraction},
                                                           Component::kHorizontal);
  const circsim::DispersionCurve& truth = c.love_fraction > 0 ? a.array.wavefield.love : a.array.wavefield.rayleigh;
  for (const Row& row : c.rows) {
    const std::vector<Velocity> v =
        RunThroughVantor(row.itype, 10, std::nullopt, a.sums, Estimate(row.quantity, a.channels, 0, a.sums));
    ExpectVelocitiesWithin(
        std::string(c.wave) + " itype " + std::to_string(row.itype) + " (" + std::string(NameOf(row.quantity)) + ")", v,
        truth, 10, row.band, 0.03);
  }
}

// The bands: each model is monotonic on vantor's bracket (J0 - J2 up to
// kr 3.53, J0 + J2 up to 5.14, their ratio up to its pole at 3.83). Near
// either end of a band the model is flat: below kr ~ 0.8 (1.0 for J0 +
// J2 = 1 - (kr)^2/8 + ...) the coefficients lie so close to 1 that their
// statistical error dominates, and near the minimum of J0 - J2 a small
// error of the coefficient becomes a large one of the velocity (10 % and
// more from kr 3.3 on in these records). The rows keep to the bands where
// a coefficient fixes the velocity well.
constexpr Row kRayleighRows[] = {
    {22, Quantity::kSpacR, 0.8, 3.2}, {23, Quantity::kSpacT, 1.0, 4.5}, {21, Quantity::kSpacRT, 0.8, 3.5}};
constexpr Row kLoveRows[] = {
    {22, Quantity::kSpacT, 0.8, 3.2}, {23, Quantity::kSpacR, 1.0, 4.5}, {21, Quantity::kSpacTR, 0.8, 3.5}};

INSTANTIATE_TEST_SUITE_P(WaveTypes, HorizontalChainTest,
                         ::testing::Values(Case{"Rayleigh", 0, {std::begin(kRayleighRows), std::end(kRayleighRows)}},
                                           Case{"Love", 1, {std::begin(kLoveRows), std::end(kLoveRows)}}),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.wave); });

}  // namespace
}  // namespace circspec::testing
