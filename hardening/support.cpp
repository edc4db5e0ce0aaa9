#include "hardening/support.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace hardening {

LimitedDevice::int_type LimitedDevice::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

std::streamsize LimitedDevice::xsputn(const char* s, std::streamsize n) {
  const size_t room = limit_ - taken_.size();
  const size_t take = static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room;
  taken_.append(s, take);
  return static_cast<std::streamsize>(take);
}

Outcome RunOn(const Program& program, const std::string& input, size_t limit) {
  std::istringstream in(input);
  LimitedDevice device(limit);
  std::ostream out(&device);
  std::ostringstream err;
  Outcome o;
  o.status = program(in, out, err);
  o.out = device.taken();
  o.err = err.str();
  return o;
}

bool IsOneDiagnosticLine(const std::string& err, std::string_view name) {
  const std::string prefix = std::string(name) + ": ";
  return err.size() > prefix.size() && err.compare(0, prefix.size(), prefix) == 0 && err.back() == '\n' &&
         err.find('\n') == err.size() - 1;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TempDir::TempDir(std::string_view tag) {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("hardening_" + std::string(tag) + "_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, std::string_view contents) const {
  const std::filesystem::path file = path_ / name;
  std::ofstream f(file, std::ios::binary | std::ios::trunc);
  f.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  f.close();
  if (!f) throw std::runtime_error("cannot write " + file.string());
  return file.string();
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace hardening
