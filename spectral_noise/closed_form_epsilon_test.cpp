#include "spectral_noise/closed_form_epsilon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <vector>

#include "spectral_noise/complex_pair.h"

namespace hollin {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// What std::complex would do differently: repair a NaN product, rescale
// quotients, or branch otherwise on infinite or NaN divisor parts.
TEST(ComplexPairTest, TextbookProductAndSmithQuotient) {
  const Cpx p = Mul({2.0f, 0.0f}, {kInf, 0.0f});  // 2*0 + 0*inf is NaN
  EXPECT_TRUE(p.re == kInf && std::isnan(p.im));
  struct Case {
    Cpx w, q;  // 1 + i divided by w
  } cases[] = {
      {{1e30f, 1e30f}, {1e-30f, 0.0f}},  // |w|^2 would overflow
      {{kInf, 1.0f}, {0.0f, 0.0f}},      // the branch follows the larger part
      {{1.0f, kInf}, {0.0f, 0.0f}},
      {{1.0f, kNaN}, {kNaN, kNaN}},  // a NaN part spreads
  };
  for (const Case& c : cases) {
    const Cpx q = Div({1.0f, 1.0f}, c.w);
    EXPECT_TRUE(std::isnan(c.q.re) ? std::isnan(q.re) && std::isnan(q.im) : q.re == c.q.re && q.im == c.q.im)
        << c.w.re << "," << c.w.im;
  }
}

using G = std::complex<float>;

// A record of complex values; the abscissas and fourth values are junk
// that must never enter the result.
std::vector<float> Record(const std::vector<G>& groups) {
  std::vector<float> a;
  for (const G& g : groups) a.insert(a.end(), {1000.0f + static_cast<float>(a.size()), g.real(), g.imag(), -777.0f});
  return a;
}

std::optional<float> Epsilon(const std::vector<G>& g, int nsta) {
  return g.size() == 7 ? Mode1Epsilon(Record(g), nsta) : Mode2Epsilon(Record(g), nsta);
}

// The worked examples: mode 1 with G2 = 0.5, G5 = 0.1 and the other G 1;
// mode 2 built to give the same P, Q, S, R as mode 1's D, K, A, B.
const std::vector<G> kMode1 = {1, 1, 0.5f, 1, 1, 0.1f, 1};
const std::vector<G> kMode2 = {1, 1, 0.25f, 1, 0.5f, 0.05f, 0.5f, 1, 0, 1, 1, 0.25f, 0.5f, 0.5f, 0.05f};

TEST(NoiseRatioTest, WorkedExamplesAndInvalidRecords) {
  EXPECT_EQ(Epsilon(kMode1, 2), 0.1f / ((1.0f - 0.1f) + 1.0f));  // 0.1 / 1.9 in single precision
  EXPECT_EQ(Epsilon(kMode2, 4), Epsilon(kMode1, 2));
  // With nsta 3, an integer 2/nsta = 0 would give 1 instead of 0.5/(0.5 + 2/3).
  std::vector<G> g(7, 1.0f);
  g[5] = 1.5f;
  EXPECT_NEAR(*Epsilon(g, 3), 0.5 / (0.5 + 2.0 / 3.0), 1e-6);
  g[5] = 3.0f;  // E = 2 - 3 + 2/2 = 0
  EXPECT_FALSE(Epsilon(g, 2).has_value());
  g[5] = {3.0f, 1.0f};  // an imaginary part left in E
  EXPECT_TRUE(Epsilon(g, 2).has_value());
  std::vector<G> h = kMode2;
  h[5] = h[14] = 1.0f;  // P = 0.5, S = R = 1, Q = 2: E = 1 - 2 + 4/4 = 0
  EXPECT_FALSE(Epsilon(h, 4).has_value());
  // A zero divisor makes the record invalid (G7 too, though G8 is 0); a
  // zero elsewhere does not, nor does a NaN part.
  for (auto [example_record, divisors] :
       {std::pair(kMode1, std::vector{0, 1, 3}), std::pair(kMode2, std::vector{0, 1, 3, 7, 9, 10})}) {
    for (size_t k = 0; k < example_record.size(); ++k) {
      std::vector<G> z = example_record;
      z[k] = -0.0f;
      const bool divisor = std::find(divisors.begin(), divisors.end(), k) != divisors.end();
      EXPECT_EQ(Epsilon(z, 4).has_value(), !divisor) << z.size() << " G" << k;
    }
  }
  g = kMode1;
  g[1] = {0.0f, kNaN};
  EXPECT_TRUE(std::isnan(Epsilon(g, 2).value()));
}

// The same closed forms in double-precision std::complex catch a wrong
// group or term that the symmetric examples would hide.
TEST(NoiseRatioTest, ComplexRecordsAgreeWithADoublePrecisionReference) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<float> part(-2.0f, 2.0f);
  for (size_t size : {7, 15}) {
    for (int trial = 0; trial < 200; ++trial) {
      std::vector<G> g(size);
      for (G& v : g) v = {part(rng), part(rng)};
      const int nsta = 3 + trial % 10;
      std::vector<std::complex<double>> c(g.begin(), g.end());
      std::complex<double> z, e;
      if (size == 7) {
        auto A = c[4] / c[0], B = c[6] / c[3], K = c[5] / c[1], D = c[2] / c[1];
        e = D * (A + B) - K + 2.0 / nsta, z = A * B - D * (A + B) + K;
      } else {
        auto P = c[2] / c[1] + c[11] / c[1], Q = c[5] / c[1] + 2.0 * c[8] / c[7] + c[14] / c[1];
        auto S = c[12] / c[9] + c[4] / c[0], R = c[6] / c[3] + c[13] / c[10];
        e = P * (S + R) - Q + 4.0 / nsta, z = S * R - P * (S + R) + Q;
      }
      if (std::abs(e) < 0.05) continue;  // too close to 0 to compare single precision
      const double want = (z / e).real();
      EXPECT_NEAR(Epsilon(g, nsta).value(), want, 1e-3 * (1.0 + std::fabs(want))) << size << " " << trial;
    }
  }
}

}  // namespace
}  // namespace hollin
