#ifndef CIRCARRAY_TEXTIO_LINE_SOURCE_H_
#define CIRCARRAY_TEXTIO_LINE_SOURCE_H_

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace textio {

// Splits a byte stream into lines (records) with a large private buffer,
// so that multi-million-line files are read in big chunks instead of
// character by character. A line excludes its '\n'; a last line without a
// final newline still counts as a line. Lines of any length are supported.
class LineSource {
 public:
  explicit LineSource(std::istream& in);
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;

  // Fetches the next line into *line; the view stays valid until the next
  // call. Returns false at end of input.
  bool Next(std::string_view* line);

  // Number of lines fetched so far (the 1-based number of the last line).
  long line_number() const { return line_number_; }

 private:
  bool Refill();

  std::streambuf* buf_;
  std::vector<char> data_;
  size_t begin_ = 0;  // first unconsumed byte in data_
  size_t end_ = 0;    // one past the last valid byte in data_
  bool eof_ = false;
  std::string long_line_;  // assembles a line that straddles refills
  long line_number_ = 0;
};

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_LINE_SOURCE_H_
