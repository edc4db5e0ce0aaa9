#ifndef CIRCARRAY_NOISE_RATIO_LAZY_FILE_H_
#define CIRCARRAY_NOISE_RATIO_LAZY_FILE_H_

#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "textio/output.h"

namespace quillon {

// An output file that comes into being with its first line: it is created
// (or an existing file emptied) only when its first line is written, so a
// run that writes nothing to it leaves the file system untouched.
class LazyFile {
 public:
  explicit LazyFile(std::string path) : path_(std::move(path)) {}
  LazyFile(const LazyFile&) = delete;
  LazyFile& operator=(const LazyFile&) = delete;

  // Appends `line` and a newline, creating the file on the first call.
  // Throws textio::RuntimeError if the file cannot be created, and
  // textio::WriteError if buffered lines cannot be written.
  void WriteLine(std::string_view line);

  // Flushes and closes the file if it was opened. Throws textio::WriteError
  // if its lines could not all be written.
  void Close();

  bool opened() const { return out_.has_value(); }

 private:
  std::string path_;
  std::ofstream stream_;
  std::optional<textio::Output> out_;  // destroyed (and flushed) before stream_
};

}  // namespace quillon

#endif  // CIRCARRAY_NOISE_RATIO_LAZY_FILE_H_
