#include "noise_table/tessel.h"
#include "suite/programs.h"

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/fzero.h"
#include "noise_table/bslnoise.h"
#include "testsupport/run_program.h"
#include "textio/number.h"

namespace tessel {
namespace {

struct RunResult {
  int status;
  std::vector<std::string> lines;
  std::string err;
};

RunResult RunWith(const std::string& input) {
  const testsupport::Outcome o = testsupport::RunInProcess(kProgram, input);
  return {o.status, testsupport::Lines(o.out), o.err};
}

// The reals of a table row: rk, b, rkshift.
std::vector<float> Row(const std::string& line) {
  std::istringstream s(line);
  std::vector<float> row;
  for (std::string field; s >> field;) {
    float v = NAN;
    EXPECT_TRUE(textio::ParseFloat(field, &v)) << line;
    row.push_back(v);
  }
  EXPECT_EQ(row.size(), 3u) << line;
  return row;
}

TEST(TesselModelTest, ShiftMovesUpToTheCrossoverAndDownAboveIt) {
  const float above = std::nextafter(kCrossover, 2.0f);
  EXPECT_EQ(ShiftedArgument(0.5f, 0.1f), 0.5f / 0.9f);
  EXPECT_EQ(ShiftedArgument(kCrossover, 0.1f), kCrossover / 0.9f);
  EXPECT_EQ(ShiftedArgument(above, 0.1f), above / 1.1f);
  EXPECT_EQ(ShiftedArgument(2.5f, -0.2f), 2.5f / 0.8f);
  // The noise level enters as b / ndiv.
  const RowBessel row{0.6f, 0.4f, 0.5f, 0.5f};
  EXPECT_EQ(NoiseResidual(2.0f, 4, row), NoiseResidual(0.5f, 1, row));
  EXPECT_FLOAT_EQ(NoiseResidual(0.0f, 1, row), 1.0f - 0.36f / 0.16f);
}

// Evaluating the Bessel values once per row must not change a bit of any
// row: compare with the model function that evaluates them at every point.
TEST(TesselModelTest, PerRowBesselValuesGiveTheSameSearch) {
  for (auto [shift, ndiv] : {std::pair{0.1f, 1}, {0.05f, 4}, {-0.2f, 2}}) {
    float rk = kFirstRk;
    for (int i = 0; i < kRows; ++i, rk = rk + kRkStep) {
      RkBlock fast{rk, 0.0f, shift, ndiv};
      RkBlock literal = fast;
      const core::FzeroResult a = SolveRow(fast);
      const core::FzeroResult b =
          core::fzero([&literal](float x) { return bslnoise(x, literal); }, 0.0f, 10.0f, 10.0f, 1e-12f, 1e-12f);
      ASSERT_TRUE(a.b == b.b && a.c == b.c && a.status == b.status && fast.rkshift == literal.rkshift)
          << "shift " << shift << " rk " << rk;
    }
  }
}

// Where the final interval brackets a root, the noisy ratio at rk matches
// the noise-free ratio at the shifted argument.
TEST(TesselModelTest, RootBalancesTheRatios) {
  int roots = 0;
  float rk = kFirstRk;
  for (int i = 0; i < kRows; ++i, rk = rk + kRkStep) {
    RkBlock blk{rk, 0.0f, 0.1f, 1};
    const core::FzeroResult r = SolveRow(blk);
    const float fb = bslnoise(r.b, blk);
    if (fb != 0.0f && std::signbit(fb) == std::signbit(bslnoise(r.c, blk))) continue;
    ++roots;
    auto ratio = [](double x) { return std::pow(std::cyl_bessel_j(0.0, x) / std::cyl_bessel_j(1.0, x), 2); };
    const double j0 = std::cyl_bessel_j(0.0, rk), j1 = std::cyl_bessel_j(1.0, rk);
    EXPECT_NEAR((j0 * j0 + r.b) / (j1 * j1 + r.b) / ratio(blk.rkshift), 1.0, 2e-5) << rk;
  }
  // Rows near the crossover and past the first zero of J0 have no root.
  EXPECT_GT(roots, 400);
}

TEST(TesselTableTest, GridIsAccumulatedInSinglePrecision) {
  const RunResult run = RunWith("0.1 1\n");
  ASSERT_EQ(run.status, 0);
  ASSERT_EQ(run.lines.size(), 599u);
  EXPECT_EQ(run.lines[0], "   9.99999978E-03   5.86441547E-06   1.11111114E-02");
  EXPECT_EQ(Row(run.lines[1])[0], 0.015f);
  EXPECT_EQ(Row(run.lines.back())[0], 3.00002122f);  // 598 rounded additions, not 3.0
  for (size_t i = 1; i < run.lines.size(); ++i) {
    const std::vector<float> row = Row(run.lines[i]);
    ASSERT_EQ(row[0], Row(run.lines[i - 1])[0] + 0.005f) << i;
    ASSERT_EQ(row[2], row[0] <= 1.4347f ? row[0] / 0.9f : row[0] / 1.1f) << i;
  }
}

TEST(TesselTableTest, ZeroShiftGivesZeroNoiseAndZeroDivisorStillWrites) {
  const RunResult run = RunWith("0.0 5\n");
  ASSERT_EQ(run.lines.size(), 599u);
  for (const std::string& line : run.lines) {
    const std::vector<float> row = Row(line);
    ASSERT_TRUE(row[1] == 0.0f && row[2] == row[0]) << line;
  }
  const RunResult infinite_noise = RunWith("0.1 0\n");
  EXPECT_EQ(infinite_noise.status, 0);
  EXPECT_EQ(infinite_noise.lines.size(), 599u);
}

// A shift that carries the shifted argument out of the Bessel routine's
// range stops the run at the first row concerned, with status 0.
TEST(TesselTableTest, BesselRangeStopsAtFirstRowConcerned) {
  struct Case {
    const char* input;
    size_t rows;  // rows written before the message
    const char* message;
  };
  const Case cases[] = {
      {"1.0 1\n", 0, " Error:nz or ierr in cbesj()           0           4"},       // rk / 0
      {"0.9995 1\n", 203, " Error:nz or ierr in cbesj()           0           3"},  // rk / 0.0005 > 2048
      {"-1.0 1\n", 285, " Error:nz or ierr in cbesj()           0           4"},    // rk / 0 past 1.4347
  };
  for (const Case& c : cases) {
    const RunResult run = RunWith(c.input);
    EXPECT_EQ(run.status, 0) << c.input;
    ASSERT_EQ(run.lines.size(), c.rows + 1) << c.input;
    EXPECT_EQ(run.lines.back(), c.message) << c.input;
  }
}

TEST(TesselTableTest, UnreadableParametersAreRuntimeErrors) {
  const std::string what = "the parameter record (shift, ndiv integer)";
  const std::pair<const char*, std::string> cases[] = {
      {"", "tessel: input ended while reading " + what + "\n"},
      {"0.1\n", "tessel: input ended after line 1 while reading " + what + "\n"},
      {"x 1\n", "tessel: line 1: cannot read " + what + ": unreadable value 'x'\n"},
      {"0.1 2.5\n", "tessel: line 1: cannot read " + what + ": unreadable value '2.5'\n"},
  };
  for (const auto& [input, err] : cases) {
    const RunResult run = RunWith(input);
    EXPECT_EQ(run.status, 2) << input;
    EXPECT_TRUE(run.lines.empty()) << input;
    EXPECT_EQ(run.err, err) << input;
  }
}

}  // namespace
}  // namespace tessel
