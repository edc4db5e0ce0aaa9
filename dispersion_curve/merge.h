#ifndef CIRCARRAY_DISPERSION_CURVE_MERGE_H_
#define CIRCARRAY_DISPERSION_CURVE_MERGE_H_

#include <span>

#include "dispersion_curve/series.h"

namespace circdisp {

// The significance level of the test of agreement: estimates whose scatter
// a chi-squared variable exceeds with a probability below it disagree.
inline constexpr double kAgreementLevel = 0.05;

// The merged velocity at one frequency.
struct Merged {
  double c = 0, se = 0;  // NaN both when n is 0
  int n = 0;             // estimates combined
  // The test of agreement (n >= 2): chi2 on n - 1 degrees of freedom, its
  // upper tail probability, and whether se was inflated by the Birge
  // ratio sqrt(chi2 / (n - 1)).
  double chi2 = 0, p = 1;
  bool scattered = false;
  double ratio = 1;
};

// Combines independent estimates c_i +- se_i of one velocity by inverse-
// variance weighting, w_i = 1/se_i^2:
//   c = sum w_i c_i / sum w_i,   se = 1 / sqrt(sum w_i),
// the least-squares mean and its standard error when the se_i are right.
// Whether they are is tested with chi2 = sum w_i (c_i - c)^2, a chi-squared
// variable on n - 1 degrees of freedom if the estimates differ by their
// errors alone. Where its upper tail probability is below kAgreementLevel,
// the errors understate the scatter, and se is multiplied by the Birge ratio
// sqrt(chi2 / (n - 1)) (Birge 1932), the factor that makes chi2 equal to
// its expectation: the error the observed scatter implies.
Merged Combine(std::span<const Point> estimates);

}  // namespace circdisp

#endif  // CIRCARRAY_DISPERSION_CURVE_MERGE_H_
