#ifndef CIRCARRAY_ARRAY_SPECTRA_THEORY_H_
#define CIRCARRAY_ARRAY_SPECTRA_THEORY_H_

#include <cstddef>
#include <functional>
#include <vector>

#include "array_spectra/channels.h"
#include "array_spectra/smoothing.h"

namespace circspec {

// A stationary wavefield of plane waves from uniformly distributed
// directions, with phase velocity c(f), signal power P(f) at every
// station and incoherent noise of `noise` times the signal power on
// every station.
struct WaveModel {
  std::function<double(double)> power;     // P(f)
  std::function<double(double)> velocity;  // c(f), m/s
  double noise = 0;                        // epsilon
};

// The expected channel sums of one segment at frequency f. For any two
// stations a, b at distance d_ab, averaging exp(i k.(p_a - p_b)) over the
// directions gives
//   E[X_a conj(X_b)] = P(f) (J0(k d_ab) + eps [a = b]),  k = 2 pi f / c(f),
// and every channel is a linear combination of these: G0 = (1/N^2)
// sum_ab E[X_a conj X_b], G1 = (1/N^2) sum_ab E[X_a conj X_b]
// exp(-i (theta_a - theta_b)), and so on. For an equally spaced ring this
// is the aliased sum of circular orders (Graf's addition theorem):
//   G0 = P (sum_m J_(mN)(kr)^2 + eps/N),  G1 = P (sum_m J_(1+mN)(kr)^2 + eps/N),
// but the pair form holds for any station positions. Writes
// ChannelLayout::count values to `out`.
void ExpectedSums(const ArrayGeometry& geometry, const ChannelLayout& channels, const WaveModel& model, double f,
                  double* out);

// The theory as circspec measures it: the expected sums at every FFT bin
// k df that the smoother uses, passed through the same weights; returns
// frequencies x channels values, ready for Evaluate().
std::vector<double> SmoothedTheory(const ArrayGeometry& geometry, const ChannelLayout& channels,
                                   const WaveModel& model, const Smoother& smoother, double df);

// sum over all integers m of J_(order + m n)(x)^2: the power of circular
// order `order` seen by n equally spaced stations, with its aliases.
double AliasedOrderPower(int order, int n, double x);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_THEORY_H_
