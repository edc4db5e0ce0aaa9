#include "textio/printable.h"

namespace textio {

std::string Printable(std::string_view token) {
  constexpr size_t kMaxShown = 64;
  constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  for (size_t i = 0; i < token.size() && i < kMaxShown; ++i) {
    const auto c = static_cast<unsigned char>(token[i]);
    if (c < 0x20 || c == 0x7f) {
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 15];
    } else {
      shown += static_cast<char>(c);
    }
  }
  if (token.size() > kMaxShown) shown += "...";
  return shown;
}

}  // namespace textio
