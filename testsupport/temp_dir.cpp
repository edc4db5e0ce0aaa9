#include "testsupport/temp_dir.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

TempDir::TempDir(std::string_view tag) {
  static std::atomic<int> count{0};
  path_ = std::filesystem::temp_directory_path() /
          (std::string(tag) + "_" + std::to_string(::getpid()) + "_" + std::to_string(count++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> TempDir::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string TempDir::Read(const std::string& name) const { return ReadFile(path_ / name); }

std::string TempDir::Write(const std::string& name, std::string_view text) const {
  const std::filesystem::path file = path_ / name;
  std::ofstream f(file, std::ios::binary | std::ios::trunc);
  f.write(text.data(), static_cast<std::streamsize>(text.size()));
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

}  // namespace testsupport
