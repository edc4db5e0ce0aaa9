#ifndef CIRCARRAY_ARRAY_SYNTHESIS_BAND_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_BAND_H_

namespace circsim {

// The signal band and its spectral shape: the power weight of frequency f
//   P(f) = T(f / fmin) * T(fmax / f),
//   T(q) = 0 for q <= 1, sin^2((pi/2) * ln q / ln kTaperRatio) for
//          1 < q < kTaperRatio, 1 beyond,
// a cosine taper in log frequency at each edge: the power rises from 0 at
// fmin to 1 at fmin * kTaperRatio and falls from 1 at fmax / kTaperRatio
// to 0 at fmax. In a band narrower than kTaperRatio^2 the two tapers
// overlap and multiply. This is the shape of both the signal and the
// noise, so the noise-to-signal ratio is the same at every frequency.
struct Band {
  static constexpr double kTaperRatio = 1.25;

  double fmin = 0.5;
  double fmax = 40;

  double Weight(double f) const;
};

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_BAND_H_
