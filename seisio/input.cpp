#include "seisio/input.h"

#include <iterator>

namespace seisio {

MemoryBuffer::MemoryBuffer(std::span<const char> bytes) {
  // The get area is the whole buffer; std::streambuf wants non-const
  // pointers but nothing here writes through them.
  char* begin = const_cast<char*>(bytes.data());
  setg(begin, begin, begin + bytes.size());
}

MemoryBuffer::pos_type MemoryBuffer::seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) {
  if ((which & std::ios_base::in) == 0) return pos_type(off_type(-1));
  off_type base = 0;
  if (dir == std::ios_base::cur) base = gptr() - eback();
  if (dir == std::ios_base::end) base = egptr() - eback();
  const off_type target = base + off;
  if (target < 0 || target > egptr() - eback()) return pos_type(off_type(-1));
  setg(eback(), eback() + target, egptr());
  return pos_type(target);
}

MemoryBuffer::pos_type MemoryBuffer::seekpos(pos_type pos, std::ios_base::openmode which) {
  return seekoff(off_type(pos), std::ios_base::beg, which);
}

SeekableInput::SeekableInput(std::istream& in) : stream_(&in) {
  const std::streamoff start = in.tellg();
  if (start >= 0 && in.seekg(0, std::ios_base::end)) {
    const std::streamoff end = in.tellg();
    if (end >= start && in.seekg(start)) {
      start_ = start;
      size_ = static_cast<uint64_t>(end - start);
      return;
    }
  }
  // A pipe: take its bytes.
  in.clear();
  copy_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  memory_ = std::make_unique<MemoryStream>(std::span<const char>(copy_.data(), copy_.size()));
  stream_ = memory_.get();
  size_ = copy_.size();
}

void SeekableInput::Rewind() {
  stream_->clear();
  stream_->seekg(start_);
}

}  // namespace seisio
