#include "harness.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fuzz {

void Check(bool ok, std::string_view what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

FullDevice::int_type FullDevice::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

std::streamsize FullDevice::xsputn(const char* s, std::streamsize n) {
  const size_t room = limit_ - taken_;
  const size_t take = static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room;
  if (take > 0) last_ = s[take - 1];
  taken_ += take;
  if (take < static_cast<size_t>(n)) refused_ = true;
  return static_cast<std::streamsize>(take);
}

size_t DeviceLimit(const uint8_t* data, size_t size) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  if (h % 4 != 0) return size_t{1} << 20;
  return (h >> 2) % 4096;
}

void CheckOutcome(std::string_view name, int status, const std::string& err, const FullDevice& out) {
  Check(status == 0 || status == 2, "exit status is neither 0 nor 2");
  if (status == 0) {
    Check(err.empty(), "standard error written in a run that ended with status 0");
  } else {
    const std::string prefix = std::string(name) + ": ";
    Check(err.compare(0, prefix.size(), prefix) == 0, "diagnostic does not start with the program name");
    Check(!err.empty() && err.back() == '\n' && err.find('\n') == err.size() - 1, "diagnostic is not exactly one line");
  }
  Check(!out.refused() || status != 0, "a refused write ended with status 0");
  Check(out.refused() || out.ends_with_newline(), "standard output ends inside a line");
}

void RunAndCheck(std::string_view name, textio::ProgramFn program, std::string stdin_text, size_t limit) {
  std::istringstream in(std::move(stdin_text));
  FullDevice device(limit);
  std::ostream out(&device);
  std::ostringstream err;
  const int status = program(in, out, err);
  CheckOutcome(name, status, err.str(), device);
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

namespace {

std::string MakeWorkDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "circarray-fuzz-XXXXXX").string();
  Check(mkdtemp(tmpl.data()) != nullptr, "cannot create a working directory");
  Check(chdir(tmpl.c_str()) == 0, "cannot enter the working directory");
  static std::string dir;
  dir = tmpl;
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  });
  return tmpl;
}

}  // namespace

const std::string& WorkDir() {
  static const std::string dir = MakeWorkDir();
  return dir;
}

void WriteFile(const std::string& name, std::string_view contents) {
  std::ofstream f(WorkDir() + "/" + name, std::ios::binary | std::ios::trunc);
  f.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  Check(static_cast<bool>(f), "cannot write an input file");
}

void Clean() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(WorkDir(), ec)) {
    std::filesystem::remove_all(entry.path(), ec);
  }
}

int FuzzWithColumnFiles(std::string_view name, textio::ProgramFn program, const uint8_t* data, size_t size) {
  Parts parts = SplitAtNul(data, size);
  if (parts.stdin_text.find('/') != std::string::npos) return -1;
  WorkDir();
  for (size_t i = 0; i < parts.files.size() && i < 4; ++i) {
    WriteFile("in" + std::to_string(i + 1) + ".d", parts.files[i]);
  }
  RunAndCheck(name, program, std::move(parts.stdin_text), DeviceLimit(data, size));
  Clean();
  return 0;
}

}  // namespace fuzz
