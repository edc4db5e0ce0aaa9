#ifndef CIRCARRAY_SUITE_STOP_H_
#define CIRCARRAY_SUITE_STOP_H_

// How a program ends its run early with a message of its own: a failure it
// detects itself (an unknown type code, inconsistent frequencies, a file
// it cannot open where its users expect a message line rather than a
// diagnostic). The message goes to standard output, after everything
// written so far, and the run ends normally.

#include <exception>
#include <string>
#include <utility>

#include "textio/output.h"

namespace suite {

// Ends a run early from anywhere inside it. The program's entry point
// (suite::Execute) closes the run's files, writes `text` (typically a
// message line, already formatted, with its newline) to standard output
// after everything written so far, flushes, and returns `status`.
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

// A program's own message: one free-format line of `items` (texts and
// numbers, as textio::FreeLine writes them), for example
//   StopWith("ERROR: no list of itype ", itype);
template <typename... Items>
std::string MessageLine(const Items&... items) {
  std::string text;
  textio::FreeLine line(&text);
  (line.Add(items), ...);
  line.End();
  return text;
}

// Ends the run with the message line of `items` (status 0).
template <typename... Items>
[[noreturn]] void StopWith(const Items&... items) {
  throw Stop(MessageLine(items...));
}

}  // namespace suite

#endif  // CIRCARRAY_SUITE_STOP_H_
