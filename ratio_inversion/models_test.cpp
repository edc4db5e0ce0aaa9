#include "ratio_inversion/models.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/bessel.h"

namespace vantor {
namespace {

float J0(float x) { return core::cal_bsl(0.0f, x); }
float J1(float x) { return core::cal_bsl(1.0f, x); }

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
  EXPECT_NEAR(tessel(1.4347f, blk), 0.75f, 1e-3f);
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
    EXPECT_EQ(tessel(x, blk), (j0 * j0) / (j1 * j1)) << x;
    if (q * q != (j0 * j0) / (j1 * j1)) ++differing;
  }
  EXPECT_GT(differing, 0);  // the test would catch the other order
}

TEST(ModelsTest, ResidualDispatchesEveryModel) {
  Blocks blk;
  blk.observed = 0.1f;
  blk.rdsr = 0.4f;
  const float x = 1.3f;
  struct Case {
    Model model;
    float (*fn)(float, const Blocks&);
  };
  const Case cases[] = {
      {Model::kBslj0, bslj0},       {Model::kBslj02, bslj02},     {Model::kBslj12, bslj12},
      {Model::kBslj012, bslj012},   {Model::kTessel, tessel},     {Model::kBslj1212, bslj1212},
      {Model::kBslj1111, bslj1111}, {Model::kCcaML, cca_m_l},     {Model::kSpacML, spac_m_l},
      {Model::kSpacPL, spac_p_l},
  };
  for (const Case& c : cases) EXPECT_EQ(Residual(c.model, x, blk), c.fn(x, blk));
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

TEST(ModelsTest, TypeTable) {
  const int known[] = {1, 2, 3, 4, 5, 10, 11, 21, 22, 23};
  for (int itype : known) ASSERT_NE(FindItype(itype), nullptr) << itype;
  for (int itype : {0, 6, 7, 9, 12, 20, 24, -1}) EXPECT_EQ(FindItype(itype), nullptr) << itype;
  EXPECT_EQ(FindItype(1)->lower, 0.0f);
  EXPECT_EQ(FindItype(3)->upper, 1.84f);
  EXPECT_EQ(FindItype(23)->upper, 5.1f);
  EXPECT_TRUE(FindItype(10)->reads_radius2);
  EXPECT_FALSE(FindItype(21)->reads_radius2);
}

}  // namespace
}  // namespace vantor
