#include "textio/input_file.h"

#include <filesystem>
#include <system_error>

namespace textio {

bool OpenInputFile(const std::string& name, std::ifstream* file) {
  std::error_code ec;
  if (std::filesystem::is_directory(name, ec)) return false;
  file->open(name, std::ios::binary);
  return file->is_open();
}

}  // namespace textio
