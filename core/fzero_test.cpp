#include "core/fzero.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "core/bessel.h"

namespace core {
namespace {

constexpr float kTol = 1.0e-7f;

// `f`, adding one to *calls at every evaluation.
template <typename F>
auto Counting(F f, int* calls) {
  return [f, calls](float x) {
    ++*calls;
    return f(x);
  };
}

TEST(FzeroTest, ConvergesOnSmoothSignChanges) {
  struct Case {
    const char* name;
    float (*f)(float);
    float b, c, root;
  };
  const Case cases[] = {
      {"J0 on [0, 3.83]", [](float x) { return cal_bsl(0.0f, x); }, 0.0f, 3.83f, 2.40482556f},
      {"J0 - 0.5", [](float x) { return cal_bsl(0.0f, x) - 0.5f; }, 0.0f, 3.83f, 1.52114400f},
      {"x^2 - 2", [](float x) { return x * x - 2.0f; }, 0.0f, 10.0f, 1.41421356f},
      {"cubic, reversed bracket", [](float x) { return x * x * x - x - 1.0f; }, 2.0f, 1.0f, 1.3247180f},
  };
  for (const Case& c : cases) {
    FzeroResult r = fzero(c.f, c.b, c.c, c.c, kTol, kTol);
    EXPECT_TRUE(r.found()) << c.name << " " << r.code();
    EXPECT_NEAR(r.b, c.root, 2 * (kTol * std::fabs(c.root) + kTol)) << c.name;
    // b is the end with the smaller |f|.
    EXPECT_LE(std::fabs(c.f(r.b)), std::fabs(c.f(r.c))) << c.name;
  }
}

TEST(FzeroTest, ExactZeroAtTheFirstPoint) {
  // f vanishes at z = C, not at B: the first exchange moves z into b.
  FzeroResult r = fzero([](float x) { return x - 3.0f; }, 0.0f, 3.0f, 3.0f, kTol, kTol);
  EXPECT_EQ(r.status, FzeroStatus::kExactZero);
  EXPECT_EQ(r.b, 3.0f);
}

TEST(FzeroTest, NoSignChangeNeverReportsARoot) {
  auto f = [](float x) { return cal_bsl(0.0f, x) + 2.0f; };
  FzeroResult r = fzero(f, 0.0f, 3.83f, 3.83f, kTol, kTol);
  EXPECT_TRUE(r.status == FzeroStatus::kNoSignChange || r.status == FzeroStatus::kTooManyEvaluations) << r.code();
  EXPECT_LE(std::fabs(f(r.b)), std::fabs(f(r.c)));
}

TEST(FzeroTest, PoleIsReportedAsSingular) {
  FzeroResult r = fzero([](float x) { return 1.0f / (x - 1.0f); }, 0.0f, 2.5f, 2.5f, kTol, kTol);
  EXPECT_EQ(r.status, FzeroStatus::kSingular);
  EXPECT_NEAR(r.b, 1.0f, 1e-6f);
}

TEST(FzeroTest, EvaluationLimitIsOneThousand) {
  // With zero tolerances the interval can never get small enough around an
  // irrational root, so the search runs into the limit.
  int calls = 0;
  FzeroResult r = fzero(Counting([](float x) { return x * x - 2.0f; }, &calls), 0.0f, 2.0f, 2.0f, 0.0f, 0.0f);
  EXPECT_EQ(r.status, FzeroStatus::kTooManyEvaluations);
  EXPECT_EQ(calls, kFzeroMaxEvaluations);
  EXPECT_NEAR(r.b, 1.41421356f, 2e-7f);
}

TEST(FzeroTest, TinyTolerancesAreNotRaisedToMachinePrecision) {
  // At 1e-12 the interval around a root away from zero cannot shrink below
  // one ulp, so the search ends only on an exact zero or at the limit, with
  // b still the better end.
  int calls = 0;
  FzeroResult r =
      fzero(Counting([](float x) { return cal_bsl(0.0f, x); }, &calls), 0.0f, 10.0f, 10.0f, 1.0e-12f, 1.0e-12f);
  EXPECT_TRUE(r.status == FzeroStatus::kExactZero || r.status == FzeroStatus::kTooManyEvaluations) << r.code();
  if (r.status == FzeroStatus::kTooManyEvaluations) {
    EXPECT_EQ(calls, kFzeroMaxEvaluations);
  }
  EXPECT_LE(std::fabs(cal_bsl(0.0f, r.b)), std::fabs(cal_bsl(0.0f, r.c)));
}

TEST(FzeroTest, FirstPointIsRWhenStrictlyInsideElseC) {
  struct Case {
    float r;
    float first;
  };
  const Case cases[] = {{1.0f, 1.0f}, {3.0f, 3.0f}, {0.0f, 3.0f}, {5.0f, 3.0f}, {-1.0f, 3.0f}};
  for (const Case& c : cases) {
    std::vector<float> points;
    auto f = [&](float x) {
      points.push_back(x);
      return x - 2.0f;
    };
    fzero(f, 0.0f, 3.0f, c.r, kTol, kTol);
    ASSERT_GE(points.size(), 2u);
    EXPECT_EQ(points[0], c.first) << "r = " << c.r;
    EXPECT_EQ(points[1], 0.0f) << "r = " << c.r;  // then B
  }
}

TEST(FzeroTest, NegativeZeroCountsAsNegative) {
  // f(B) = -0.0 and f(C) = +1: the signs differ by the sign bit, so the
  // search sees a bracket; since f(b) is zero it stops at once with status 2.
  auto f = [](float x) { return x < 0.5f ? -0.0f : 1.0f; };
  FzeroResult r = fzero(f, 0.0f, 1.0f, 1.0f, kTol, kTol);
  EXPECT_EQ(r.status, FzeroStatus::kExactZero);
  EXPECT_EQ(r.b, 0.0f);
  EXPECT_EQ(r.c, 1.0f);
}

}  // namespace
}  // namespace core
