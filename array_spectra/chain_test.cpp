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
#include "array_spectra/synthetic_array.h"
#include "array_spectra/vantor_run.h"
#include "noise_ratio/quillon.h"
#include "suite/programs.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"
#include "textio/number.h"

namespace circspec {
namespace {

double Kr(const testing::SyntheticArray& a, double f, double radius) {
  return 2 * std::numbers::pi * f / a.wavefield.rayleigh.Velocity(f) * radius;
}

struct Estimates {
  testing::SyntheticArray array;
  ChannelLayout channels;
  SpectralSums sums;
};

Estimates Process(const testing::ArrayDesign& design) {
  testing::SyntheticArray a = testing::MakeArray(design);
  ChannelLayout channels(a.geometry);
  SpectralSums sums = Analyse(a.geometry, a.Opener(), AnalysisOptions{});
  return {std::move(a), std::move(channels), std::move(sums)};
}

std::vector<Velocity> RunThroughVantor(const Estimates& e, int itype, Quantity q) {
  const std::optional<double> inner =
      itype >= 10 ? std::optional<double>(e.array.geometry.rings[1].radius) : std::nullopt;
  return RunThroughVantor(itype, e.array.geometry.rings[0].radius, inner, e.sums, Estimate(q, e.channels, 0, e.sums));
}

// Largest relative velocity error over the frequencies with kr in
// [kr_low, kr_high] (a missing root counts as infinitely wrong).
double WorstVelocityError(const Estimates& e, const std::vector<Velocity>& v, double kr_low, double kr_high,
                          int* used) {
  double worst = 0;
  *used = 0;
  const double r = e.array.geometry.rings[0].radius;
  for (const Velocity& p : v) {
    const double kr = Kr(e.array, p.f, r);
    if (kr < kr_low || kr > kr_high) continue;
    ++*used;
    const double truth = e.array.wavefield.rayleigh.Velocity(p.f);
    const double error = std::isnan(p.c) ? INFINITY : std::fabs(p.c - truth) / truth;
    worst = std::max(worst, error);
  }
  return worst;
}

TEST(Chain, VantorRecoversThePhaseVelocityFromSpacAndCca) {
  testing::ArrayDesign design;
  design.ring_stations = {5};
  design.radii = {10};
  design.noise = 0.001;
  design.duration = 3600;
  design.seed = 21;
  const Estimates e = Process(design);
  struct Row {
    int itype;
    Quantity q;
    double kr_low, kr_high;
  };
  for (const Row& row : {Row{1, Quantity::kSpac, 0.8, 2.2}, Row{5, Quantity::kCca, 0.5, 2.2}}) {
    int used = 0;
    const double worst = WorstVelocityError(e, RunThroughVantor(e, row.itype, row.q), row.kr_low, row.kr_high, &used);
    std::cout << "vantor itype " << row.itype << ": worst velocity error " << 100 * worst << " % over " << used
              << " frequencies with " << row.kr_low << " <= kr <= " << row.kr_high << "\n";
    EXPECT_GE(used, 10) << "itype " << row.itype;
    EXPECT_LE(worst, 0.03) << "itype " << row.itype;
  }
}

TEST(Chain, VantorRecoversThePhaseVelocityFromTwoRings) {
  testing::ArrayDesign design;
  design.ring_stations = {5, 5};
  design.radii = {10, 5};
  design.noise = 0.001;
  design.duration = 3600;
  design.seed = 22;
  const Estimates e = Process(design);
  // J1(x)/J1(x/2) changes slowly at small x (its log by -0.19 x^2 per unit
  // of log x), so a small bias of the ratio becomes a large velocity error
  // there. The bias is the method's: the inner ring's G1 carries eps/N of
  // noise power, and smoothing weights the ratio towards higher kr. At kr
  // = 0.8 the expected (smoothed) ratio lies 0.9 % below J1(kr)/J1(kr/2)
  // (0.5 % from the noise, 0.4 % from the smoothing), which vantor turns
  // into 6.5 % for itype 11 and 4 % for itype 10; from kr = 1 on the
  // expectation stays within 4.2 %. So itype 11 is held to 5 % from kr = 1.
  struct Row {
    int itype;
    Quantity q;
    double kr_low;
  };
  for (const Row& row : {Row{10, Quantity::kRingsq, 0.8}, Row{11, Quantity::kRing, 1.0}}) {
    const int itype = row.itype;
    int used = 0;
    const double worst = WorstVelocityError(e, RunThroughVantor(e, itype, row.q), row.kr_low, 2.5, &used);
    std::cout << "vantor itype " << itype << ": worst velocity error " << 100 * worst << " % over " << used
              << " frequencies with " << row.kr_low << " <= kr <= 2.5\n";
    EXPECT_GE(used, 10) << "itype " << itype;
    EXPECT_LE(worst, 0.05) << "itype " << itype;
  }
}

class QuillonChainTest : public ::testing::TestWithParam<int> {};

TEST_P(QuillonChainTest, QuillonRecoversTheNoiseRatio) {
  testing::ArrayDesign design;
  design.ring_stations = {GetParam()};
  design.radii = {10};
  design.noise = 0.1;
  design.duration = 3600;
  design.seed = 30 + static_cast<uint64_t>(GetParam());
  const Estimates e = Process(design);
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
}  // namespace circspec
