#include "log_resample/log_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace resampa {
namespace {

LogCurve Curve(std::vector<double> f, std::vector<double> d) { return {std::move(f), std::move(d), 3, {}}; }

// Logarithms 0, 1, 3 at 1, 2, 3: the two brackets have slopes 1 and 2, so
// the value tells which bracket was used.
TEST(LogInterpolatorTest, FirstBracketWithinEpsFromTheCursorWins) {
  const LogCurve c = Curve({1, 2, 3}, {0, 1, 3});
  EXPECT_DOUBLE_EQ(LogInterpolator(c).At(2.0 + 0.5e-6).value, 1.0 + 0.5e-6) << "within eps: the bracket ending at 2";
  EXPECT_DOUBLE_EQ(LogInterpolator(c).At(2.0 + 2e-6).value, 1.0 + 4e-6) << "beyond eps: the next bracket";
  EXPECT_DOUBLE_EQ(LogInterpolator(c).At(1.75).distance, 0.25) << "distance to the nearer end";
  LogInterpolator forward(c);
  EXPECT_DOUBLE_EQ(forward.At(2.5).value, 2.0);
  // The cursor never moves back: a point behind it finds no bracket.
  const GridValue back = forward.At(1.5);
  EXPECT_TRUE(std::isnan(back.value) && std::isnan(back.distance));
  EXPECT_DOUBLE_EQ(forward.At(0.5).value, -0.5) << "outside the data the cursor is not needed";
}

}  // namespace
}  // namespace resampa
