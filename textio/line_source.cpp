#include "textio/line_source.h"

#include <cstring>

namespace textio {

namespace {
constexpr size_t kChunk = 1 << 16;
}

LineSource::LineSource(std::istream& in) : buf_(in.rdbuf()), data_(kChunk) {}

bool LineSource::Refill() {
  if (eof_ || buf_ == nullptr) return false;
  begin_ = 0;
  end_ = 0;
  std::streamsize got = buf_->sgetn(data_.data(), static_cast<std::streamsize>(data_.size()));
  if (got <= 0) {
    eof_ = true;
    return false;
  }
  end_ = static_cast<size_t>(got);
  return true;
}

bool LineSource::Next(std::string_view* line) {
  if (begin_ == end_ && !Refill()) return false;

  const char* start = data_.data() + begin_;
  size_t avail = end_ - begin_;
  if (const void* nl = std::memchr(start, '\n', avail)) {
    size_t len = static_cast<const char*>(nl) - start;
    *line = std::string_view(start, len);
    begin_ += len + 1;
    ++line_number_;
    return true;
  }

  // The line runs past the buffer: collect it piece by piece.
  long_line_.assign(start, avail);
  begin_ = end_;
  while (Refill()) {
    start = data_.data();
    if (const void* nl = std::memchr(start, '\n', end_)) {
      size_t len = static_cast<const char*>(nl) - start;
      long_line_.append(start, len);
      begin_ = len + 1;
      break;
    }
    long_line_.append(start, end_);
    begin_ = end_;
  }
  *line = long_line_;
  ++line_number_;
  return true;
}

}  // namespace textio
