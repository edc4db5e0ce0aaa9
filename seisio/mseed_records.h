#ifndef CIRCARRAY_SEISIO_MSEED_RECORDS_H_
#define CIRCARRAY_SEISIO_MSEED_RECORDS_H_

#include <libmseed.h>

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace seisio {

// The records of a miniSEED stream one after the other, each parsed by
// libmseed from a window of the stream held in memory (never the whole
// file). Failures are textio::InputError naming the file and the byte
// offset of the record.
class RecordScanner {
 public:
  RecordScanner(std::istream& in, std::string_view name);
  RecordScanner(const RecordScanner&) = delete;
  RecordScanner& operator=(const RecordScanner&) = delete;
  ~RecordScanner();

  // Parses the next record, its samples decoded if `decode`; false at the
  // end of the stream. The record stays valid until the next call.
  bool Next(bool decode);
  const MSRecord& record() const { return *msr_; }
  // Byte offset of the record in the stream.
  int64_t offset() const { return offset_; }

 private:
  // Makes at least `want` unparsed bytes available unless the stream ends.
  void Fill(size_t want);
  [[noreturn]] void Fail(const std::string& what) const;

  std::istream& in_;
  std::string name_;
  std::vector<char> buffer_;
  size_t begin_ = 0;  // the unparsed bytes are buffer_[begin_, end_)
  size_t end_ = 0;
  int64_t position_ = 0;  // stream offset of buffer_[begin_]
  int64_t offset_ = 0;
  bool at_end_ = false;
  MSRecord* msr_ = nullptr;
};

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_MSEED_RECORDS_H_
