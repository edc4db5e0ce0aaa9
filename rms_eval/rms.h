#ifndef CIRCARRAY_RMS_EVAL_RMS_H_
#define CIRCARRAY_RMS_EVAL_RMS_H_

#include <cstdint>

#include "rms_eval/record.h"

namespace gauger {

// The slope that dtrd reports when it fits no line.
inline constexpr double kNoSlope = 12345.0;

// Removes a trend from x[0 .. n-1] (samples 1 .. n) into y, which may be x
// itself. mode > 0 removes the least-squares line against the sample
// index, mode 0 the mean alone; a negative mode changes nothing. *slope is
// the fitted slope per sample when a line is removed, kNoSlope otherwise;
// *mean is the mean of x for mode >= 0 and untouched for a negative mode.
// n <= 0 writes no sample.
void dtrd(const double* x, int32_t n, double* y, int32_t mode, double* slope, double* mean);

// Time-normalised RMS of samples first .. last of the store: the square
// root of their sum of squares over the span (last - first) x dt between
// the first and last sample. An empty range (first > last) sums to 0.
// Needs 1 <= first and last <= the store's last sample when first <= last.
double rms(const Datblk& store, double dt, int64_t first, int64_t last);

}  // namespace gauger

#endif  // CIRCARRAY_RMS_EVAL_RMS_H_
