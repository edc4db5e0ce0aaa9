#include "textio/output.h"

#include "textio/errors.h"
#include "textio/format.h"

namespace textio {

Output::~Output() {
  if (!buffer_.empty()) {
    os_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    os_->flush();
  }
}

void Output::Flush() {
  if (!buffer_.empty()) {
    os_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }
  os_->flush();
  if (!*os_) throw WriteError("write failed");
}

FreeLine& FreeLine::Add(float v) {
  Separate(false);
  AppendFreeReal(buf_, v);
  return *this;
}

FreeLine& FreeLine::Add(double v) {
  Separate(false);
  AppendFreeReal(buf_, v);
  return *this;
}

FreeLine& FreeLine::Add(int32_t v) {
  Separate(false);
  AppendFreeInt(buf_, v);
  return *this;
}

FreeLine& FreeLine::Add(std::string_view text) {
  Separate(true);
  buf_->append(text);
  return *this;
}

}  // namespace textio
