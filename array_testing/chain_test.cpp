// The whole chain on synthetic records: circspec's estimates written as
// the standard input of vantor and quillon, run in-process, and the
// recovered phase velocities and noise ratios compared with the truth the
// records were made with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <numbers>
#include <sstream>

#include "array_spectra/analysis.h"
#include "array_spectra/output_forms.h"
#include "array_spectra/quantities.h"
#include "array_testing/synthetic_array.h"
#include "array_testing/vantor_run.h"
#include "noise_ratio/quillon.h"
#include "suite/programs.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"
#include "textio/number.h"

namespace circspec::testing {
namespace {

double Kr(const testing::SyntheticArray& a, double f, double radius) {
  return 2 * std::numbers::pi * f / a.wavefield.rayleigh.Velocity(f) * radius;
}

using Estimates = testing::AnalysedArray;

std::vector<Velocity> VantorVelocities(const Estimates& e, int itype, Quantity q) {
  const std::optional<double> inner =
      itype >= 10 ? std::optional<double>(e.array.geometry.rings[1].radius) : std::nullopt;
  return RunThroughVantor(itype, e.array.geometry.rings[0].radius, inner, e.sums, Estimate(q, e.channels, 0, e.sums));
}

// kr of the outer ring throughout.
void ExpectVelocitiesWithin(const Estimates& e, int itype, Quantity q, KrBand band, double tolerance) {
  ExpectVelocitiesWithin("vantor itype " + std::to_string(itype), VantorVelocities(e, itype, q),
                         e.array.wavefield.rayleigh, e.array.geometry.rings[0].radius, band, tolerance);
}

TEST(Chain, VantorRecoversThePhaseVelocityFromSpacAndCca) {
  const Estimates e =
      testing::MakeAndAnalyse({.ring_stations = {5}, .radii = {10}, .duration = 3600, .noise = 0.001, .seed = 21});
  ExpectVelocitiesWithin(e, 1, Quantity::kSpac, {0.8, 2.2}, 0.03);
  ExpectVelocitiesWithin(e, 5, Quantity::kCca, {0.5, 2.2}, 0.03);
}

TEST(Chain, VantorRecoversThePhaseVelocityFromTwoRings) {
  const Estimates e = testing::MakeAndAnalyse(
      {.ring_stations = {5, 5}, .radii = {10, 5}, .duration = 3600, .noise = 0.001, .seed = 22});
  // J1(x)/J1(x/2) changes slowly at small x (its log by -0.19 x^2 per unit
  // of log x), so a small bias of the ratio becomes a large velocity error
  // there. The bias is the method's: the inner ring's G1 carries eps/N of
  // noise power, and smoothing weights the ratio towards higher kr. At kr
  // = 0.8 the expected (smoothed) ratio lies 0.9 % below J1(kr)/J1(kr/2)
  // (0.5 % from the noise, 0.4 % from the smoothing), which vantor turns
  // into 6.5 % for itype 11 and 4 % for itype 10; from kr = 1 on the
  // expectation stays within 4.2 %. So itype 11 is held to 5 % from kr = 1.
  ExpectVelocitiesWithin(e, 10, Quantity::kRingsq, {0.8, 2.5}, 0.05);
  ExpectVelocitiesWithin(e, 11, Quantity::kRing, {1.0, 2.5}, 0.05);
}

class QuillonChainTest : public ::testing::TestWithParam<int> {};

TEST_P(QuillonChainTest, QuillonRecoversTheNoiseRatio) {
  const Estimates e = testing::MakeAndAnalyse({.ring_stations = {GetParam()},
                                               .radii = {10},
                                               .duration = 3600,
                                               .noise = 0.1,
                                               .seed = 30 + static_cast<uint64_t>(GetParam())});
  std::ostringstream input;
  {
    textio::Output out(input);
    WriteQuillon(out, 10, GetParam(), e.sums.frequencies, Estimate(Quantity::kCoh, e.channels, 0, e.sums),
                 Estimate(Quantity::kSpac, e.channels, 0, e.sums), Estimate(Quantity::kCca, e.channels, 0, e.sums));
  }
  // quillon writes fort.7 in the run's directory.
  testsupport::TempDir dir("circspec_quillon");
  const testsupport::Outcome run =
      testsupport::RunInProcess(quillon::kProgram, input.str(), testsupport::RunOptions{{}, dir.path()});
  ASSERT_EQ(run.status, 0) << run.err;
  // Lines of four 15-character columns: frequency, nsr0, nsr1, dltmx.
  int used = 0;
  double lowest = INFINITY, highest = -INFINITY;
  for (const std::string& line : testsupport::Lines(run.out)) {
    ASSERT_EQ(line.size(), 60u) << line;
    double f = 0, nsr0 = NAN;
    ASSERT_TRUE(textio::ParseDouble(line.substr(0, 15).substr(line.substr(0, 15).find_first_not_of(' ')), &f));
    const double kr = Kr(e.array, f, 10);
    if (kr < 0.3 || kr > 1.5) continue;
    ++used;
    const std::string column = line.substr(15, 15);
    const size_t start = column.find_first_not_of(' ');
    if (!textio::ParseDouble(column.substr(start, column.find_last_not_of(' ') + 1 - start), &nsr0)) nsr0 = NAN;
    lowest = std::min(lowest, std::isnan(nsr0) ? -INFINITY : nsr0);
    highest = std::max(highest, std::isnan(nsr0) ? INFINITY : nsr0);
  }
  std::cout << "quillon N=" << GetParam() << ": nsr0 from " << lowest << " to " << highest << " over " << used
            << " frequencies with 0.3 <= kr <= 1.5 (true 0.1)\n";
  EXPECT_GE(used, 10);
  EXPECT_GE(lowest, 0.075);
  EXPECT_LE(highest, 0.125);
}

INSTANTIATE_TEST_SUITE_P(Rings, QuillonChainTest, ::testing::Values(3, 5),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string("N").append(std::to_string(info.param));
                         });

}  // namespace
}  // namespace circspec::testing
