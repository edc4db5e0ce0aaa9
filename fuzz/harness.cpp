#include "harness.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <utility>
#include <vector>

#include "suite/runtime.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"
#include "textio/require.h"

namespace fuzz {

void Check(bool ok, std::string_view what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

size_t DeviceLimit(const uint8_t* data, size_t size) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  if (h % 4 != 0) return size_t{1} << 20;
  return (h >> 2) % 4096;
}

namespace {

// The warning a data loop gives when it ends at an unreadable value
// (textio::DescribeDataEnd): "<name>: <source> line <n>: data end at
// unreadable value '<text>' (<count> ...)", the only lines a run may write
// on standard error and still end with status 0. The source (standard
// input or a file the run read) carries no quotes, so a diagnostic that
// quotes such text from the input is not taken for a warning.
bool IsDataEndWarning(const std::string& line, std::string_view name) {
  static const std::regex warning(R"(^[^'"]* line [0-9]+: data end at unreadable value ')");
  const size_t prefix = name.size() + 2;
  return line.size() > prefix &&
         std::regex_search(line.begin() + static_cast<std::ptrdiff_t>(prefix), line.end(), warning);
}

}  // namespace

void CheckOutcome(std::string_view name, int status, const std::string& err, const testsupport::CappedDevice& out) {
  Check(status == 0 || status == suite::kFailureStatus, "exit status is neither 0 nor 2");
  Check(err.empty() || err.back() == '\n', "standard error ends inside a line");
  const std::vector<std::string> lines = testsupport::Lines(err);
  for (const std::string& line : lines) {
    Check(testsupport::IsOneDiagnosticLine(line + "\n", name), "a line on standard error is not \"<name>: <message>\"");
  }
  // Data-end warnings, then for status 2 exactly one error line, last.
  const size_t warnings = status == 0 ? lines.size() : lines.size() - 1;
  Check(status == 0 || !lines.empty(), "status 2 without a diagnostic");
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i < warnings) {
      Check(IsDataEndWarning(lines[i], name), "standard error holds more than warnings and one diagnostic");
    } else {
      Check(!IsDataEndWarning(lines[i], name), "status 2 ended with a warning instead of its diagnostic");
    }
  }
  Check(!out.refused() || status != 0, "a refused write ended with status 0");
  Check(out.refused() || out.ends_with_newline(), "standard output ends inside a line");
}

Parts SplitAtNul(const uint8_t* data, size_t size) {
  Parts parts;
  std::string_view all(reinterpret_cast<const char*>(data), size);
  size_t nul = all.find('\0');
  parts.stdin_text = std::string(all.substr(0, nul));
  while (nul != std::string_view::npos) {
    all.remove_prefix(nul + 1);
    nul = all.find('\0');
    parts.files.emplace_back(all.substr(0, nul));
  }
  return parts;
}

const std::filesystem::path& WorkDir() {
  // Destroyed, with everything in it, when the fuzzer exits normally.
  static const testsupport::TempDir dir("circarray_fuzz");
  return dir.path();
}

void WriteFile(const std::string& name, std::string_view contents) {
  std::ofstream f(WorkDir() / name, std::ios::binary | std::ios::trunc);
  f.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  Check(static_cast<bool>(f), "cannot write an input file");
}

namespace {

// Removes whatever the last run left in the working directory.
void Clean() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(WorkDir(), ec)) {
    std::filesystem::remove_all(entry.path(), ec);
  }
}

}  // namespace

void RunAndCheck(const suite::Program& program, std::string stdin_text, size_t limit) {
  std::istringstream in(std::move(stdin_text));
  // Runs may write millions of lines: the device only counts them.
  testsupport::CappedDevice device(limit, testsupport::CappedDevice::Keep::kCountOnly);
  std::ostream out(&device);
  std::ostringstream err;
  suite::Invocation invocation;
  invocation.directory = WorkDir();
  const int status = suite::Invoke(program, {in, out, err}, std::move(invocation));
  CheckOutcome(program.name, status, err.str(), device);
  Clean();
}

int FuzzStandardInput(const suite::Program& program, const uint8_t* data, size_t size) {
  RunAndCheck(program, std::string(reinterpret_cast<const char*>(data), size), DeviceLimit(data, size));
  return 0;
}

int FuzzWithColumnFiles(const suite::Program& program, const uint8_t* data, size_t size) {
  Parts parts = SplitAtNul(data, size);
  if (parts.stdin_text.find('/') != std::string::npos) return -1;
  for (size_t i = 0; i < parts.files.size() && i < 4; ++i) {
    WriteFile("in" + std::to_string(i + 1) + ".d", parts.files[i]);
  }
  RunAndCheck(program, std::move(parts.stdin_text), DeviceLimit(data, size));
  return 0;
}

}  // namespace fuzz
