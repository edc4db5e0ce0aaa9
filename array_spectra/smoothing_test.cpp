// The smoothing of FFT bins onto the output frequencies.
#include "array_spectra/smoothing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "testsupport/random_series.h"

namespace circspec {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(Smoother, WeightsAreNormalisedAndFollowTheirWindows) {
  const double df = 0.05;
  const size_t last = 1024;
  const std::vector<double> grid = {1.0, 2.5, 10.0};  // on bins 20, 50, 200
  struct Case {
    SmoothingChoice choice;
    // The unnormalised window at frequency f around fc.
    double (*window)(double f, double fc, double p);
  };
  const Case cases[] = {
      {{SmoothingChoice::Kind::kKonnoOhmachi, 40},
       [](double f, double fc, double b) {
         const double x = b * std::log10(f / fc);
         return x == 0 ? 1 : std::pow(std::sin(x) / x, 4);
       }},
      {{SmoothingChoice::Kind::kParzen, 0.4},
       [](double f, double fc, double bw) {
         const double x = kPi * (280 / (151 * bw)) * (f - fc) / 2;
         return x == 0 ? 1 : std::pow(std::sin(x) / x, 4);
       }},
  };
  for (const Case& c : cases) {
    const Smoother s(c.choice, grid, df, last);
    for (size_t i = 0; i < grid.size(); ++i) {
      double total = 0;
      const size_t centre = static_cast<size_t>(std::lround(grid[i] / df));
      for (size_t k = 0; k <= last + 1; ++k) total += s.Weight(i, k);
      EXPECT_NEAR(total, 1, 1e-12) << Describe(c.choice);
      EXPECT_EQ(s.Weight(i, 0), 0);  // the mean bin never counts
      for (size_t k : {centre / 2, centre - 3, centre + 1, centre + 7, 3 * centre}) {
        EXPECT_NEAR(s.Weight(i, k) / s.Weight(i, centre), c.window(k * df, grid[i], c.choice.parameter), 1e-12)
            << Describe(c.choice) << " fc " << grid[i] << " bin " << k;
      }
    }
  }
  const Smoother none({SmoothingChoice::Kind::kNone, 0}, {1.0, 1.02, 1.04}, df, last);
  EXPECT_EQ(none.Weight(0, 20), 1);
  EXPECT_EQ(none.Weight(1, 20), 1);  // 1.02 Hz is nearest to bin 20 (1.0 Hz)
  EXPECT_EQ(none.Weight(2, 21), 1);
}

TEST(Smoother, ParzenWindowHasTheRequestedEquivalentBandwidth) {
  // Equivalent bandwidth 1 / integral of W^2 for W of unit area: with
  // normalised bin weights w_k, W = w_k / df and the bandwidth is
  // df / sum w_k^2.
  const double df = 0.001;
  for (double bw : {0.2, 0.5, 1.0}) {
    const Smoother s({SmoothingChoice::Kind::kParzen, bw}, {20.0}, df, 40000);
    double squares = 0;
    for (size_t k = 1; k <= 40000; ++k) squares += s.Weight(0, k) * s.Weight(0, k);
    EXPECT_NEAR(df / squares, bw, 0.002 * bw);
  }
}

TEST(Smoother, AppliesItsWeightsToEveryChannel) {
  const size_t bins = 200, channels = 3;
  const Smoother s({SmoothingChoice::Kind::kKonnoOhmachi, 20}, {1.0, 3.0}, 0.05, bins);
  const std::vector<double> raw = testsupport::GaussianSeries(bins * channels, 5);
  std::vector<double> out(2 * channels);
  s.Apply(raw.data(), channels, out.data());
  for (size_t i = 0; i < 2; ++i) {
    for (size_t c = 0; c < channels; ++c) {
      double expected = 0;
      for (size_t k = 1; k <= bins; ++k) expected += s.Weight(i, k) * raw[(k - 1) * channels + c];
      EXPECT_NEAR(out[i * channels + c], expected, 1e-12);
    }
  }
}

}  // namespace
}  // namespace circspec
