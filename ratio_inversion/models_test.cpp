#include "ratio_inversion/models.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/bessel.h"

namespace vantor {
namespace {

TEST(ModelsTest, ValuesAtZeroAndAtTheCrossing) {
  Blocks blk;
  blk.observed = 0.25f;
  // J2(0) = 0, so both SPAC forms and the CCA ratio start at 1.
  EXPECT_EQ(spac_m_l(0.0f, blk), 0.75f);
  EXPECT_EQ(spac_p_l(0.0f, blk), 0.75f);
  EXPECT_EQ(cca_m_l(0.0f, blk), 0.75f);
  EXPECT_EQ(bslj0(0.0f, blk), 0.75f);
  EXPECT_EQ(bslj02(0.0f, blk), 0.75f);
  EXPECT_EQ(bslj12(0.0f, blk), -0.25f);
  // J0 and J1 are about equal near 1.4347, so the power ratio is about 1.
  EXPECT_NEAR(bslj0212(1.4347f, blk), 0.75f, 1e-3f);
}

TEST(ModelsTest, TwoCircleModelsUseTheScaledArgument) {
  Blocks blk;
  blk.observed = 0.0f;
  blk.rdsr = 0.5f;
  float j1 = J1(2.0f);
  float inner = J1(1.0f);
  EXPECT_EQ(bslj1111(2.0f, blk), j1 / inner);
  EXPECT_EQ(bslj1212(2.0f, blk), (j1 * j1) / (inner * inner));
}

// The quotient of squares must divide the squares, not square the
// quotient: the two differ in the last bit for many arguments.
TEST(ModelsTest, QuotientOfSquaresOrder) {
  Blocks blk;
  int differing = 0;
  for (float x = 0.05f; x < 2.4f; x += 0.01f) {
    float j0 = J0(x), j1 = J1(x);
    float q = j0 / j1;
    EXPECT_EQ(bslj0212(x, blk), (j0 * j0) / (j1 * j1)) << x;
    if (q * q != (j0 * j0) / (j1 * j1)) ++differing;
  }
  EXPECT_GT(differing, 0);  // the test would catch the other order
}

TEST(ModelsTest, Wn2pv) {
  EXPECT_EQ(wn2pv(6.2831855f, 1.0f, 1.0f), 1.0f);
  EXPECT_EQ(wn2pv(0.0f, 2.0f, 3.0f), INFINITY);
  // 2*pi*f first, then times the radius, then divided by x.
  float f = 3.3f, r = 7.1f, x = 1.7f;
  float expected = 6.2831855f * f;
  expected = expected * r;
  EXPECT_EQ(wn2pv(x, f, r), expected / x);
}

}  // namespace
}  // namespace vantor
