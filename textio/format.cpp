#include "textio/format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <type_traits>

namespace textio {

namespace {

// The first `sig` significant decimal digits of |v| (correctly rounded,
// ties to even) and the decimal exponent e with |v| ~ d.ddd x 10^e.
// v must be finite and nonzero.
struct Decimal {
  char digits[24];
  int exponent;
};

__extension__ typedef unsigned __int128 Uint128;

// 5^0 .. 5^27: the largest power whose product with a 53-bit significand
// still fits 128 bits with room to spare.
constexpr int kMaxExactPower = 27;
constexpr std::array<uint64_t, kMaxExactPower + 1> MakePowersOf5() {
  std::array<uint64_t, kMaxExactPower + 1> p{};
  p[0] = 1;
  for (int i = 1; i <= kMaxExactPower; ++i) p[i] = p[i - 1] * 5;
  return p;
}
constexpr std::array<uint64_t, kMaxExactPower + 1> kPowersOf5 = MakePowersOf5();

constexpr std::array<uint64_t, 19> MakePowersOf10() {
  std::array<uint64_t, 19> p{};
  p[0] = 1;
  for (int i = 1; i < 19; ++i) p[i] = p[i - 1] * 10;
  return p;
}
constexpr std::array<uint64_t, 19> kPowersOf10 = MakePowersOf10();

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the last `count` decimal digits of v so that they end at `end`.
void PutDigits(char* end, uint32_t v, int count) {
  for (; count >= 2; count -= 2) {
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * (v % 100), 2);
    v /= 100;
  }
  if (count == 1) end[-1] = static_cast<char>('0' + v % 10);
}

// Writes v < 10^8 as exactly eight digits. The four pairs do not depend on
// one another, so the processor works on them side by side instead of
// waiting on a chain of divisions.
void PutEightDigits(char* p, uint32_t v) {
  const uint32_t hi = v / 10000;
  const uint32_t lo = v % 10000;
  std::memcpy(p, kDigitPairs + 2 * (hi / 100), 2);
  std::memcpy(p + 2, kDigitPairs + 2 * (hi % 100), 2);
  std::memcpy(p + 4, kDigitPairs + 2 * (lo / 100), 2);
  std::memcpy(p + 6, kDigitPairs + 2 * (lo % 100), 2);
}

// Writes the `sig` digits of n < 10^sig.
void PutSignificand(char* p, uint64_t n, int sig) {
  if (sig == 17) {
    const uint64_t hi = n / 100000000;  // nine digits
    p[0] = static_cast<char>('0' + hi / 100000000);
    PutEightDigits(p + 1, static_cast<uint32_t>(hi % 100000000));
    PutEightDigits(p + 9, static_cast<uint32_t>(n % 100000000));
  } else if (sig == 9) {
    p[0] = static_cast<char>('0' + n / 100000000);
    PutEightDigits(p + 1, static_cast<uint32_t>(n % 100000000));
  } else if (sig == 8) {
    PutEightDigits(p, static_cast<uint32_t>(n));
  } else if (sig > 8) {
    PutDigits(p + sig, static_cast<uint32_t>(n % 100000000), 8);
    PutDigits(p + sig - 8, static_cast<uint32_t>(n / 100000000), sig - 8);
  } else {
    PutDigits(p + sig, static_cast<uint32_t>(n), sig);
  }
}

// The fast path of ToDecimal, in exact integer arithmetic: with
// |v| = m 2^e2, the digits are round(|v| 10^p) = round(m 5^p 2^(p+e2)) for
// p = sig - 1 - exponent, which 128 bits hold exactly for the magnitudes
// met in practice (about 1e-11 to 1e16 at 17 digits). The exponent is
// decided on the exact value, before rounding; rounding is then to
// nearest, ties to even, as the library conversion does, and a carry into
// a new decade moves the exponent up. Returns false where the value lies
// outside that range, leaving the work to the library; the general
// conversion there is several times slower, and files of millions of
// 17-digit values spend most of their time in it.
bool ToDecimalExact(double v, int sig, Decimal* d) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  if (biased == 0 || sig > 18) return false;  // subnormal
  const uint64_t m = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const int e2 = biased - 1075;  // |v| = m 2^e2, 2^52 <= m < 2^53

  // floor(log10(2^(e2 + 52))) is the exponent or one less; a comparison
  // with the double nearest the next power of ten makes a first guess that
  // is nearly always right. It is only a guess: that double may lie below
  // the true power (those of 1e-6 and 1e-7 do), and the exact test below
  // decides.
  static constexpr double kPowers[] = {
      1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15,
      1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,
      1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,
      1e18,  1e19,  1e20,  1e21,  1e22,  1e23,  1e24,  1e25,  1e26,  1e27,  1e28,  1e29,  1e30};
  constexpr int kLowest = -30;
  int exponent = ((e2 + 52) * 78913) >> 18;
  if (const int next = exponent + 1 - kLowest;
      next >= 0 && next < static_cast<int>(std::size(kPowers)) && std::fabs(v) >= kPowers[next]) {
    ++exponent;
  }
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int p = sig - 1 - exponent;
    if (p < 0 || p > kMaxExactPower) return false;
    const Uint128 scaled = static_cast<Uint128>(m) * kPowersOf5[p];  // < 2^116
    const int shift = p + e2;
    // x = |v| 10^p exactly, as its integer part n and whether rounding to
    // nearest (ties to even) adds one.
    Uint128 n = 0;
    bool round_up = false;
    if (shift >= 0) {
      if (shift > 11) return false;
      n = scaled << shift;
    } else {
      const int r = -shift;
      if (r > 120) return false;
      n = scaled >> r;
      const Uint128 rest = scaled - (n << r);
      const Uint128 half = static_cast<Uint128>(1) << (r - 1);
      round_up = rest > half || (rest == half && (n & 1) != 0);
    }
    // The exponent is right when 10^(sig-1) <= x < 10^sig. The bounds are
    // integers, so the integer part of x settles both comparisons exactly.
    // Testing the rounded value instead would give an x just below
    // 10^(sig-1), which rounds up to it, this exponent and the digits
    // 1000..., where the right answer is 999...9x one decade lower.
    if (n >= kPowersOf10[sig]) {
      ++exponent;
      continue;
    }
    if (n < kPowersOf10[sig - 1]) {
      --exponent;
      continue;
    }
    if (round_up && ++n == kPowersOf10[sig]) {
      // x rounds up to 10^sig: the digits are 1000... one decade higher.
      n = kPowersOf10[sig - 1];
      ++exponent;
    }
    // Digits from 32-bit pieces, two at a time: a chain of 17 64-bit
    // divisions by 10 would cost as much as all the rest.
    PutSignificand(d->digits, static_cast<uint64_t>(n), sig);
    d->exponent = exponent;
    return true;
  }
  return false;
}

Decimal ToDecimal(double v, int sig) {
  Decimal d{};  // the one return object, built in the caller's storage
  if (ToDecimalExact(v, sig, &d)) return d;
  char buf[48];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, sig - 1);
  int n = 0;
  const char* p = buf;
  for (; p < res.ptr && *p != 'e'; ++p) {
    if (*p != '.') d.digits[n++] = *p;
  }
  // p points at 'e'; the exponent follows with its sign.
  int exp = 0;
  std::from_chars(p + (p[1] == '+' ? 2 : 1), res.ptr, exp);
  d.exponent = exp;
  return d;
}

// Right-aligns text in `width` columns and adds `tail` blanks after it, in
// one resize: fields are written by the million.
void AppendPadded(std::string* out, const char* text, size_t len, size_t width, size_t tail = 0) {
  const size_t pad = len < width ? width - len : 0;
  const size_t at = out->size();
  out->append(pad + len + tail, ' ');
  std::memcpy(out->data() + at + pad, text, len);
}

// Infinity, -Infinity or NaN right-aligned in `width` columns.
void AppendNonFinite(std::string* out, double v, size_t width) {
  const char* text = std::isnan(v) ? "NaN" : (v < 0 ? "-Infinity" : "Infinity");
  AppendPadded(out, text, std::strlen(text), width);
}

// Writes an exponent: "E+xx" while it fits `digits` digits, else the
// classic fallback of a sign and one more digit without the letter.
char* PutExponent(char* p, int exp, int digits) {
  int mag = exp < 0 ? -exp : exp;
  int limit = 1;
  for (int i = 0; i < digits; ++i) limit *= 10;
  if (mag < limit) {
    *p++ = 'E';
  } else {
    ++digits;
  }
  *p++ = exp < 0 ? '-' : '+';
  for (int i = digits - 1; i >= 0; --i) {
    p[i] = static_cast<char>('0' + mag % 10);
    mag /= 10;
  }
  return p + digits;
}

// Fixed notation of `sig` rounded digits with exponent e (-1 <= e < sig):
// e + 1 digits before the point ("0" when e is -1), the rest after it.
char* PutFixed(char* p, const Decimal& d, int sig) {
  if (d.exponent < 0) {
    *p++ = '0';
    *p++ = '.';
    std::memcpy(p, d.digits, sig);
    return p + sig;
  }
  int before = d.exponent + 1;
  std::memcpy(p, d.digits, before);
  p += before;
  *p++ = '.';
  std::memcpy(p, d.digits + before, sig - before);
  return p + sig - before;
}

// General editing shared by the free-format reals (scale factor 1P: one
// digit before the point in the exponent form) and "(g20.8)" (no scale
// factor: 0.ddd in the exponent form).
struct GStyle {
  int sig;            // significant digits
  int width;          // field width
  int tail;           // trailing blanks of the fixed form
  int exp_digits;     // exponent digits
  bool scale_one;     // 1P in force
  int zero_decimals;  // decimals shown for a zero
};

void AppendG(std::string* out, double v, const GStyle& s) {
  if (!std::isfinite(v)) return AppendNonFinite(out, v, s.width);
  char buf[64];
  char* p = buf;
  if (std::signbit(v)) *p++ = '-';
  if (v == 0) {
    *p++ = '0';
    *p++ = '.';
    std::memset(p, '0', s.zero_decimals);
    p += s.zero_decimals;
    AppendPadded(out, buf, p - buf, s.width - s.tail, s.tail);
    return;
  }
  Decimal d = ToDecimal(v, s.sig);
  if (d.exponent >= -1 && d.exponent < s.sig) {
    p = PutFixed(p, d, s.sig);
    AppendPadded(out, buf, p - buf, s.width - s.tail, s.tail);
    return;
  }
  if (s.scale_one) {
    *p++ = d.digits[0];
    *p++ = '.';
    std::memcpy(p, d.digits + 1, s.sig - 1);
    p += s.sig - 1;
    p = PutExponent(p, d.exponent, s.exp_digits);
  } else {
    *p++ = '0';
    *p++ = '.';
    std::memcpy(p, d.digits, s.sig);
    p += s.sig;
    p = PutExponent(p, d.exponent + 1, s.exp_digits);
  }
  AppendPadded(out, buf, p - buf, s.width);
}

constexpr GStyle kFree32{9, 16, 4, 2, true, 8};
constexpr GStyle kFree64{17, 25, 5, 3, true, 16};
constexpr GStyle kG20_8{8, 20, 4, 2, false, 7};

void AppendInt(std::string* out, int32_t v, size_t width) {
  char buf[16];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  size_t len = res.ptr - buf;
  if (len > width) {
    out->append(width, '*');
  } else {
    AppendPadded(out, buf, len, width);
  }
}

}  // namespace

void AppendFreeReal(std::string* out, float v) { AppendG(out, v, kFree32); }
void AppendFreeReal(std::string* out, double v) { AppendG(out, v, kFree64); }
void AppendFreeInt(std::string* out, int32_t v) { AppendInt(out, v, 11); }
void AppendReal(std::string* out, double v, int digits) {
  const int sig = digits < 1 ? 1 : (digits > kMaxSignificantDigits ? kMaxSignificantDigits : digits);
  const bool wide = sig > 9;
  const GStyle style{sig, sig + (wide ? 8 : 7), wide ? 5 : 4, wide ? 3 : 2, true, sig - 1};
  AppendG(out, v, style);
}
void AppendG20_8(std::string* out, double v) { AppendG(out, v, kG20_8); }
void AppendI5(std::string* out, int32_t v) { AppendInt(out, v, 5); }

void AppendE15_7(std::string* out, double v) {
  constexpr int kWidth = 15;
  constexpr int kSig = 7;
  if (!std::isfinite(v)) return AppendNonFinite(out, v, kWidth);
  char buf[32];
  char* p = buf;
  if (std::signbit(v)) *p++ = '-';
  *p++ = '0';
  *p++ = '.';
  if (v == 0) {
    std::memset(p, '0', kSig);
    p = PutExponent(p + kSig, 0, 2);
  } else {
    Decimal d = ToDecimal(v, kSig);
    std::memcpy(p, d.digits, kSig);
    p = PutExponent(p + kSig, d.exponent + 1, 2);
  }
  AppendPadded(out, buf, p - buf, kWidth);
}

void AppendF10_4(std::string* out, double v) {
  constexpr size_t kWidth = 10;
  if (!std::isfinite(v)) return AppendNonFinite(out, v, kWidth);
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
  size_t len = res.ptr - buf;
  if (res.ec != std::errc() || len > kWidth) {
    out->append(kWidth, '*');
  } else {
    AppendPadded(out, buf, len, kWidth);
  }
}

// std::to_chars rounds the exact binary value correctly (ties to even),
// as glibc's printf does, and is several times faster.
void AppendScientific(std::string* out, double v, int digits) {
  char buf[40];
  char* p = buf;
  if (!std::signbit(v)) *p++ = ' ';
  const std::to_chars_result r = std::to_chars(p, buf + sizeof buf, v, std::chars_format::scientific, digits - 1);
  out->append(buf, r.ptr);
}

void AppendShortest(std::string* out, double v) {
  char buf[40];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v);
  out->append(buf, r.ptr);
}

namespace {

// The one field that `append` writes, as a string of its own.
template <typename... Args>
std::string Field(void (*append)(std::string*, std::type_identity_t<Args>...), Args... args) {
  std::string s;
  append(&s, args...);
  return s;
}

}  // namespace

std::string E15_7(double v) { return Field(AppendE15_7, v); }
std::string G20_8(double v) { return Field(AppendG20_8, v); }
std::string F10_4(double v) { return Field(AppendF10_4, v); }
std::string I5(int32_t v) { return Field(AppendI5, v); }
std::string FreeReal(float v) { return Field(AppendFreeReal, v); }
std::string FreeReal(double v) { return Field(AppendFreeReal, v); }
std::string Real(double v, int digits) { return Field(AppendReal, v, digits); }
std::string Scientific(double v, int digits) { return Field(AppendScientific, v, digits); }
std::string Shortest(double v) { return Field(AppendShortest, v); }

}  // namespace textio
