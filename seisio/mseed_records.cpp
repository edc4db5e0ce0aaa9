#include "seisio/mseed_records.h"

#include <algorithm>
#include <cstring>

#include "seisio/mseed_log.h"
#include "textio/errors.h"

namespace seisio {

namespace {

// The window: large enough for many records per read. It is refilled once
// less than a quarter of it is left, so the bytes moved to its front stay
// few; a larger record (libmseed's reach 1 MiB) grows it as parsing asks.
constexpr size_t kWindow = 1 << 18;
constexpr size_t kRefillBelow = kWindow / 4;

}  // namespace

RecordScanner::RecordScanner(std::istream& in, std::string_view name) : in_(in), name_(name) {
  CatchMiniSeedLog();
  buffer_.resize(kWindow);
}

RecordScanner::~RecordScanner() { msr_free(&msr_); }

void RecordScanner::Fail(const std::string& what) const {
  std::string message = name_ + ": " + what;
  if (const std::string detail = LastMiniSeedLog(); !detail.empty()) message += " (libmseed: " + detail + ")";
  throw textio::InputError(message);
}

void RecordScanner::Fill(size_t want) {
  want = std::min<size_t>(want, 2 * MAXRECLEN);
  if (end_ - begin_ >= want || at_end_) return;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (buffer_.size() < want) buffer_.resize(want);
  while (end_ < buffer_.size() && !at_end_) {
    in_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
    const auto got = static_cast<size_t>(in_.gcount());
    end_ += got;
    if (got == 0 || !in_) at_end_ = true;
  }
}

bool RecordScanner::Next(bool decode) {
  Fill(kRefillBelow);
  if (begin_ == end_) return false;
  int forced_length = 0;  // the record length to assume when it cannot be detected
  for (;;) {
    ClearMiniSeedLog();
    const size_t available = end_ - begin_;
    const int status =
        msr_parse(buffer_.data() + begin_, static_cast<int>(available), &msr_, forced_length, decode ? 1 : 0, 0);
    if (status == 0) {
      offset_ = position_;
      const auto length = static_cast<size_t>(msr_->reclen);
      begin_ += length;
      position_ += static_cast<int64_t>(length);
      return true;
    }
    if (status < 0) {
      Fail("byte " + std::to_string(position_) + ": not a miniSEED data record that libmseed can read (" +
           ms_errorstr(status) + ")");
    }
    // More bytes needed.
    if (!at_end_) {
      Fill(available + static_cast<size_t>(status));
      if (end_ - begin_ > available) continue;
    }
    // The stream ends here. A last record without blockette 1000 has no
    // next header to tell its length: it is what is left.
    if (forced_length == 0 && ms_detect(buffer_.data() + begin_, static_cast<int>(available)) == 0) {
      forced_length = static_cast<int>(available);
      continue;
    }
    Fail("byte " + std::to_string(position_) + ": the file ends inside a record (" + std::to_string(available) +
         " bytes left)");
  }
}

}  // namespace seisio
