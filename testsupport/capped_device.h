#ifndef CIRCARRAY_TESTSUPPORT_CAPPED_DEVICE_H_
#define CIRCARRAY_TESTSUPPORT_CAPPED_DEVICE_H_

#include <cstddef>
#include <limits>
#include <streambuf>
#include <string>

namespace testsupport {

// An output device that takes `limit` bytes and refuses the rest, like a
// disk that fills up during a run. Tests keep what it took; fuzz targets,
// whose runs may write millions of lines, keep nothing but a count.
class CappedDevice : public std::streambuf {
 public:
  enum class Keep { kText, kCountOnly };

  explicit CappedDevice(size_t limit = std::numeric_limits<size_t>::max(), Keep keep = Keep::kText)
      : limit_(limit), keep_(keep) {}

  const std::string& taken() const { return taken_; }
  size_t taken_bytes() const { return count_; }
  bool refused() const { return refused_; }
  bool ends_with_newline() const { return last_ == '\n'; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;

 private:
  size_t limit_;
  Keep keep_;
  std::string taken_;
  size_t count_ = 0;
  bool refused_ = false;
  char last_ = '\n';
};

}  // namespace testsupport

#endif  // CIRCARRAY_TESTSUPPORT_CAPPED_DEVICE_H_
