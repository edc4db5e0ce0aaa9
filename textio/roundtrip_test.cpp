// Property tests: what the writers produce, the reader gives back bit for
// bit, and every field agrees with an independent formatting of the exact
// binary value (the C library's printf, which rounds correctly), on random
// values and on the values next to every power of ten, where the decimal
// exponent changes and a wrong exponent still reads back to the same
// double.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "textio/format.h"
#include "textio/free_reader.h"
#include "textio/output.h"

namespace textio {
namespace {

constexpr int kSamples = 200000;

// `special` values, then random bit patterns up to kSamples values: they
// cover every exponent, subnormals included. NaNs are left out.
template <typename T, typename Engine>
std::vector<T> Samples(Engine rng, std::vector<T> special) {
  using Bits = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
  std::vector<T> v = std::move(special);
  while (v.size() < kSamples) {
    const T x = std::bit_cast<T>(static_cast<Bits>(rng()));
    if (!std::isnan(x)) v.push_back(x);
  }
  return v;
}

std::vector<float> SampleFloats() {
  using Limits = std::numeric_limits<float>;
  return Samples<float>(std::mt19937(20261208), {0.0f, -0.0f, Limits::denorm_min(), -Limits::denorm_min(),
                                                 Limits::min(), Limits::max(), -Limits::max(), Limits::infinity(),
                                                 -Limits::infinity(), 0.1f, 1e9f, 999999999.0f, 0.099999994f});
}

std::vector<double> SampleDoubles() {
  using Limits = std::numeric_limits<double>;
  return Samples<double>(std::mt19937_64(1208), {0.0, -0.0, Limits::denorm_min(), Limits::min(), Limits::max(),
                                                 -Limits::infinity(), 0.1, 1e17, 99999999999999999.0, 1e-300});
}

template <typename T>
void ExpectRoundTrip(const std::vector<T>& values) {
  std::ostringstream os;
  {
    Output out(os);
    for (T v : values) FreeLine(out).Add(v).End();
    FreeLine(out).Add(std::numeric_limits<T>::quiet_NaN()).End();
    out.Flush();
  }
  std::istringstream in(os.str());
  FreeReader reader(in);
  for (T v : values) {
    T back = 0;
    ASSERT_TRUE(reader.Read({back}).ok());
    ASSERT_EQ(std::memcmp(&back, &v, sizeof v), 0) << "value " << v;
  }
  T nan = 0;
  ASSERT_TRUE(reader.Read({nan}).ok());
  EXPECT_TRUE(std::isnan(nan));
}

TEST(RoundTripTest, Float32FreeFormat) { ExpectRoundTrip(SampleFloats()); }

TEST(RoundTripTest, Float64FreeFormat) { ExpectRoundTrip(SampleDoubles()); }

// The exponent form of a field without its padding: "0.<digits>E+XX",
// or for a three-digit exponent "0.<digits>+XXX" (the letter gives way).
std::string ExponentField(double v, const std::string& digits, int exp) {
  char field[64];
  if (std::abs(exp) <= 99) {
    std::snprintf(field, sizeof field, "%s0.%sE%c%02d", std::signbit(v) ? "-" : "", digits.c_str(), exp < 0 ? '-' : '+',
                  std::abs(exp));
  } else {
    std::snprintf(field, sizeof field, "%s0.%s%c%03d", std::signbit(v) ? "-" : "", digits.c_str(), exp < 0 ? '-' : '+',
                  std::abs(exp));
  }
  return field;
}

// "(e15.7)" from printf's "%.6e": d.dddddde+XX becomes 0.ddddddd E+(XX+1).
std::string ReferenceE15_7(double v) {
  if (!std::isfinite(v) || v == 0) return E15_7(v);  // spelled out in the unit tests
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6e", std::fabs(v));
  std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 6);
  int exp = std::atoi(buf + 9) + 1;
  char out[64];
  std::snprintf(out, sizeof out, "%15s", ExponentField(v, digits, exp).c_str());
  return out;
}

// "(g20.8)": fixed with 8 significant digits in 16 columns plus 4 blanks
// when the value rounded to 8 digits lies in [0.1, 1e8), else E20.8.
std::string ReferenceG20_8(double v) {
  if (!std::isfinite(v) || v == 0) return G20_8(v);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.7e", std::fabs(v));
  int e = std::atoi(buf + 10);
  char out[64];
  if (e >= -1 && e < 8) {
    char fixed[64];
    std::snprintf(fixed, sizeof fixed, "%.*f", 7 - e, v);
    if (e == 7) std::strcat(fixed, ".");  // eight digits, none after the point
    std::snprintf(out, sizeof out, "%16s    ", fixed);
    return out;
  }
  std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 7);
  int exp = e + 1;
  std::snprintf(out, sizeof out, "%20s", ExponentField(v, digits, exp).c_str());
  return out;
}

std::string ReferenceF10_4(double v) {
  if (!std::isfinite(v)) return F10_4(v);
  char buf[512];
  int n = std::snprintf(buf, sizeof buf, "%.4f", v);
  if (n > 10) return std::string(10, '*');
  return std::string(10 - n, ' ') + buf;
}

// The free-format reals (1PG16.9E2 for 32 bits, 1PG25.17E3 for 64 bits)
// from printf's "%.*e" with sig - 1 decimals: fixed notation with sig
// significant digits in width - tail columns and tail blanks when the
// rounded value lies in [0.1, 10^sig), else d.ddd...E+xx in width columns.
std::string ReferenceFree(double v, int sig, int width, int tail, int exp_digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", sig - 1, std::fabs(v));
  const char* e_at = std::strchr(buf, 'e');
  const int e = std::atoi(e_at + 1);
  char out[128];
  if (e >= -1 && e < sig) {
    char fixed[64];
    std::snprintf(fixed, sizeof fixed, "%.*f", sig - 1 - e, v);
    if (e == sig - 1) std::strcat(fixed, ".");  // all digits before the point
    std::snprintf(out, sizeof out, "%*s%*s", width - tail, fixed, tail, "");
    return out;
  }
  const std::string mantissa(buf, static_cast<size_t>(e_at - buf));  // d.ddd...
  char exponent[16];
  if (std::abs(e) < (exp_digits == 2 ? 100 : 1000)) {
    std::snprintf(exponent, sizeof exponent, "E%c%0*d", e < 0 ? '-' : '+', exp_digits, std::abs(e));
  } else {
    std::snprintf(exponent, sizeof exponent, "%c%0*d", e < 0 ? '-' : '+', exp_digits + 1, std::abs(e));
  }
  std::snprintf(out, sizeof out, "%*s", width, ((std::signbit(v) ? "-" : "") + mantissa + exponent).c_str());
  return out;
}

// The nearest value to 10^k and `count` neighbours on each side, both signs.
template <typename T>
std::vector<T> AroundPowersOfTen(int lowest, int highest, int count) {
  std::vector<T> values;
  for (int k = lowest; k <= highest; ++k) {
    const std::string text = "1e" + std::to_string(k);
    T power;
    if constexpr (std::is_same_v<T, float>) {
      power = std::strtof(text.c_str(), nullptr);
    } else {
      power = std::strtod(text.c_str(), nullptr);
    }
    T below = power;
    T above = power;
    values.push_back(power);
    for (int i = 0; i < count; ++i) {
      below = std::nextafter(below, T(0));
      above = std::nextafter(above, std::numeric_limits<T>::infinity());
      values.push_back(below);
      values.push_back(above);
    }
  }
  const size_t positive = values.size();
  for (size_t i = 0; i < positive; ++i) values.push_back(-values[i]);
  return values;
}

TEST(RoundTripTest, FieldsAroundEveryPowerOfTenMatchAnIndependentFormatter) {
  const std::vector<double> doubles = AroundPowersOfTen<double>(-320, 308, 50);
  for (double v : doubles) {
    ASSERT_EQ(FreeReal(v), ReferenceFree(v, 17, 25, 5, 3)) << std::hexfloat << v;
    ASSERT_EQ(E15_7(v), ReferenceE15_7(v)) << std::hexfloat << v;
    ASSERT_EQ(G20_8(v), ReferenceG20_8(v)) << std::hexfloat << v;
    ASSERT_EQ(F10_4(v), ReferenceF10_4(v)) << std::hexfloat << v;
  }
  // 32-bit values from the smallest subnormal (about 1.4e-45) to the
  // largest float, and the same fields of them widened to 64 bits.
  for (float f : AroundPowersOfTen<float>(-45, 38, 50)) {
    if (f == 0) continue;  // 1e-46 and below round to zero; zero is spelled out in the unit tests
    ASSERT_EQ(FreeReal(f), ReferenceFree(f, 9, 16, 4, 2)) << std::hexfloat << f;
    ASSERT_EQ(FreeReal(static_cast<double>(f)), ReferenceFree(f, 17, 25, 5, 3)) << std::hexfloat << f;
    ASSERT_EQ(E15_7(f), ReferenceE15_7(f)) << std::hexfloat << f;
    ASSERT_EQ(G20_8(f), ReferenceG20_8(f)) << std::hexfloat << f;
  }
}

TEST(RoundTripTest, FixedFieldsMatchAnIndependentFormatter) {
  std::vector<double> values;
  for (float f : SampleFloats()) values.push_back(f);
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-12, 12);
  for (int i = 0; i < kSamples; ++i) values.push_back(mantissa(rng) * std::pow(10.0, exponent(rng)));
  for (double v : SampleDoubles()) values.push_back(v);
  for (double v : values) {
    ASSERT_EQ(E15_7(v), ReferenceE15_7(v)) << v;
    ASSERT_EQ(G20_8(v), ReferenceG20_8(v)) << v;
    ASSERT_EQ(F10_4(v), ReferenceF10_4(v)) << v;
  }
}

}  // namespace
}  // namespace textio
