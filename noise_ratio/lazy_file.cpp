#include "noise_ratio/lazy_file.h"

#include "textio/errors.h"

namespace quillon {

void LazyFile::WriteLine(std::string_view line) {
  if (!out_) {
    stream_.open(path_, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!stream_) throw textio::RuntimeError("cannot create file '" + path_ + "'");
    out_.emplace(stream_);
  }
  try {
    out_->Line(line);
  } catch (const textio::WriteError&) {
    throw textio::WriteError("file '" + path_ + "'");
  }
}

void LazyFile::Close() {
  if (!out_) return;
  try {
    out_->Flush();
  } catch (const textio::WriteError&) {
    throw textio::WriteError("file '" + path_ + "'");
  }
  out_.reset();
  stream_.close();
  if (!stream_) throw textio::WriteError("file '" + path_ + "'");
}

}  // namespace quillon
