#ifndef CIRCARRAY_SPECTRAL_NOISE_CLOSED_FORM_EPSILON_H_
#define CIRCARRAY_SPECTRAL_NOISE_CLOSED_FORM_EPSILON_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace hollin {

// Values per data record: groups of (abscissa, real part, imaginary part,
// fourth value), 7 groups in mode 1 and 15 in mode 2.
inline constexpr size_t kMode1Values = 28;
inline constexpr size_t kMode2Values = 60;

// The noise-to-signal ratio epsilon of one record, or nothing when the
// record is invalid: a divisor among its spectral values is zero, or the
// denominator of the closed form is zero. The result may be zero, negative
// or NaN; whether it is worth writing is the caller's rule.
//
// Mode 1 (centre station and one ring, 7 values G0..G6): with the ratios
// A = G4/G0, B = G6/G3, K = G5/G1, D = G2/G1, epsilon solves
//   A.B = (1 + eps)(D(A + B) - K) + 2 eps / nsta.
// `a` holds 28 values.
std::optional<float> Mode1Epsilon(std::span<const float> a, int32_t nsta);

// Mode 2 (15 values G0..G14): with
//   P = G2/G1 + G11/G1, Q = (G5/G1 + 2 G8/G7) + G14/G1,
//   S = G12/G9 + G4/G0,  R = G6/G3 + G13/G10,
// epsilon solves S.R = (1 + eps)(P(S + R) - Q) + 4 eps / nsta.
// `a` holds 60 values.
std::optional<float> Mode2Epsilon(std::span<const float> a, int32_t nsta);

}  // namespace hollin

#endif  // CIRCARRAY_SPECTRAL_NOISE_CLOSED_FORM_EPSILON_H_
