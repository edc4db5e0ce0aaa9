#include "textio/require.h"

#include "textio/printable.h"

namespace textio {

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

void Require(const ReadResult& r, std::string_view what) {
  if (!r.ok()) throw InputError(DescribeFailure(r, what));
}

std::string DescribeDataEnd(const ReadResult& r, std::string_view source, int64_t count, std::string_view counted) {
  return std::string(source) + " line " + std::to_string(r.line) + ": data end at unreadable value '" +
         Printable(r.text) + "' (" + std::to_string(count) + " " + std::string(counted) + ")";
}

}  // namespace textio
