#include "textio/errors.h"

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

std::string DescribeFailure(const ReadResult& r, std::string_view what) {
  std::string msg;
  if (r.status == ReadStatus::kEnd) {
    msg = "input ended";
    if (r.line > 0) msg += " after line " + std::to_string(r.line);
    msg += " while reading ";
    msg += what;
  } else {
    msg = "line " + std::to_string(r.line) + ": cannot read ";
    msg += what;
    msg += ": unreadable value '" + Printable(r.text) + "'";
  }
  return msg;
}

std::string OpenFailure(std::string_view file_name) {
  return "cannot open the input file \"" + std::string(file_name) + "\"";
}

std::string CreateFailure(std::string_view file_name) {
  return "cannot create the output file \"" + std::string(file_name) + "\"";
}

std::string WriteFailure(std::string_view file_name) {
  if (file_name.empty()) return "cannot write output: write failed";
  return "cannot write the output file \"" + std::string(file_name) + "\"";
}

std::string DescribeDataEnd(const ReadResult& r, std::string_view source, int64_t count, std::string_view counted) {
  return std::string(source) + " line " + std::to_string(r.line) + ": data end at unreadable value '" +
         Printable(r.text) + "' (" + std::to_string(count) + " " + std::string(counted) + ")";
}

void Require(const ReadResult& r, std::string_view what) {
  if (!r.ok()) throw InputError(DescribeFailure(r, what));
}

}  // namespace textio
