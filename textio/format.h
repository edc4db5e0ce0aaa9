#ifndef CIRCARRAY_TEXTIO_FORMAT_H_
#define CIRCARRAY_TEXTIO_FORMAT_H_

#include <cstdint>
#include <string>

namespace textio {

// Field formatters. Each appends one field to *out and rounds the exact
// binary value of its argument correctly to the digits shown. A float
// argument is widened to double exactly, so the double versions serve
// both widths.

// The most significant digits a formatter shows: 17 tell every double
// apart.
inline constexpr int kMaxSignificantDigits = 17;

// Free-format (list-directed) items.
// 32-bit real as 1PG16.9E2: fixed notation with 4 trailing blanks when
// 0.1 <= |v| < 1e9 after rounding to 9 digits, else d.ddddddddE+xx.
void AppendFreeReal(std::string* out, float v);
// 64-bit real as 1PG25.17E3: fixed with 5 trailing blanks when
// 0.1 <= |v| < 1e17 after rounding to 17 digits, else d.ddd...dE+xxx.
void AppendFreeReal(std::string* out, double v);
// 32-bit integer right-aligned in 11 columns.
void AppendFreeInt(std::string* out, int32_t v);
// A real with `digits` significant digits (clamped to 1 to
// kMaxSignificantDigits), laid out like the free-format reals: the suite's
// column files. Up to 9 digits as the 32-bit item
// (width digits + 7, fixed notation with 4 trailing blanks, E+xx), more as
// the 64-bit item (width digits + 8, 5 trailing blanks, E+xxx). So 9 digits
// give exactly the 32-bit item's field and 17 the 64-bit item's.
void AppendReal(std::string* out, double v, int digits);

// "(e15.7)": 0.dddddddE+xx right-aligned in 15 columns.
void AppendE15_7(std::string* out, double v);
// "(g20.8)": fixed 8 digits in 16 columns plus 4 blanks for
// 0.1 <= |v| < 1e8 (and zero), else 0.ddddddddE+xx in 20 columns.
void AppendG20_8(std::string* out, double v);
// "(f10.4)": fixed point with 4 decimals in 10 columns, or 10 asterisks.
void AppendF10_4(std::string* out, double v);
// "(i5)": right-aligned in 5 columns, or 5 asterisks.
void AppendI5(std::string* out, int32_t v);

// Scientific notation as C's printf("% .{digits-1}e") writes it, for the
// tables of the array tools: `digits` significant digits
// (1 to kMaxSignificantDigits), at least two exponent digits, and a blank in
// place of the sign of a non-negative value so that columns line up
// (" 1.23456789e-01", "-4.50000000e+02"; " inf", "-inf", " nan").
void AppendScientific(std::string* out, double v, int digits);
// The shortest text that reads back as exactly v ("0.01", "20.48",
// "1e-05", "1800"), for messages and header lines.
void AppendShortest(std::string* out, double v);

// Convenience wrappers returning the field alone (used by tests and for
// building fixed-width text buffers).
std::string E15_7(double v);
std::string G20_8(double v);
std::string F10_4(double v);
std::string I5(int32_t v);
std::string FreeReal(float v);
std::string FreeReal(double v);
std::string Scientific(double v, int digits);
std::string Shortest(double v);
std::string Real(double v, int digits);

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_FORMAT_H_
