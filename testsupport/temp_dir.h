#ifndef CIRCARRAY_TESTSUPPORT_TEMP_DIR_H_
#define CIRCARRAY_TESTSUPPORT_TEMP_DIR_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// A fresh directory, removed with everything in it at destruction. ctest
// runs tests in parallel, so the name carries a tag, the process id and a
// count of the directories this process made: no two tests share one.
class TempDir {
 public:
  explicit TempDir(std::string_view tag);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the directory.
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // The names in the directory, sorted.
  std::vector<std::string> Files() const;
  // The whole contents of `name` ("" if it cannot be read).
  std::string Read(const std::string& name) const;
  // Writes `text` to `name`, replacing what was there; returns its path.
  std::string Write(const std::string& name, std::string_view text) const;

 private:
  std::filesystem::path path_;
};

// The whole contents of a file ("" if it cannot be read).
std::string ReadFile(const std::filesystem::path& path);

}  // namespace testsupport

#endif  // CIRCARRAY_TESTSUPPORT_TEMP_DIR_H_
