#ifndef CIRCARRAY_ARRAY_TESTING_THEORY_H_
#define CIRCARRAY_ARRAY_TESTING_THEORY_H_

#include <cstddef>
#include <functional>
#include <vector>

#include "array_spectra/channels.h"
#include "array_spectra/smoothing.h"

namespace circspec::testing {

// A stationary wavefield of plane waves from uniformly distributed
// directions, with phase velocity c(f), signal power P(f) at every
// station and incoherent noise of `noise` times the signal power on
// every station.
//
// The horizontal components: Rayleigh waves move along their direction
// of propagation, Love waves across it (with their own curve), and Love
// waves carry the share love_fraction of the horizontal power P(f) (the
// scale cancels in every quantity). The noise is epsilon times the
// signal power on the east and on the north component alike.
struct WaveModel {
  std::function<double(double)> power;               // P(f)
  std::function<double(double)> velocity;            // c(f), m/s (Rayleigh)
  double noise = 0;                                  // epsilon
  std::function<double(double)> love_velocity = {};  // c_L(f), m/s; needed only if love_fraction > 0
  double love_fraction = 0;                          // a, in [0, 1]
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
// but the pair form holds for any station positions.
//
// Horizontal: for the motion at a projected on the unit vector at angle
// phi_a and that at b on phi_b (angles counterclockwise from east), psi
// the direction of p_a - p_b and gamma = 2 psi - phi_a - phi_b, averaging
// (u_a . m)(u_b . m) exp(i k.(p_a - p_b)) over the directions m gives
//   Rayleigh (motion along m):   (1/2) [cos(phi_a - phi_b) J0(k d) - cos(gamma) J2(k d)]
//   Love (motion across m):      (1/2) [cos(phi_a - phi_b) J0(k d) + cos(gamma) J2(k d)]
// each times its power ((1 - a) P and a P), and the noise adds
// eps P/2 cos(phi_a - phi_b) when a = b. For a ring station and the
// centre, both projected on theta_j, gamma is 0 (radial) or pi
// (transverse): see HorizontalSpac. Writes ChannelLayout::count values
// to `out`.
void ExpectedSums(const ArrayGeometry& geometry, const ChannelLayout& channels, const WaveModel& model, double f,
                  double* out);

// The theory as circspec measures it: the expected sums at every FFT bin
// k df that the smoother uses, passed through the same weights; returns
// frequencies x channels values, ready for Evaluate().
std::vector<double> SmoothedTheory(const ArrayGeometry& geometry, const ChannelLayout& channels, const WaveModel& model,
                                   const Smoother& smoother, double df);

// The horizontal SPAC coefficients of a centre and a station at distance
// r, both projected on the station's azimuth, for waves from uniformly
// distributed directions, Love waves carrying the share a of the
// horizontal power:
//   radial     = (1 - a) (J0 - J2)(k_R r) + a (J0 + J2)(k_L r)
//   transverse = (1 - a) (J0 + J2)(k_R r) + a (J0 - J2)(k_L r)
// (Rayleigh waves alone: J0 - J2 and J0 + J2; Love waves the reverse.)
struct HorizontalCoefficients {
  double radial, transverse;
};
HorizontalCoefficients HorizontalSpac(double kr_rayleigh, double kr_love, double love_fraction);

// sum over all integers m of J_(order + m n)(x)^2: the power of circular
// order `order` seen by n equally spaced stations, with its aliases.
double AliasedOrderPower(int order, int n, double x);

}  // namespace circspec::testing

#endif  // CIRCARRAY_ARRAY_TESTING_THEORY_H_
