#include "noise_ratio/models.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "core/bessel.h"

namespace quillon {
namespace {

struct ModelCase {
  int32_t ids;
  float coh;
  float rho;
  float x;
  float expected;
  float tolerance;  // 0: exact to the bit
};

// Four stations throughout.
template <typename F>
void CheckCases(const ModelCase* begin, const ModelCase* end, F model) {
  for (const ModelCase* c = begin; c != end; ++c) {
    Observed obs{c->coh, c->rho, 0.0f, 4};
    const float v = model(*c, obs);
    if (c->tolerance == 0.0f) {
      EXPECT_EQ(v, c->expected) << "ids " << c->ids << " coh " << c->coh << " rho " << c->rho << " x " << c->x;
      EXPECT_EQ(std::signbit(v), std::signbit(c->expected)) << "x " << c->x;
    } else {
      EXPECT_NEAR(v, c->expected, c->tolerance) << "ids " << c->ids << " coh " << c->coh << " x " << c->x;
    }
    EXPECT_EQ(obs.aj0t, (c->x + 1.0f) * c->rho);
  }
}

TEST(QuillonModelTest, CoherenceResidual) {
  const ModelCase cases[] = {
      // Plain model: coh - 1 at x = 0; 0.5 - 1/((1 + 0.25) * 2) at x = 1.
      {0, 0.5f, 0.5f, 0.0f, -0.5f, 0.0f},
      {0, 0.5f, 0.5f, 1.0f, 0.1f, 1e-7f},
      // With the excess term x = 0 solves the model exactly: the excess
      // 0.25 - 2^-26 plus q^2 = 0.25 rounds (to even) to 0.5.
      {1, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f},
      // q = 1 leaves no room for an excess term: the plain model's value.
      {1, 0.5f, 0.5f, 1.0f, 0.1f, 1e-7f},
      // The 1e-8 offset shows where the excess is small: 0.5 - 0.01/(0.02 - 1e-8).
      {1, 0.5f, 0.1f, 0.0f, -2.38418579e-07f, 0.0f},
      // The excess 0.81 * 4 exceeds the bound min(1.3, 0.1)^2 = 0.01.
      {1, 0.2f, 0.9f, 0.0f, 0.2f - 0.81f / 0.82f, 1e-7f},
  };
  CheckCases(std::begin(cases), std::end(cases),
             [](const ModelCase& c, Observed& obs) { return anoise(c.x, Ids{c.ids}, obs); });
}

TEST(QuillonModelTest, LargestExcessTerm) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const ModelCase cases[] = {
      // Interior maximum (t = 1 > 0) F = 1.25, capped by m^2 = 0.25 at q = 0.5,
      // and not capped at q = -2 (m^2 = 2.56).
      {0, 0.2f, 0.5f, 0.0f, 0.25f, 0.0f},
      {0, 0.2f, 0.5f, -5.0f, 1.25f, 2e-7f},
      // rho^4 comes from the single-precision power function, not from
      // products (which give 5.56558609).
      {0, 0.03f, 0.18f, -30.0f, 5.56558657f, 0.0f},
      // Maximum at eps = 0 (t < 0): F = 0.25 * 0.25 - 1e-8; q = 1 caps it at 0.
      {0, 0.8f, 0.5f, 1.0f, 0.0f, 0.0f},
      {0, 0.8f, 0.5f, -5.0f, 0.0625f - 1e-8f, 0.0f},
      // The worked value: 0.25 - 1e-8, just below the cap 0.25.
      {0, 0.5f, 0.5f, 0.0f, 0.25f - 1e-8f, 0.0f},
      // A bound that is not a number yields the cap; a huge q caps at 1e18.
      {0, nan, 0.5f, 0.0f, 0.25f, 0.0f},
      {0, 0.5f, 1e10f, 0.0f, 1e18f, 0.0f},
  };
  CheckCases(std::begin(cases), std::end(cases), [](const ModelCase& c, Observed& obs) { return caldltmx(c.x, obs); });
}

TEST(QuillonModelTest, ResolutionResidual) {
  const Observed four{0.5f, 0.5f, 0.0f, 4};
  const Observed one{0.5f, 0.5f, 0.0f, 1};
  // No noise and no scaling: the two ratios cancel.
  for (float x : {0.001f, 0.5f, 1.2f, 2.0f}) EXPECT_EQ(rkmin4nsr2(x, Observed2{0.0f, 1.0f}, four), 0.0f) << x;
  // No noise: J0^2/J1^2 at x / 0.9 minus the same at x.
  const float y = 1.0f / 0.9f;
  const float a0 = core::cal_bsl(0.0f, 1.0f), a1 = core::cal_bsl(1.0f, 1.0f);
  const float b0 = core::cal_bsl(0.0f, y), b1 = core::cal_bsl(1.0f, y);
  EXPECT_FLOAT_EQ(rkmin4nsr2(1.0f, Observed2{0.0f, 0.9f}, four), (b0 * b0) / (b1 * b1) - (a0 * a0) / (a1 * a1));
  // The noise enters as nsr / nsta and pulls the ratio at x towards 1.
  EXPECT_EQ(rkmin4nsr2(1.0f, Observed2{2.0f, 0.9f}, four), rkmin4nsr2(1.0f, Observed2{0.5f, 0.9f}, one));
  EXPECT_GT(rkmin4nsr2(1.0f, Observed2{0.5f, 0.9f}, four), rkmin4nsr2(1.0f, Observed2{0.0f, 0.9f}, four));
  // A scaled argument the Bessel routine refuses stops the run.
  EXPECT_THROW(rkmin4nsr2(1.0f, Observed2{0.5f, 0.0f}, four), core::BesselRefusal);
}

}  // namespace
}  // namespace quillon
