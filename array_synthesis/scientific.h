#ifndef CIRCARRAY_ARRAY_SYNTHESIS_SCIENTIFIC_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_SCIENTIFIC_H_

#include <string>

namespace circsim {

inline constexpr int kMaxDigits = 17;

// Appends v in scientific notation with `digits` significant digits
// (1..17), correctly rounded from the binary value, as C's "% .{digits-1}e"
// writes it: a blank in place of the sign of a non-negative value, so
// that columns line up, e.g. " 1.23456789e-01", "-4.50000000e+02".
void AppendScientific(std::string* out, double v, int digits);

// The shortest text that reads back as v ("0.01", "1e-05"), for messages.
std::string ShortestReal(double v);

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_SCIENTIFIC_H_
