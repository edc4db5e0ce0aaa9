#include "spectral_noise/noise_ratio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <optional>
#include <random>
#include <utility>
#include <vector>

namespace hollin {
namespace {

using G = std::pair<float, float>;  // (real part, imaginary part)

// A record of `groups` complex values. The abscissas and fourth values
// are filled with junk that must never enter the result.
std::vector<float> Record(const std::vector<G>& groups) {
  std::vector<float> a;
  for (size_t g = 0; g < groups.size(); ++g) {
    a.push_back(g == 0 ? 2.5f : 1000.0f + static_cast<float>(g));
    a.push_back(groups[g].first);
    a.push_back(groups[g].second);
    a.push_back(-777.0f);
  }
  return a;
}

// The mode-1 example: G0 = G1 = G3 = G4 = G6 = 1, G2 = 0.5, G5 = 0.1.
std::vector<G> Mode1Example() {
  return {{1, 0}, {1, 0}, {0.5f, 0}, {1, 0}, {1, 0}, {0.1f, 0}, {1, 0}};
}

// The mode-2 example, built to give the same P, Q, S, R as mode 1's
// D, K, A, B.
std::vector<G> Mode2Example() {
  std::vector<G> g(15, {0.0f, 0.0f});
  for (int i : {0, 1, 3, 7, 9, 10}) g[i] = {1, 0};
  for (int i : {2, 11}) g[i] = {0.25f, 0};
  for (int i : {5, 14}) g[i] = {0.05f, 0};
  for (int i : {4, 12, 6, 13}) g[i] = {0.5f, 0};
  return g;
}

// 0.1 / 1.9 with the roundings of single precision: E = (1 - 0.1) + 1.
float ExampleEpsilon() { return 0.1f / ((1.0f - 0.1f) + 1.0f); }

TEST(NoiseRatioTest, WorkedExamplesOfBothModes) {
  std::optional<float> e1 = Mode1Epsilon(Record(Mode1Example()), 2);
  std::optional<float> e2 = Mode2Epsilon(Record(Mode2Example()), 4);
  ASSERT_TRUE(e1.has_value());
  ASSERT_TRUE(e2.has_value());
  EXPECT_EQ(*e1, ExampleEpsilon());
  EXPECT_NEAR(*e1, 0.1 / 1.9, 1e-8);
  EXPECT_EQ(*e2, *e1);

  // Every G equal to 1: the numerator vanishes.
  std::optional<float> zero = Mode1Epsilon(Record(std::vector<G>(7, {1, 0})), 2);
  ASSERT_TRUE(zero.has_value());
  EXPECT_EQ(*zero, 0.0f);
}

TEST(NoiseRatioTest, StationTermIsARealQuotient) {
  // A = B = D = 1, K = 1.5: Z = 0.5, E = 0.5 + 2/nsta. With nsta = 3 an
  // integer quotient 2/3 = 0 would give 1 instead of 0.5/(0.5 + 2/3).
  std::vector<G> g(7, {1, 0});
  g[5] = {1.5f, 0};
  std::optional<float> eps = Mode1Epsilon(Record(g), 3);
  ASSERT_TRUE(eps.has_value());
  EXPECT_NEAR(*eps, 0.5 / (0.5 + 2.0 / 3.0), 1e-6);

  std::vector<G> h = Mode2Example();
  h[5] = h[14] = {0.75f, 0};  // Q = 1.5
  eps = Mode2Epsilon(Record(h), 3);
  ASSERT_TRUE(eps.has_value());
  EXPECT_NEAR(*eps, 1.5 / (-0.5 + 4.0 / 3.0), 1e-6);
}

TEST(NoiseRatioTest, ZeroDivisorsMakeTheRecordInvalid) {
  struct Case {
    int mode;
    int group;
    bool valid;
  } cases[] = {
      {1, 0, false}, {1, 1, false}, {1, 3, false},  // divisors
      {1, 2, true},  {1, 4, true},  {1, 5, true},  {1, 6, true},
      {2, 0, false}, {2, 1, false}, {2, 3, false}, {2, 7, false}, {2, 9, false}, {2, 10, false},
      {2, 2, true},  {2, 4, true},  {2, 8, true},  {2, 14, true},
  };
  for (const Case& c : cases) {
    std::vector<G> g = c.mode == 1 ? Mode1Example() : Mode2Example();
    // G7 enters mode 2 only through 2 G8/G7, and G8 is 0 in the example:
    // the record is invalid all the same.
    g[c.group] = {-0.0f, 0.0f};
    std::optional<float> eps =
        c.mode == 1 ? Mode1Epsilon(Record(g), 2) : Mode2Epsilon(Record(g), 4);
    EXPECT_EQ(eps.has_value(), c.valid) << "mode " << c.mode << " G" << c.group;
  }
}

TEST(NoiseRatioTest, NaNPartIsNotAZeroDivisor) {
  std::vector<G> g = Mode1Example();
  g[1] = {0.0f, std::numeric_limits<float>::quiet_NaN()};
  std::optional<float> eps = Mode1Epsilon(Record(g), 2);
  ASSERT_TRUE(eps.has_value());
  EXPECT_TRUE(std::isnan(*eps));
}

TEST(NoiseRatioTest, ZeroDenominatorMakesTheRecordInvalid) {
  // A = B = D = 1, K = 3, nsta = 2: E = 2 - 3 + 1 = 0.
  std::vector<G> g(7, {1, 0});
  g[5] = {3, 0};
  EXPECT_FALSE(Mode1Epsilon(Record(g), 2).has_value());
  // An imaginary part left in E makes it nonzero again.
  g[5] = {3, 1};
  EXPECT_TRUE(Mode1Epsilon(Record(g), 2).has_value());

  // Mode 2: P = 0.5, S = R = 1, Q = 2: E = 1 - 2 + 4/4 = 0.
  std::vector<G> h = Mode2Example();
  h[5] = h[14] = {1, 0};
  EXPECT_FALSE(Mode2Epsilon(Record(h), 4).has_value());
}

// Reference: the same closed forms in double-precision std::complex;
// nothing when E is so small that single precision cannot be compared.
std::optional<double> Reference(int mode, const std::vector<G>& g, int nsta) {
  std::vector<std::complex<double>> c;
  for (const G& v : g) c.emplace_back(v.first, v.second);
  std::complex<double> z, e;
  if (mode == 1) {
    auto A = c[4] / c[0], B = c[6] / c[3], K = c[5] / c[1], D = c[2] / c[1];
    e = D * (A + B) - K + 2.0 / nsta;
    z = A * B - D * (A + B) + K;
  } else {
    auto P = c[2] / c[1] + c[11] / c[1];
    auto Q = c[5] / c[1] + 2.0 * c[8] / c[7] + c[14] / c[1];
    auto S = c[12] / c[9] + c[4] / c[0];
    auto R = c[6] / c[3] + c[13] / c[10];
    e = P * (S + R) - Q + 4.0 / nsta;
    z = S * R - P * (S + R) + Q;
  }
  if (std::abs(e) < 0.05) return std::nullopt;
  return (z / e).real();
}

TEST(NoiseRatioTest, ComplexRecordsAgreeWithADoublePrecisionReference) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<float> part(-2.0f, 2.0f);
  for (int mode : {1, 2}) {
    for (int trial = 0; trial < 200; ++trial) {
      std::vector<G> g(mode == 1 ? 7 : 15);
      for (G& v : g) v = {part(rng), part(rng)};
      int nsta = 3 + trial % 10;
      std::optional<double> ref = Reference(mode, g, nsta);
      if (!ref) continue;
      double want = *ref;
      std::optional<float> got =
          mode == 1 ? Mode1Epsilon(Record(g), nsta) : Mode2Epsilon(Record(g), nsta);
      ASSERT_TRUE(got.has_value());
      // Single precision loses a few digits in the differences; the
      // tolerance is loose enough for that and far below any mistake in
      // the choice of groups or terms.
      EXPECT_NEAR(*got, want, 1e-3 * (1.0 + std::fabs(want))) << "mode " << mode << " trial " << trial;
    }
  }
}

}  // namespace
}  // namespace hollin
