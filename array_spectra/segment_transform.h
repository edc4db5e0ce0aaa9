#ifndef CIRCARRAY_ARRAY_SPECTRA_SEGMENT_TRANSFORM_H_
#define CIRCARRAY_ARRAY_SPECTRA_SEGMENT_TRANSFORM_H_

#include <complex>
#include <cstddef>
#include <span>
#include <vector>

namespace circspec {

// The preparation of one station's segment for the cross spectra:
//  1. remove the least-squares straight line a + b*j (j = 0..n-1);
//  2. taper with the periodic Hann window w_j = sin^2(pi j / n), whose
//     half-overlapping copies add up to a constant;
//  3. real FFT (FFTW, planned once per segment length with FFTW_ESTIMATE,
//     so the plan and every result are the same on every run):
//       X_k = sum_j w_j y_j exp(-2 pi i j k / n),  k = 0 .. n/2,
//     bin k at frequency k / (n dt). No scaling: every quantity circspec
//     reports is a ratio of spectra, in which a common factor cancels.
class SegmentTransform {
 public:
  explicit SegmentTransform(size_t length);
  ~SegmentTransform();
  SegmentTransform(const SegmentTransform&) = delete;
  SegmentTransform& operator=(const SegmentTransform&) = delete;

  size_t length() const { return length_; }
  size_t bins() const { return length_ / 2 + 1; }

  // Step 1 on the segment `first` followed by `second` (length() samples
  // in all: a window of a ring buffer comes in up to two pieces), copied
  // into the transform's input: keeps the residual for Transform() and
  // returns its RMS, sqrt(sum of squares / n).
  double Detrend(std::span<const double> first, std::span<const double> second = {});
  double Detrend(const double* samples) { return Detrend(std::span<const double>(samples, length_)); }
  // Steps 2 and 3 on the residual of the last Detrend(); writes bins()
  // values to spectrum.
  void Transform(std::complex<double>* spectrum);

 private:
  size_t length_;
  std::vector<double> taper_;
  double* in_ = nullptr;                 // fftw_malloc'd, length_
  std::complex<double>* out_ = nullptr;  // fftw_malloc'd, bins()
  void* plan_ = nullptr;                 // fftw_plan
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_SEGMENT_TRANSFORM_H_
