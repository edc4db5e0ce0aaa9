#ifndef CIRCARRAY_ARRAY_SPECTRA_NUMBER_TEXT_H_
#define CIRCARRAY_ARRAY_SPECTRA_NUMBER_TEXT_H_

#include <cstdint>
#include <string>

namespace circspec {

// Number fields that textio's free-format writers do not offer, built on
// std::to_chars (exact binary-to-decimal rounding).

// v in scientific notation with `digits` significant digits (1..17), as
// C's "% .{digits-1}e" writes it: a blank in place of the sign of a
// non-negative value, so that table columns line up (" 1.2345678e-01",
// "-4.5000000e+02"); non-finite values as " nan", " inf", "-inf".
void AppendScientific(std::string* out, double v, int digits);

// The shortest text that reads back as v ("0.01", "20.48", "1e-05"), for
// messages and header lines.
std::string ShortestText(double v);

// An integer in decimal.
std::string IntegerText(int64_t v);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_NUMBER_TEXT_H_
