#include "array_spectra/number_text.h"

#include <charconv>
#include <cmath>

namespace circspec {

void AppendScientific(std::string* out, double v, int digits) {
  char buf[48];
  char* p = buf;
  if (!std::signbit(v)) *p++ = ' ';
  const auto r = std::to_chars(p, buf + sizeof buf, v, std::chars_format::scientific, digits - 1);
  out->append(buf, r.ptr);
}

std::string ShortestText(double v) {
  char buf[48];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string IntegerText(int64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace circspec
