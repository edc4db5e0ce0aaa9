#ifndef CIRCARRAY_TEXTIO_ERRORS_H_
#define CIRCARRAY_TEXTIO_ERRORS_H_

#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>

#include "textio/free_reader.h"
#include "textio/output.h"

namespace textio {

// Exit status of a run-time error (bad input, failed I/O).
inline constexpr int kRuntimeErrorStatus = 2;

// Ends a run early from anywhere inside it. The program's entry point
// writes `text` (typically a message line, already formatted, with its
// newline) to standard output after everything written so far, flushes,
// and returns `status`.
class Stop : public std::exception {
 public:
  explicit Stop(std::string text = {}, int status = 0) : text_(std::move(text)), status_(status) {}
  const char* what() const noexcept override { return "program stop"; }
  const std::string& text() const { return text_; }
  int status() const { return status_; }

 private:
  std::string text_;
  int status_;
};

// A run-time error: reported as one line on standard error, prefixed with
// the program's name, with a non-zero exit status.
class RuntimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Input that a program needs could not be read.
class InputError : public RuntimeError {
 public:
  using RuntimeError::RuntimeError;
};

// Output could not be written (full disk, closed pipe, ...).
class WriteError : public RuntimeError {
 public:
  using RuntimeError::RuntimeError;
};

// A program's own message: one free-format line of `items` (texts and
// numbers, as FreeLine writes them), for example
//   StopWith("ERROR: no list of itype ", itype);
template <typename... Items>
std::string MessageLine(const Items&... items) {
  std::string text;
  FreeLine line(&text);
  (line.Add(items), ...);
  line.End();
  return text;
}

// Ends the run with the message line of `items` (status 0).
template <typename... Items>
[[noreturn]] void StopWith(const Items&... items) {
  throw Stop(MessageLine(items...));
}

// The one wording of each file failure, naming the file as the user gave it.
std::string OpenFailure(std::string_view file_name);    // an input file
std::string CreateFailure(std::string_view file_name);  // an output file
// A write that failed; `file_name` empty means standard output.
std::string WriteFailure(std::string_view file_name);

// The warning for a data loop that ended at an unreadable value rather
// than at the end of its input: "<source> line N: data end at unreadable
// value 'tok' (<count> <counted>)", for example
// "in.txt line 1500: data end at unreadable value '3.1O' (1499 samples written)".
std::string DescribeDataEnd(const ReadResult& r, std::string_view source, int64_t count, std::string_view counted);

// Throws InputError unless `r` is kDone. `what` names the expected input,
// for example "the parameter record (itype, radius, fstep, fend)".
void Require(const ReadResult& r, std::string_view what);

// Reads one record of values of the types T... and returns them, or
// throws as Require() does. A value the record leaves unread (it ends at a
// slash or holds a null value) is 0, as a read into variables just set to
// 0 leaves it: `auto [itype, radius] = RequireRecord<int32_t, float>(reader,
// "the parameter record (itype, radius)")`.
template <typename... T>
std::tuple<T...> RequireRecord(FreeReader& reader, std::string_view what) {
  std::tuple<T...> values{};
  std::apply([&](T&... v) { Require(reader.Read({Target(v)...}), what); }, values);
  return values;
}

// The value of a record of one value: RequireRecord<T>, unpacked.
template <typename T>
T RequireValue(FreeReader& reader, std::string_view what) {
  return std::get<0>(RequireRecord<T>(reader, what));
}

// A token of outside data as it may appear in a one-line diagnostic:
// control bytes (NUL, escape sequences, ...) shown as \xNN rather than sent
// to a terminal, and a token of megabytes cut to its first 64 characters
// followed by "...".
std::string Printable(std::string_view token);

// The message Require() would throw for a failed read.
std::string DescribeFailure(const ReadResult& r, std::string_view what);

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_ERRORS_H_
