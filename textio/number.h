#ifndef CIRCARRAY_TEXTIO_NUMBER_H_
#define CIRCARRAY_TEXTIO_NUMBER_H_

#include <cstdint>
#include <string_view>

namespace textio {

// Conversions of one free-format token to a number. Each returns false,
// leaving *out unchanged, when the token is not a number of that kind.
//
// Reals: optional sign, digits with an optional point ("5.", ".5"), an
// optional exponent written with e, E, d or D, or a bare sign ("1.5+3" is
// 1500); also Inf, Infinity and NaN in any case. The text is converted
// straight to the target type, correctly rounded: a float never passes
// through double. Magnitudes beyond the type's range become infinities,
// magnitudes below its smallest subnormal become signed zeros.
bool ParseFloat(std::string_view token, float* out);
bool ParseDouble(std::string_view token, double* out);

// Integers: an optional sign and decimal digits, within 32 bits.
bool ParseInt32(std::string_view token, int32_t* out);

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_NUMBER_H_
