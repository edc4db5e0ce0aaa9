#ifndef CIRCARRAY_TEXTIO_ERRORS_H_
#define CIRCARRAY_TEXTIO_ERRORS_H_

#include <stdexcept>

namespace textio {

// The failures that end a run of any program of the suite.
//
// A RuntimeError is thrown wherever the failure is found, however deep in
// a computation, and travels up to the program's entry point, which
// reports it and nothing else: what() is one complete line without the
// program's name and without a newline, for example
//   in.txt line 12: expected numbers 'time u e n', got '3.1O'
// The entry point writes it to standard error after the name of the
// program, keeps everything written so far, and ends the run with a
// non-zero exit status. Messages name what the user gave (a file as the
// user wrote it, the line, the option) so that the line alone says what
// to mend; outside text shown in them goes through Printable()
// (textio/printable.h).
//
// Subclasses say which side failed, for callers that treat them apart:
class RuntimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Input that a program needs could not be read: a missing or unreadable
// value, a malformed file, a file that cannot be opened.
class InputError : public RuntimeError {
 public:
  using RuntimeError::RuntimeError;
};

// Output could not be written (full disk, closed pipe, ...).
class WriteError : public RuntimeError {
 public:
  using RuntimeError::RuntimeError;
};

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_ERRORS_H_
