#ifndef CIRCARRAY_TEXTIO_OUTPUT_H_
#define CIRCARRAY_TEXTIO_OUTPUT_H_

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace textio {

// Buffered text output over a std::ostream. Lines are collected in a
// private buffer and handed to the stream in large blocks; Flush() (and
// the buffer filling up) reports a failed write by throwing WriteError, so
// a full disk or a closed pipe never ends a run with status 0. The error
// names `file_name`, or standard output when it is empty (WriteFailure).
class Output {
 public:
  explicit Output(std::ostream& os, std::string file_name = {}) : os_(&os), file_name_(std::move(file_name)) {
    buffer_.reserve(kFlushAt + 256);
  }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  // Flushes what is left; a failure here cannot be reported, so callers
  // that care call Flush() first (the program runner does).
  ~Output();

  // Raw access for field formatters: append, then call Commit().
  std::string* buffer() { return &buffer_; }
  void Commit() {
    if (buffer_.size() >= kFlushAt) Flush();
  }

  void Write(std::string_view text) {
    buffer_.append(text);
    Commit();
  }
  void Line(std::string_view text) {
    buffer_.append(text);
    buffer_.push_back('\n');
    Commit();
  }

  // Hands the buffer to the stream and flushes it. Throws WriteError.
  void Flush();

 private:
  static constexpr size_t kFlushAt = 1 << 18;
  std::ostream* os_;
  std::string file_name_;
  std::string buffer_;
};

// The one wording of a failed write: "cannot write the output file
// \"name\"", or for standard output (an empty name) "cannot write output:
// write failed".
std::string WriteFailure(std::string_view file_name);

// A count that may exceed 32 bits (records of a file of billions of
// lines, an absurd grid size): written as an integer when it fits, else as
// a 64-bit real.
struct Count {
  double value;
};

// Builds one free-format (list-directed) line in an Output:
//   FreeLine(out).Add(freq).Add(v).Add(" NO_ROOT ").Add(flag).End();
// The line starts with a blank and items are separated by one blank, except
// that two adjacent texts are joined directly. Reals are written by their
// width (float: 9 digits, double: 17 digits), integers in 11 columns, texts
// as they stand.
class FreeLine {
 public:
  explicit FreeLine(Output& out) : out_(&out), buf_(out.buffer()) { buf_->push_back(' '); }
  // Builds the line in a string instead (for message texts).
  explicit FreeLine(std::string* text) : buf_(text) { buf_->push_back(' '); }

  FreeLine& Add(float v);
  FreeLine& Add(double v);
  FreeLine& Add(int32_t v);
  FreeLine& Add(Count count);
  FreeLine& Add(std::string_view text);
  FreeLine& Add(const char* text) { return Add(std::string_view(text)); }
  void End() {
    buf_->push_back('\n');
    if (out_ != nullptr) out_->Commit();
  }

 private:
  void Separate(bool is_text) {
    if (items_ > 0 && !(is_text && last_was_text_)) buf_->push_back(' ');
    ++items_;
    last_was_text_ = is_text;
  }

  // A number item, in the field that `append` writes.
  template <typename T>
  FreeLine& AddNumber(void (*append)(std::string*, std::type_identity_t<T>), T v) {
    Separate(false);
    append(buf_, v);
    return *this;
  }

  Output* out_ = nullptr;
  std::string* buf_;
  int items_ = 0;
  bool last_was_text_ = false;
};

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_OUTPUT_H_
