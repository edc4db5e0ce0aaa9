#ifndef CIRCARRAY_HARDENING_SUPPORT_H_
#define CIRCARRAY_HARDENING_SUPPORT_H_

#include <cstddef>
#include <functional>
#include <istream>
#include <limits>
#include <ostream>
#include <streambuf>
#include <string>

#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"

namespace hardening {

// The suite's shared test helpers, under the names these tests use.
using testsupport::IsOneDiagnosticLine;
using testsupport::Lines;
using testsupport::Outcome;
using testsupport::ReadFile;
using testsupport::TempDir;

using Program = std::function<int(std::istream& in, std::ostream& out, std::ostream& err)>;

// An output device that takes `limit` bytes and refuses the rest, like a
// disk that fills up during a run. It keeps what it took.
class LimitedDevice : public std::streambuf {
 public:
  explicit LimitedDevice(size_t limit) : limit_(limit) {}
  const std::string& taken() const { return taken_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;

 private:
  size_t limit_;
  std::string taken_;
};

// Runs a program in-process on `input`, its standard output on a device
// of `limit` bytes (testsupport::Run for an unlimited one).
Outcome RunOn(const Program& program, const std::string& input, size_t limit = std::numeric_limits<size_t>::max());

}  // namespace hardening

#endif  // CIRCARRAY_HARDENING_SUPPORT_H_
