#ifndef CIRCARRAY_RESULT_PLOT_THEORY_H_
#define CIRCARRAY_RESULT_PLOT_THEORY_H_

#include <vector>

#include "result_plot/inputs.h"

namespace circplot {

// The points of a true curve, to draw.
std::vector<Point> PointsOf(const TrueCurve& truth);

// What the SPAC coefficient of a ring of radius r would be for the true
// curve: J0(k r) with k = 2*pi*f/c(f), for waves from all azimuths.
std::vector<Point> SpacOfTrueCurve(const TrueCurve& truth, double radius, const std::vector<double>& frequencies);

// The CCA ratio G0/G1 of the true curve in the limit of many stations,
// J0(k r)^2 / J1(k r)^2, where k r <= kMaxCcaArgument: beyond the first
// zero of J0 the ratio only oscillates between 0 and the poles of J1, and
// a ring of few stations is dominated there by its aliasing terms.
inline constexpr double kMaxCcaArgument = 2.4;
std::vector<Point> CcaOfTrueCurve(const TrueCurve& truth, double radius, const std::vector<double>& frequencies);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_THEORY_H_
