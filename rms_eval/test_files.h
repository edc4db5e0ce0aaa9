#ifndef CIRCARRAY_RMS_EVAL_TEST_FILES_H_
#define CIRCARRAY_RMS_EVAL_TEST_FILES_H_

// Helpers for tests that read and write real files.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace gauger::testing {

// A fresh directory, removed afterwards. ctest runs every test in a
// process of its own, so the process id keeps parallel tests apart.
class TempDir {
 public:
  TempDir() : path_(std::filesystem::temp_directory_path() / ("gauger_test_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::error_code ec; std::filesystem::remove_all(path_, ec); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

inline std::string ReadFile(const std::string& path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

}  // namespace gauger::testing

#endif  // CIRCARRAY_RMS_EVAL_TEST_FILES_H_
