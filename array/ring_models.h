#ifndef CIRCARRAY_ARRAY_RING_MODELS_H_
#define CIRCARRAY_ARRAY_RING_MODELS_H_

// What a ring's observed quantities should be for a stationary wavefield
// of plane waves from uniformly distributed directions (Aki 1957; Cho et
// al. 2004, 2006), for the ring's own station positions: the models that
// circspec --for curve inverts for the phase velocity, and the noise
// ratio's resolution limit that circplot draws.
//
// For two stations a, b at distance d_ab the cross spectrum of such a
// field is E[X_a conj(X_b)] = P J0(k d_ab) (+ P eps for a = b, eps the
// incoherent noise-to-signal power ratio), k = 2 pi f / c. Every quantity
// below is a sum of these over the ring's pairs, so it holds for any
// positions: irregular radii, azimuth gaps, a centre off the ring's
// centre. For a ring of N equally spaced stations at radius r the sums
// reduce to the aliased circular orders, G0 = sum_m J_(mN)(kr)^2 and
// G1 = sum_m J_(1+mN)(kr)^2 (Graf's addition theorem).

#include <cstddef>
#include <vector>

namespace array {

struct RingShape {
  std::vector<double> x, y;     // each station's position, metres, from the centre point
  std::vector<double> azimuth;  // each station's azimuth from the centre point, radians
};

// The signal parts of a ring's quantities as functions of k, with the
// ring's mean radius to express them in x = k r.
class RingModel {
 public:
  explicit RingModel(RingShape shape);

  size_t stations() const { return shape_.x.size(); }
  double radius() const { return radius_; }

  // The mean of J0(k r_j) over the ring's distances from the centre: the
  // SPAC coefficient's signal part, E[Re S_cj] / P averaged over j.
  double Spac(double k) const;
  // G0 = N^-2 sum_ab J0(k d_ab) = E|Z0|^2 / P and G1 = N^-2 sum_ab
  // J0(k d_ab) cos(theta_a - theta_b) = E|Z1|^2 / P, Z0 and Z1 the ring's
  // zeroth and first circular Fourier coefficients.
  double G0(double k) const;
  double G1(double k) const;
  // Re E[Z1(this) conj(Z1(inner))] / P for a second, inner ring.
  double CrossG1(const RingModel& inner, double k) const;

 private:
  RingShape shape_;
  double radius_ = 0;
  std::vector<double> distances_;  // from the centre
};

// The k r at which incoherent noise of ratio eps biases the ratio
// (J0^2 + eps/N) / (J1^2 + eps/N) as much as reading k r too large by the
// factor 1/0.9: the root of J0^2/J1^2 (x/0.9) = (J0^2 + e)/(J1^2 + e)(x),
// e = eps/N, in (0.001, 2): the resolution limit of a ring of N stations
// (the equation quillon solves in single precision; here in double). The
// longest wavelength the ring resolves is 2 pi r / x. NaN where no root.
double ResolutionLimitKr(double eps, int stations);

}  // namespace array

#endif  // CIRCARRAY_ARRAY_RING_MODELS_H_
