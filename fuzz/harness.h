#ifndef CIRCARRAY_FUZZ_HARNESS_H_
#define CIRCARRAY_FUZZ_HARNESS_H_

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "textio/program.h"

// Shared pieces of the fuzz targets: an output device that can run full,
// a private working directory for the files a program reads and writes,
// and the checks every run of a program must pass whatever its input.
namespace fuzz {

// Aborts the fuzz run with `what` when `ok` is false; libFuzzer then
// saves the input as a crash artifact.
void Check(bool ok, std::string_view what);

// An output device that accepts `limit` bytes and then refuses to write,
// like a disk that fills up. It keeps no copy of what it took, so a run
// that writes millions of lines costs no memory; it remembers whether the
// last byte taken ended a line.
class FullDevice : public std::streambuf {
 public:
  explicit FullDevice(size_t limit) : limit_(limit) {}
  size_t taken() const { return taken_; }
  bool refused() const { return refused_; }
  bool ends_with_newline() const { return last_ == '\n'; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;

 private:
  size_t limit_;
  size_t taken_ = 0;
  bool refused_ = false;
  char last_ = '\n';
};

// The capacity of the output device for one input: most runs get a
// roomy device, one in four a small one that fills somewhere inside the
// output, so failing writes are exercised at every point of a run.
size_t DeviceLimit(const uint8_t* data, size_t size);

// The checks that hold for every run of a program, whatever its input:
//  - the status is 0 (normal end or message stop) or 2 (run-time error);
//  - status 0 leaves standard error empty; status 2 comes with exactly one
//    line "<name>: <message>" there;
//  - a refused write never ends in status 0;
//  - standard output holds whole lines only.
void CheckOutcome(std::string_view name, int status, const std::string& err, const FullDevice& out);

// The fuzzer's input for a program that also reads files: standard input
// runs up to the first NUL byte, and each later NUL starts the next file.
struct Parts {
  std::string stdin_text;
  std::vector<std::string> files;
};
Parts SplitAtNul(const uint8_t* data, size_t size);

// A private working directory for this fuzzing process, made the current
// directory on first use and emptied by Clean() after every run.
const std::string& WorkDir();
void WriteFile(const std::string& name, std::string_view contents);
void Clean();

// Runs `program` on `stdin_text` with standard output on a FullDevice of
// `limit` bytes and checks the outcome.
void RunAndCheck(std::string_view name, textio::ProgramFn program, std::string stdin_text, size_t limit);

// The whole fuzz step of a program that reads column files named on its
// standard input: the input's first part is standard input, the later
// parts the files "in1.d" .. "in4.d" of the working directory. Inputs that
// name a path with '/' are refused (-1), so nothing outside the working
// directory is read or written.
int FuzzWithColumnFiles(std::string_view name, textio::ProgramFn program, const uint8_t* data, size_t size);

}  // namespace fuzz

#endif  // CIRCARRAY_FUZZ_HARNESS_H_
