#include "textio/output.h"

#include <limits>

#include "textio/errors.h"
#include "textio/format.h"

namespace textio {

Output::~Output() {
  if (!buffer_.empty()) {
    os_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    os_->flush();
  }
}

std::string WriteFailure(std::string_view file_name) {
  if (file_name.empty()) return "cannot write output: write failed";
  return "cannot write the output file \"" + std::string(file_name) + "\"";
}

void Output::Flush() {
  if (!buffer_.empty()) {
    os_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }
  os_->flush();
  if (!*os_) throw WriteError(WriteFailure(file_name_));
}

FreeLine& FreeLine::Add(float v) { return AddNumber(AppendFreeReal, v); }
FreeLine& FreeLine::Add(double v) { return AddNumber(AppendFreeReal, v); }
FreeLine& FreeLine::Add(int32_t v) { return AddNumber(AppendFreeInt, v); }

FreeLine& FreeLine::Add(Count count) {
  if (count.value <= std::numeric_limits<int32_t>::max()) return Add(static_cast<int32_t>(count.value));
  return Add(count.value);
}

FreeLine& FreeLine::Add(std::string_view text) {
  Separate(true);
  buf_->append(text);
  return *this;
}

}  // namespace textio
