#include "array_synthesis/scientific.h"

#include <charconv>
#include <cmath>

namespace circsim {

void AppendScientific(std::string* out, double v, int digits) {
  char buf[40];
  char* p = buf;
  if (!std::signbit(v)) *p++ = ' ';
  const std::to_chars_result r = std::to_chars(p, buf + sizeof buf, v, std::chars_format::scientific, digits - 1);
  out->append(buf, r.ptr);
}

std::string ShortestReal(double v) {
  char buf[40];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace circsim
