#ifndef CIRCARRAY_SEISIO_INPUT_H_
#define CIRCARRAY_SEISIO_INPUT_H_

#include <cstdint>
#include <istream>
#include <memory>
#include <span>
#include <streambuf>
#include <string>

namespace seisio {

// A read-only stream buffer over bytes in memory, with seeking: how the
// readers take a byte buffer (fuzz targets, tests) through the same code
// as a file. The bytes must outlive it.
class MemoryBuffer : public std::streambuf {
 public:
  explicit MemoryBuffer(std::span<const char> bytes);

 protected:
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;
};

// An input stream over bytes in memory.
class MemoryStream : public std::istream {
 public:
  explicit MemoryStream(std::span<const char> bytes) : std::istream(nullptr), buffer_(bytes) { rdbuf(&buffer_); }

 private:
  MemoryBuffer buffer_;
};

// The rest of a stream, from its position now, as a stream that can seek
// and whose size is known: the stream itself when it can seek (a file),
// else (a pipe) a copy of its bytes in memory. The readers make two passes
// or check a size against the header, so they need both.
class SeekableInput {
 public:
  explicit SeekableInput(std::istream& in);
  SeekableInput(const SeekableInput&) = delete;
  SeekableInput& operator=(const SeekableInput&) = delete;

  std::istream& stream() { return *stream_; }
  // Bytes from the start to the end.
  uint64_t size() const { return size_; }
  // Back to the first byte (clearing the end-of-file state).
  void Rewind();

 private:
  std::istream* stream_;
  std::streamoff start_ = 0;
  uint64_t size_ = 0;
  std::string copy_;
  std::unique_ptr<MemoryStream> memory_;
};

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_INPUT_H_
