#ifndef CIRCARRAY_SUITE_FILES_H_
#define CIRCARRAY_SUITE_FILES_H_

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "textio/output.h"

namespace suite {

// The one wording of each failure to open a file, naming the file as the
// user gave it.
std::string OpenFailure(std::string_view file_name);    // an input file
std::string CreateFailure(std::string_view file_name);  // an output file

// A data file opened for reading only; it is never created. `name` is the
// name as the user gave it, used in every message; `path` is where it is.
class InputFile {
 public:
  InputFile(std::string name, const std::filesystem::path& path);
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // False if the file cannot be read. A directory counts as unreadable:
  // it opens on this system but yields no bytes, and is never what was meant.
  bool is_open() const { return stream_.is_open(); }
  const std::string& name() const { return name_; }
  std::istream& stream() { return stream_; }

 private:
  std::string name_;
  std::ifstream stream_;
};

// An output file that holds exactly what the run writes to it: an
// existing file is emptied when it is created. It is created either at
// once, or with its first line, so that a run that writes nothing to it
// leaves the file system untouched.
class OutputFile {
 public:
  OutputFile(std::string name, std::filesystem::path path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  const std::string& name() const { return name_; }
  bool created() const { return out_.has_value(); }

  // Creates (or empties) the file; false if it cannot be created.
  bool Create();

  // The file's buffered output; a file created on its first line comes
  // into being here (textio::RuntimeError if it cannot). Write errors are
  // textio::WriteError naming the file.
  textio::Output& out();
  void Line(std::string_view line) { out().Line(line); }

  // Flushes and closes the file if it was created. Throws WriteError
  // naming the file if its lines could not all be written.
  void Close();
  // Closes without reporting: for a run that already failed.
  void Abandon() noexcept;

 private:
  std::string name_;
  std::filesystem::path path_;
  std::ofstream stream_;
  std::optional<textio::Output> out_;  // destroyed (and flushed) before stream_
};

}  // namespace suite

#endif  // CIRCARRAY_SUITE_FILES_H_
