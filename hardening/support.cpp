#include "hardening/support.h"

#include <sstream>

namespace hardening {

LimitedDevice::int_type LimitedDevice::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

std::streamsize LimitedDevice::xsputn(const char* s, std::streamsize n) {
  const size_t room = limit_ - taken_.size();
  const size_t take = static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room;
  taken_.append(s, take);
  return static_cast<std::streamsize>(take);
}

Outcome RunOn(const Program& program, const std::string& input, size_t limit) {
  std::istringstream in(input);
  LimitedDevice device(limit);
  std::ostream out(&device);
  std::ostringstream err;
  Outcome o;
  o.status = program(in, out, err);
  o.out = device.taken();
  o.err = err.str();
  return o;
}

}  // namespace hardening
