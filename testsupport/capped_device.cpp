#include "testsupport/capped_device.h"

#include <algorithm>

namespace testsupport {

CappedDevice::int_type CappedDevice::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

std::streamsize CappedDevice::xsputn(const char* s, std::streamsize n) {
  const size_t take = std::min(static_cast<size_t>(n), limit_ - count_);
  if (take < static_cast<size_t>(n)) refused_ = true;
  if (keep_ == Keep::kText) taken_.append(s, take);
  if (take > 0) last_ = s[take - 1];
  count_ += take;
  return static_cast<std::streamsize>(take);
}

}  // namespace testsupport
