#ifndef CIRCARRAY_HARDENING_SUPPORT_H_
#define CIRCARRAY_HARDENING_SUPPORT_H_

#include <cstddef>
#include <filesystem>
#include <functional>
#include <istream>
#include <limits>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace hardening {

using Program = std::function<int(std::istream& in, std::ostream& out, std::ostream& err)>;

// An output device that takes `limit` bytes and refuses the rest, like a
// disk that fills up during a run. It keeps what it took.
class LimitedDevice : public std::streambuf {
 public:
  explicit LimitedDevice(size_t limit) : limit_(limit) {}
  const std::string& taken() const { return taken_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;

 private:
  size_t limit_;
  std::string taken_;
};

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs a program in-process on `input`, its standard output on a device
// of `limit` bytes.
Outcome RunOn(const Program& program, const std::string& input,
              size_t limit = std::numeric_limits<size_t>::max());

// True if `err` is exactly one line "<name>: <message>".
bool IsOneDiagnosticLine(const std::string& err, std::string_view name);

// The text cut into lines; a last line without newline counts.
std::vector<std::string> Lines(const std::string& text);

// A fresh directory for one test, removed with everything in it at the end.
class TempDir {
 public:
  explicit TempDir(std::string_view tag);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `contents` to the file `name` inside the directory; returns its path.
  std::string Write(const std::string& name, std::string_view contents) const;

 private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);

}  // namespace hardening

#endif  // CIRCARRAY_HARDENING_SUPPORT_H_
