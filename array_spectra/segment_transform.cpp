#include "array_spectra/segment_transform.h"

#include <fftw3.h>

#include <cmath>
#include <cstring>
#include <new>
#include <numbers>
#include <stdexcept>

namespace circspec {

SegmentTransform::SegmentTransform(size_t length) : length_(length), taper_(length) {
  for (size_t j = 0; j < length_; ++j) {
    const double s = std::sin(std::numbers::pi * static_cast<double>(j) / static_cast<double>(length_));
    taper_[j] = s * s;
  }
  in_ = static_cast<double*>(fftw_malloc(sizeof(double) * length_));
  out_ = static_cast<std::complex<double>*>(fftw_malloc(sizeof(fftw_complex) * bins()));
  if (in_ == nullptr || out_ == nullptr) {
    fftw_free(in_);
    fftw_free(out_);
    throw std::bad_alloc();
  }
  // std::complex<double> has the layout of fftw_complex (double[2]).
  plan_ = fftw_plan_dft_r2c_1d(static_cast<int>(length_), in_, reinterpret_cast<fftw_complex*>(out_), FFTW_ESTIMATE);
}

SegmentTransform::~SegmentTransform() {
  fftw_destroy_plan(static_cast<fftw_plan>(plan_));
  fftw_free(in_);
  fftw_free(out_);
}

double SegmentTransform::Detrend(std::span<const double> first, std::span<const double> second) {
  if (first.size() + second.size() != length_) throw std::invalid_argument("SegmentTransform: wrong segment length");
  std::memcpy(in_, first.data(), first.size_bytes());
  if (!second.empty()) std::memcpy(in_ + first.size(), second.data(), second.size_bytes());
  const double* samples = in_;
  // Least squares about the middle index jm = (n-1)/2, where the two
  // normal equations decouple: a = mean, b = sum (j - jm) y_j / sum (j - jm)^2,
  // with sum (j - jm)^2 = n (n^2 - 1) / 12.
  const double n = static_cast<double>(length_);
  const double jm = 0.5 * (n - 1);
  double sum = 0, moment = 0;
  for (size_t j = 0; j < length_; ++j) {
    sum += samples[j];
    moment += (static_cast<double>(j) - jm) * samples[j];
  }
  const double mean = sum / n;
  const double sxx = n * (n * n - 1) / 12;
  const double slope = sxx > 0 ? moment / sxx : 0;
  double squares = 0;
  for (size_t j = 0; j < length_; ++j) {
    const double r = samples[j] - mean - slope * (static_cast<double>(j) - jm);
    in_[j] = r;
    squares += r * r;
  }
  return std::sqrt(squares / n);
}

void SegmentTransform::Transform(std::complex<double>* spectrum) {
  for (size_t j = 0; j < length_; ++j) in_[j] *= taper_[j];
  fftw_execute(static_cast<fftw_plan>(plan_));
  std::memcpy(static_cast<void*>(spectrum), out_, sizeof(std::complex<double>) * bins());
}

}  // namespace circspec
