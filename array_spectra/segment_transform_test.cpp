// The preparation of a segment: detrending, taper and transform.
#include "array_spectra/segment_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "testsupport/random_series.h"

namespace circspec {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(SegmentTransform, RemovesTheStraightLine) {
  for (size_t n : {16u, 2048u, 1001u}) {
    std::vector<double> line(n);
    for (size_t j = 0; j < n; ++j) line[j] = 3.5 - 0.25 * static_cast<double>(j);
    SegmentTransform t(n);
    EXPECT_LT(t.Detrend(line.data()), 1e-12) << n;
  }
}

TEST(SegmentTransform, IsTheDftOfTheDetrendedHannTaperedSegment) {
  for (size_t n : {64u, 90u}) {  // even, with a Nyquist bin, and not a power of two
    const std::vector<double> x = testsupport::GaussianSeries(n, 3);
    // Reference: the line by an explicit fit, the taper sin^2(pi j/n), a plain DFT.
    double sj = 0, sy = 0, sjj = 0, sjy = 0;
    for (size_t j = 0; j < n; ++j) {
      sj += j, sy += x[j], sjj += double(j) * j, sjy += j * x[j];
    }
    const double b = (n * sjy - sj * sy) / (n * sjj - sj * sj), a = (sy - b * sj) / n;
    std::vector<double> y(n);
    double squares = 0;
    for (size_t j = 0; j < n; ++j) {
      const double r = x[j] - a - b * j;
      squares += r * r;
      y[j] = r * std::pow(std::sin(kPi * j / n), 2);
    }
    SegmentTransform t(n);
    EXPECT_NEAR(t.Detrend(x.data()), std::sqrt(squares / n), 1e-12);
    std::vector<std::complex<double>> spectrum(t.bins());
    t.Transform(spectrum.data());
    for (size_t k = 0; k < t.bins(); ++k) {
      std::complex<double> sum = 0;
      for (size_t j = 0; j < n; ++j) sum += y[j] * std::polar(1.0, -2 * kPi * double(j * k % n) / n);
      EXPECT_NEAR(std::abs(spectrum[k] - sum), 0, 1e-10) << "n " << n << " bin " << k;
    }
    // The plan is reused: the same segment gives the same spectrum.
    std::vector<std::complex<double>> again(t.bins());
    t.Detrend(x.data());
    t.Transform(again.data());
    EXPECT_EQ(again, spectrum);
  }
}

}  // namespace
}  // namespace circspec
