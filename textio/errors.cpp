#include "textio/errors.h"

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
    msg += ": unreadable value '" + r.text + "'";
  }
  return msg;
}

void Require(const ReadResult& r, std::string_view what) {
  if (!r.ok()) throw InputError(DescribeFailure(r, what));
}

}  // namespace textio
