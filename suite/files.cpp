#include "suite/files.h"

#include <system_error>

#include "textio/errors.h"

namespace suite {

std::string OpenFailure(std::string_view file_name) {
  return "cannot open the input file \"" + std::string(file_name) + "\"";
}

std::string CreateFailure(std::string_view file_name) {
  return "cannot create the output file \"" + std::string(file_name) + "\"";
}

InputFile::InputFile(std::string name, const std::filesystem::path& path) : name_(std::move(name)) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return;
  stream_.open(path, std::ios::binary);
}

OutputFile::OutputFile(std::string name, std::filesystem::path path) : name_(std::move(name)), path_(std::move(path)) {}

bool OutputFile::Create() {
  if (out_) return true;
  stream_.open(path_, std::ios::out | std::ios::trunc | std::ios::binary);
  if (!stream_.is_open()) return false;
  out_.emplace(stream_, name_);
  return true;
}

textio::Output& OutputFile::out() {
  if (!out_ && !Create()) throw textio::RuntimeError(CreateFailure(name_));
  return *out_;
}

void OutputFile::Close() {
  if (!out_) return;
  out_->Flush();
  out_.reset();
  stream_.close();
  if (!stream_) throw textio::WriteError(textio::WriteFailure(name_));
}

void OutputFile::Abandon() noexcept {
  try {
    Close();
  } catch (...) {
    // The run is already failing; its first error is the one reported.
  }
  out_.reset();
}

}  // namespace suite
