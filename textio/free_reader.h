#ifndef CIRCARRAY_TEXTIO_FREE_READER_H_
#define CIRCARRAY_TEXTIO_FREE_READER_H_

#include <cstdint>
#include <initializer_list>
#include <istream>
#include <span>
#include <string>
#include <string_view>

#include "textio/line_source.h"

namespace textio {

// Outcome of one read.
enum class ReadStatus {
  kDone,        // every target got a value, or a slash ended the read early
  kEnd,         // input ended before the read had all its values
  kUnreadable,  // a token could not be read as the target's kind (a
                // quoted token where a number is due included)
};

struct ReadResult {
  ReadStatus status = ReadStatus::kDone;
  long line = 0;     // line number where the read stopped
  std::string text;  // the offending token as written (kUnreadable only)

  bool ok() const { return status == ReadStatus::kDone; }
};

// One destination of a free-format read. Built implicitly from a reference
// to a float, double or int32_t, or from Text() for a label.
class Target {
 public:
  enum class Kind { kFloat, kDouble, kInt32, kText };

  Target(float& v) : kind_(Kind::kFloat), ptr_(&v) {}    // NOLINT: implicit by design
  Target(double& v) : kind_(Kind::kDouble), ptr_(&v) {}  // NOLINT
  Target(int32_t& v) : kind_(Kind::kInt32), ptr_(&v) {}  // NOLINT

  // A text field of at most `width` characters; longer text is cut.
  static Target Text(std::string& s, size_t width) { return Target(s, width); }

  Kind kind() const { return kind_; }
  // Stores the token; false if it is not of the target's kind.
  bool Assign(std::string_view token) const;

 private:
  Target(std::string& s, size_t width) : kind_(Kind::kText), ptr_(&s), width_(width) {}

  Kind kind_;
  void* ptr_;
  size_t width_ = 0;
};

// Reads list-directed ("free-format") text, record by record:
//  - every read starts on a new line, and blank lines before a value are
//    passed over; a read that needs more values continues on the next
//    lines; once it has its values the rest of its last line is dropped;
//  - values are separated by blanks, tabs, carriage returns, commas and
//    line ends; two commas with nothing but blanks between them (or a comma
//    opening a read) give a null value that leaves its target unchanged;
//  - "r*c" stands for r copies of c, and "r*" for r null values;
//  - a slash ends the read at once, leaving the remaining targets as they
//    were;
//  - text fields end at a blank, comma, slash or line end unless quoted
//    with ' or " (a doubled quote inside stands for one quote);
//  - a quoted token is text, never a number: where a number is due it is
//    unreadable ('3' and "2" included), and it is never a repeat.
// A read that stops early has assigned the targets before the stop.
class FreeReader {
 public:
  explicit FreeReader(std::istream& in) : lines_(in) {}

  // Reads one value per target, in order.
  ReadResult Read(std::initializer_list<Target> targets) {
    return Read(std::span<const Target>(targets.begin(), targets.size()));
  }
  ReadResult Read(std::span<const Target> targets);

  // Reads values.size() reals in one read.
  ReadResult ReadFloats(std::span<float> values);
  ReadResult ReadDoubles(std::span<double> values);

  // A read with no targets: consumes exactly one line (kEnd if none).
  ReadResult SkipLine();

  // Takes the next line whole, as a name read does: cut at `width`
  // characters, trailing blanks (and a carriage return) removed. The line
  // is taken even if it is blank. kEnd at end of input.
  ReadResult ReadLine(std::string* out, size_t width = 200);

  // Number of the last line fetched.
  long line_number() const { return lines_.line_number(); }

 private:
  enum class Token { kValue, kQuoted, kNull, kSlash, kEnd };

  Token NextToken(std::string_view* token);
  template <typename AssignFn>
  ReadResult ReadN(size_t count, AssignFn assign);
  bool FetchLine();

  LineSource lines_;
  std::string_view rest_;  // unread part of the current line

  // State of a "r*c" repeat within the current read.
  long repeat_left_ = 0;
  std::string_view repeat_value_;
  bool repeat_null_ = false;

  std::string quoted_;                // a quoted text with its doubled quotes undone
  std::string_view quoted_spelling_;  // the same token as written, in the line
};

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_FREE_READER_H_
