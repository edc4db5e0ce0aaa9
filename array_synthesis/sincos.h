#ifndef CIRCARRAY_ARRAY_SYNTHESIS_SINCOS_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_SINCOS_H_

#include <cmath>
#include <cstdint>

namespace circsim {

// sin and cos of one angle, for the plane-wave phases of the synthesis,
// which are evaluated a billion times for a day-long record. Inline,
// branch-free in the common case and independent of the C library, whose
// choice of FMA or non-FMA code by processor would otherwise change the
// last bits of the records between machines. Within about 1 ulp of the
// exact values.
//
// The argument is reduced to r in [-pi/4, pi/4] by x - q pi/2 with pi/2
// split in two parts (the first with 33 significant bits, so q * part is
// exact for |q| < 2^20), then the fdlibm minimax polynomials for sin and
// cos on [-pi/4, pi/4] are evaluated; the quadrant q mod 4 swaps and
// negates them. Arguments beyond 2^19 pi/2 (never reached here) go to the
// C library.
struct SinCosValue {
  double sin, cos;
};

inline SinCosValue SinCos(double x) {
  constexpr double kTwoOverPi = 6.36619772367581382433e-01;
  constexpr double kPio2Hi = 1.57079632673412561417e+00;              // first 33 bits of pi/2
  constexpr double kPio2Lo = 6.07710050650619224932e-11;              // pi/2 - kPio2Hi
  constexpr double kRoundShift = 0x1.8p52;                            // adds and subtracts to round to nearest
  if (!(std::fabs(x) < 823550.0)) return {std::sin(x), std::cos(x)};  // about 2^19 pi/2

  const double q = (x * kTwoOverPi + kRoundShift) - kRoundShift;
  const double r = (x - q * kPio2Hi) - q * kPio2Lo;
  const double z = r * r;

  // fdlibm __kernel_sin and __kernel_cos (with no tail).
  constexpr double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03, S3 = -1.98412698298579493134e-04,
                   S4 = 2.75573137070700676789e-06, S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
  constexpr double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03, C3 = 2.48015872894767294178e-05,
                   C4 = -2.75573143513906633035e-07, C5 = 2.08757232129817482790e-09, C6 = -1.13596475577881948265e-11;
  const double sp = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
  const double s = r + (z * r) * (S1 + z * sp);
  const double cp = z * (C1 + z * (C2 + z * (C3 + z * (C4 + z * (C5 + z * C6)))));
  const double hz = 0.5 * z;
  const double w = 1.0 - hz;
  const double c = w + (((1.0 - w) - hz) + z * cp);

  // Quadrant q mod 4: sin = s, c, -s, -c and cos = c, -s, -c, s. Chosen
  // without branches: the quadrants of random phases defeat prediction.
  const auto quadrant = static_cast<uint64_t>(static_cast<int64_t>(q));
  const double values[2] = {s, c};
  const double sin_sign = 1.0 - 2.0 * static_cast<double>((quadrant >> 1) & 1);
  const double cos_sign = 1.0 - 2.0 * static_cast<double>(((quadrant + 1) >> 1) & 1);
  return {values[quadrant & 1] * sin_sign, values[(quadrant & 1) ^ 1] * cos_sign};
}

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_SINCOS_H_
