#include "spectral_noise/complex_pair.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace hollin {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(ComplexPairTest, ProductIsTextbookAndLetsNaNThrough) {
  Cpx p = Mul({1.0f, 2.0f}, {3.0f, 4.0f});
  EXPECT_EQ(p.re, -5.0f);
  EXPECT_EQ(p.im, 10.0f);

  // (2 + 0i)(inf + 0i): the imaginary part is 2*0 + 0*inf = NaN. A library
  // product that "repairs" NaN results would report an infinity here.
  Cpx q = Mul({2.0f, 0.0f}, {kInf, 0.0f});
  EXPECT_EQ(q.re, kInf);
  EXPECT_TRUE(std::isnan(q.im));
}

TEST(ComplexPairTest, ZeroOnlyWhenBothPartsCompareEqualToZero) {
  struct Case {
    Cpx w;
    bool zero;
  } cases[] = {
      {{0.0f, 0.0f}, true},    {{-0.0f, 0.0f}, true},  {{0.0f, -0.0f}, true},
      {{kNaN, 0.0f}, false},   {{0.0f, kNaN}, false},  {{1e-45f, 0.0f}, false},
      {{0.0f, -1e-45f}, false}, {{kInf, 0.0f}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsZero(c.w), c.zero) << c.w.re << " " << c.w.im;
  }
}

TEST(ComplexPairTest, SmithQuotients) {
  struct Case {
    Cpx u, w, q;
  } cases[] = {
      {{1.0f, 2.0f}, {1.0f, 3.0f}, {0.7f, -0.1f}},   // |Im w| > |Re w|
      {{7.0f, -1.0f}, {3.0f, 1.0f}, {2.0f, -1.0f}},  // |Re w| > |Im w|
      {{2.0f, 0.0f}, {1.0f, 1.0f}, {1.0f, -1.0f}},   // equal parts
      {{1.0f, 0.0f}, {0.0f, 2.0f}, {0.0f, -0.5f}},   // purely imaginary divisor
      {{-3.0f, 6.0f}, {-3.0f, 0.0f}, {1.0f, -2.0f}}, // purely real divisor
      // |w|^2 would overflow a float; Smith's scaling never forms it.
      {{1e30f, 0.0f}, {1e30f, 1e30f}, {0.5f, -0.5f}},
      {{0.0f, 1e-30f}, {1e-30f, 1e-30f}, {0.5f, 0.5f}},
  };
  for (const Case& c : cases) {
    Cpx q = Div(c.u, c.w);
    EXPECT_NEAR(q.re, c.q.re, 1e-6f) << c.u.re << "," << c.u.im << " / " << c.w.re << "," << c.w.im;
    EXPECT_NEAR(q.im, c.q.im, 1e-6f) << c.u.re << "," << c.u.im << " / " << c.w.re << "," << c.w.im;
  }
}

TEST(ComplexPairTest, BranchFollowsTheLargerPartOfTheDivisor) {
  // An infinite real part must take the real-part branch (r = 1/inf = 0,
  // a finite quotient of 0); scaling by Re w / Im w would give NaN.
  Cpx q = Div({1.0f, 1.0f}, {kInf, 1.0f});
  EXPECT_EQ(q.re, 0.0f);
  EXPECT_EQ(q.im, 0.0f);
  Cpx p = Div({1.0f, 1.0f}, {1.0f, kInf});
  EXPECT_EQ(p.re, 0.0f);
  EXPECT_EQ(p.im, 0.0f);

  // A NaN part fails the strict comparison: the real-part branch runs and
  // the NaN spreads to both parts.
  Cpx n = Div({1.0f, 0.0f}, {1.0f, kNaN});
  EXPECT_TRUE(std::isnan(n.re));
  EXPECT_TRUE(std::isnan(n.im));
}

}  // namespace
}  // namespace hollin
