#ifndef CIRCARRAY_FUZZ_HARNESS_H_
#define CIRCARRAY_FUZZ_HARNESS_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "suite/program.h"
#include "testsupport/capped_device.h"
#include "textio/errors.h"

// Shared pieces of the fuzz targets: a private working directory for the
// files a program reads and writes, runs of a program on an output device
// that can fill up, and the checks every run must pass whatever its input.
namespace fuzz {

// Aborts the fuzz run with `what` when `ok` is false; libFuzzer then
// saves the input as a crash artifact.
void Check(bool ok, std::string_view what);

// Runs `read` on outside data named `source` and returns what it read, or
// nothing when it refused the data with a textio::InputError, whose
// message must start with the source's name, as every message about
// outside data does.
template <typename Read>
auto ReadOrRefusal(std::string_view source, Read read) -> std::optional<decltype(read())> {
  try {
    return read();
  } catch (const textio::InputError& e) {
    Check(std::string_view(e.what()).starts_with(source), "the message names the source first");
    return std::nullopt;
  }
}

// The capacity of the output device for one input: most runs get a
// roomy device, one in four a small one that fills somewhere inside the
// output, so failing writes are exercised at every point of a run.
size_t DeviceLimit(const uint8_t* data, size_t size);

// The checks that hold for every run of a program, whatever its input:
//  - the status is 0 (normal end or message stop) or 2 (run-time error);
//  - every line on standard error is "<name>: <message>"; status 0 leaves
//    nothing there but the warnings of data loops that ended at an
//    unreadable value, and status 2 adds exactly one diagnostic line, last;
//  - a refused write never ends in status 0;
//  - standard output holds whole lines only.
void CheckOutcome(std::string_view name, int status, const std::string& err, const testsupport::CappedDevice& out);

// The fuzzer's input for a program that also reads files: standard input
// runs up to the first NUL byte, and each later NUL starts the next file.
struct Parts {
  std::string stdin_text;
  std::vector<std::string> files;
};
Parts SplitAtNul(const uint8_t* data, size_t size);

// The private working directory of this fuzzing process, made on first
// use and removed at exit. Runs take their relative file names from it.
const std::filesystem::path& WorkDir();
void WriteFile(const std::string& name, std::string_view contents);

// Runs `program` as its main() would, without arguments, on `stdin_text`,
// with standard output on a device that fills up after `limit` bytes and
// WorkDir() as the directory of its files; checks the outcome, then
// empties the working directory for the next input.
void RunAndCheck(const suite::Program& program, std::string stdin_text, size_t limit);

// The whole fuzz step of a program that reads standard input alone.
int FuzzStandardInput(const suite::Program& program, const uint8_t* data, size_t size);

// The whole fuzz step of a program that reads column files named on its
// standard input: the input's first part is standard input, the later
// parts the files "in1.d" .. "in4.d" of the working directory. Inputs that
// name a path with '/' are refused (-1), so nothing outside the working
// directory is read or written.
int FuzzWithColumnFiles(const suite::Program& program, const uint8_t* data, size_t size);

}  // namespace fuzz

#endif  // CIRCARRAY_FUZZ_HARNESS_H_
