#include "textio/number.h"

#include <charconv>
#include <limits>
#include <string>
#include <system_error>
#include <type_traits>

namespace textio {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != b[i]) return false;
  }
  return true;
}

// The shape of a decimal real, checked before conversion and rewritten to
// the spelling std::from_chars accepts ("-1.5e+3").
struct Normalized {
  std::string text;
  bool negative = false;
  bool all_zero_digits = true;  // the mantissa is zero
  long exponent_hint = 0;       // rough decimal exponent of the value
};

bool Normalize(std::string_view s, Normalized* n) {
  size_t i = 0;
  std::string& t = n->text;
  t.clear();
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    n->negative = s[i] == '-';
    if (n->negative) t.push_back('-');
    ++i;
  }
  size_t digits = 0;
  long int_digits = 0;  // significant digits before the point
  long leading_frac_zeros = 0;
  bool seen_point = false;
  bool seen_nonzero = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (IsDigit(c)) {
      ++digits;
      if (c != '0') {
        seen_nonzero = true;
        n->all_zero_digits = false;
      }
      if (!seen_point && seen_nonzero) ++int_digits;
      if (seen_point && !seen_nonzero) ++leading_frac_zeros;
      t.push_back(c);
    } else if (c == '.' && !seen_point) {
      seen_point = true;
      t.push_back('.');
    } else {
      break;
    }
  }
  if (digits == 0) return false;

  long exponent = 0;
  if (i < s.size()) {
    char c = Lower(s[i]);
    if (c == 'e' || c == 'd') {
      ++i;
      if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    } else if (c == '+' || c == '-') {
      ++i;  // a bare sign introduces the exponent: "1.5+3"
    } else {
      return false;
    }
    size_t sign_pos = i - 1;
    bool exp_negative = s[sign_pos] == '-';
    size_t exp_start = i;
    for (; i < s.size(); ++i) {
      if (!IsDigit(s[i])) return false;
      if (exponent < 100000000) exponent = exponent * 10 + (s[i] - '0');
    }
    if (i == exp_start) return false;  // "1.0e", "1.0e+"
    if (exp_negative) exponent = -exponent;
    t.push_back('e');
    t.append(std::to_string(exponent));
  }
  n->exponent_hint = exponent + (int_digits > 0 ? int_digits : -leading_frac_zeros);
  return true;
}

// The quickest path for the usual data value: [sign] digits [. digits]
// [e|E [sign] digits], at most 19 digits and a mantissa below 2^53, with a
// decimal scale within 10^±22. Mantissa and power of ten are then exact
// doubles, and one multiplication or division rounds the value correctly
// (Clinger's fast path). Returns false, touching nothing, for any other
// token, which the general path below then decides. Column files of
// millions of values spend most of their reading time converting them.
bool ParseShortDouble(std::string_view s, double* out) {
  static constexpr double kPowersOf10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                           1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  uint64_t mantissa = 0;
  int digits = 0;
  int scale = 0;  // decimal exponent of the last digit
  bool seen_point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (IsDigit(c)) {
      if (++digits > 19) return false;
      mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
      if (seen_point) --scale;
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < s.size()) {
    if (s[i] != 'e' && s[i] != 'E') return false;
    ++i;
    bool exp_negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) exp_negative = s[i++] == '-';
    if (i == s.size()) return false;
    int exponent = 0;
    for (; i < s.size(); ++i) {
      if (!IsDigit(s[i]) || exponent > 1000) return false;
      exponent = exponent * 10 + (s[i] - '0');
    }
    scale += exp_negative ? -exponent : exponent;
  }
  if (mantissa > (uint64_t{1} << 53) || scale < -22 || scale > 22) return false;
  double value = static_cast<double>(mantissa);
  value = scale < 0 ? value / kPowersOf10[-scale] : value * kPowersOf10[scale];
  *out = negative ? -value : value;
  return true;
}

template <typename T>
bool ParseReal(std::string_view s, T* out) {
  if (s.empty()) return false;
  // Non-finite spellings.
  std::string_view body = s;
  bool negative = false;
  if (body[0] == '+' || body[0] == '-') {
    negative = body[0] == '-';
    body.remove_prefix(1);
  }
  if (!body.empty() && !IsDigit(body[0]) && body[0] != '.') {
    if (EqualsIgnoreCase(body, "inf") || EqualsIgnoreCase(body, "infinity")) {
      *out = negative ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::infinity();
      return true;
    }
    if (EqualsIgnoreCase(body, "nan")) {
      *out = std::numeric_limits<T>::quiet_NaN();
      return true;
    }
    return false;
  }

  if constexpr (std::is_same_v<T, double>) {
    if (ParseShortDouble(s, out)) return true;
  }

  // Fast path: the common spelling that std::from_chars takes as it stands.
  if (s[0] != '+') {
    T value{};
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec == std::errc() && ptr == s.data() + s.size()) {
      *out = value;
      return true;
    }
  }

  Normalized n;
  if (!Normalize(s, &n)) return false;
  T value{};
  const char* first = n.text.data();
  const char* last = first + n.text.size();
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Overflow gives an infinity, underflow a zero, each with its sign.
    T magnitude = (n.all_zero_digits || n.exponent_hint <= 0) ? T(0) : std::numeric_limits<T>::infinity();
    value = n.negative ? -magnitude : magnitude;
  } else if (ec != std::errc() || ptr != last) {
    return false;
  }
  *out = value;
  return true;
}

}  // namespace

bool ParseFloat(std::string_view token, float* out) { return ParseReal(token, out); }

bool ParseDouble(std::string_view token, double* out) { return ParseReal(token, out); }

bool ParseInt32(std::string_view token, int32_t* out) {
  size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
    negative = token[i] == '-';
    ++i;
  }
  if (i == token.size()) return false;
  int64_t value = 0;
  for (; i < token.size(); ++i) {
    if (!IsDigit(token[i])) return false;
    value = value * 10 + (token[i] - '0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return false;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) return false;
  *out = static_cast<int32_t>(value);
  return true;
}

}  // namespace textio
