#include "core/bessel.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(CalBslTest, ReferenceValues) {
  struct Case {
    float order;
    float x;
    double expected;  // J_order(x) to 10 digits
  };
  const Case cases[] = {
      {0.0f, 0.0f, 1.0},
      {1.0f, 0.0f, 0.0},
      {2.0f, 0.0f, 0.0},
      {0.0f, 1.0f, 0.7651976866},
      {1.0f, 1.0f, 0.4400505857},
      {2.0f, 1.0f, 0.1149034849},
      {0.0f, 10.0f, -0.2459357645},
      {0.0f, 100.0f, 0.01998585030},
      {2.0f, 3.5f, 0.4586291842},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(cal_bsl(c.order, c.x), c.expected, 2e-7 * (1 + std::fabs(c.expected)))
        << "order " << c.order << " x " << c.x;
  }
}

TEST(CalBslTest, ZerosAndCrossing) {
  EXPECT_NEAR(cal_bsl(0.0f, 2.4048255f), 0.0f, 1e-7f);
  EXPECT_NEAR(cal_bsl(1.0f, 3.8317060f), 0.0f, 1e-7f);
  EXPECT_NEAR(cal_bsl(0.0f, 1.4347f), cal_bsl(1.0f, 1.4347f), 1e-4f);
}

TEST(CalBslTest, ParityForNegativeArguments) {
  for (float x : {0.3f, 1.7f, 5.0f, 123.25f}) {
    EXPECT_EQ(cal_bsl(0.0f, -x), cal_bsl(0.0f, x)) << x;
    EXPECT_EQ(cal_bsl(1.0f, -x), -cal_bsl(1.0f, x)) << x;
    EXPECT_EQ(cal_bsl(2.0f, -x), cal_bsl(2.0f, x)) << x;
  }
}

// The refusals of the single-precision complex Bessel routine, at and just
// beyond each measured limit.
TEST(CalBslTest, RefusalLimits) {
  const float inf = std::numeric_limits<float>::infinity();
  auto above = [](float v) { return std::nextafter(v, 2 * v); };
  struct Case {
    float order;
    float x;
    int nz;  // -1: no refusal
    int ierr;
  };
  const Case cases[] = {
      {0.0f, std::numeric_limits<float>::quiet_NaN(), 1, 0},
      {0.0f, 2048.0f, -1, 0},
      {0.0f, above(2048.0f), 0, 3},
      {1.0f, -above(2048.0f), 0, 3},
      {2.0f, 4194304.0f, 0, 3},
      {0.0f, above(4194304.0f), 0, 4},
      {0.0f, inf, 0, 4},
      {1.0f, -inf, 0, 4},
      {1.0f, 4.634932325E-35f, 1, 0},
      {1.0f, -4.634932325E-35f, 1, 0},
      {1.0f, above(4.634932325E-35f), -1, 0},
      {1.0f, std::numeric_limits<float>::denorm_min(), 1, 0},
      {2.0f, 1.361605711E-17f, 1, 0},
      {2.0f, above(1.361605711E-17f), -1, 0},
      {0.0f, std::numeric_limits<float>::denorm_min(), -1, 0},
      {2.0f, 0.0f, -1, 0},
  };
  for (const Case& c : cases) {
    if (c.nz < 0) {
      EXPECT_NO_THROW(cal_bsl(c.order, c.x)) << "order " << c.order << " x " << c.x;
      continue;
    }
    try {
      cal_bsl(c.order, c.x);
      ADD_FAILURE() << "no refusal for order " << c.order << " x " << c.x;
    } catch (const BesselRefusal& stop) {
      EXPECT_EQ(stop.nz(), c.nz) << "order " << c.order << " x " << c.x;
      EXPECT_EQ(stop.ierr(), c.ierr) << "order " << c.order << " x " << c.x;
    }
  }
}

}  // namespace
}  // namespace core
