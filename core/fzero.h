#ifndef CIRCARRAY_CORE_FZERO_H_
#define CIRCARRAY_CORE_FZERO_H_

#include <cmath>

namespace core {

// How a root search ended; the values are the classic status codes that
// programs print.
enum class FzeroStatus {
  kConverged = 1,           // the bracket shrank below the tolerance
  kExactZero = 2,           // F(b) is exactly zero
  kSingular = 3,            // converged, but |F| grew: possibly a pole
  kNoSignChange = 4,        // the bracket holds no sign change
  kTooManyEvaluations = 5,  // the evaluation limit was reached
};

// A root was found: the search converged or landed exactly on a zero.
// An exact zero is common where residuals are differences of nearly
// equal single-precision numbers, so trial points hit zeros exactly.
constexpr bool Found(FzeroStatus status) {
  return status == FzeroStatus::kConverged || status == FzeroStatus::kExactZero;
}

// Outcome of a root search.
struct FzeroResult {
  float b;  // the root estimate: the end of the final interval with the smaller |F|
  float c;  // the other end of the final interval
  FzeroStatus status;

  bool found() const { return Found(status); }
  // The status as the integer code programs print.
  int code() const { return static_cast<int>(status); }
};

// Maximum number of evaluations of F in one search.
inline constexpr int kFzeroMaxEvaluations = 1000;

// Finds a zero of f in the interval [b, c] by the secant rule and bisection,
// keeping the zero bracketed once a sign change is found (the classic
// Shampine-Watts FZERO in single precision). r is a first point of the
// search (used only if strictly inside the interval, else c is); re and ae
// are the relative and absolute tolerances, taken as given (re is not
// raised to the machine precision). The search stops once half the final
// interval is within re*|b| + ae, when f(b) is exactly zero, or after
// kFzeroMaxEvaluations evaluations.
//
// f is any callable float(float); it is evaluated on a copy of the point.
// Signs are compared by their sign bit, so -0.0 counts as negative, and
// NaN values of f take part in the comparisons as the branches fall.
template <typename F>
FzeroResult fzero(F&& f, float b, float c, float r, float re, float ae) {
  auto same_sign = [](float u, float v) { return std::signbit(u) == std::signbit(v); };
  // fmax semantics: a NaN operand is ignored.
  auto max_abs = [](float u, float v) { return std::fmax(std::fabs(u), std::fabs(v)); };

  float z = r;
  if (r <= std::fmin(b, c) || r >= std::fmax(b, c)) z = c;
  const float rw = re;
  const float aw = ae < 0.0f ? 0.0f : ae;
  int ic = 0;

  float fz = f(z);
  float fc = fz;
  float fb = f(b);
  int count = 2;
  if (!same_sign(fz, fb)) {
    c = z;
  } else if (z != c) {
    fc = f(c);
    count = 3;
    if (!same_sign(fz, fc)) {
      b = z;
      fb = fz;
    }
  }
  float a = c;
  float fa = fc;
  float acbs = std::fabs(b - c);
  const float fx = max_abs(fb, fc);

  for (;;) {
    // Keep in b the end with the smaller |f|.
    if (!(std::fabs(fc) >= std::fabs(fb))) {
      a = b;
      fa = fb;
      b = c;
      fb = fc;
      c = a;
      fc = fa;
    }

    const float cmb = 0.5f * (c - b);
    const float acmb = std::fabs(cmb);
    const float tol = rw * std::fabs(b) + aw;

    if (acmb <= tol) {
      FzeroStatus flag = FzeroStatus::kConverged;
      if (same_sign(fb, fc)) {
        flag = FzeroStatus::kNoSignChange;
      } else if (std::fabs(fb) > fx) {
        flag = FzeroStatus::kSingular;
      }
      return {b, c, flag};
    }
    if (fb == 0.0f) return {b, c, FzeroStatus::kExactZero};
    if (count >= kFzeroMaxEvaluations) return {b, c, FzeroStatus::kTooManyEvaluations};

    // The new iterate is b + p/q, arranged so that p >= 0.
    float p = (b - a) * fb;
    float q = fa - fb;
    if (!(p >= 0.0f)) {
      p = -p;
      q = -q;
    }

    a = b;
    fa = fb;
    ++ic;
    bool bisect = false;
    if (ic >= 4) {
      // Too little progress over four steps: bisect.
      if (8.0f * acmb >= acbs) {
        bisect = true;
      } else {
        ic = 0;
        acbs = acmb;
      }
    }

    if (bisect) {
      b = b + cmb;
    } else if (!(p > std::fabs(q) * tol)) {
      b = b + std::copysign(tol, cmb);  // the smallest step allowed
    } else if (!(p >= cmb * q)) {
      b = b + p / q;  // secant step
    } else {
      b = b + cmb;  // bisection
    }

    fb = f(b);
    ++count;
    if (same_sign(fb, fc)) {
      c = a;
      fc = fa;
    }
  }
}

}  // namespace core

#endif  // CIRCARRAY_CORE_FZERO_H_
