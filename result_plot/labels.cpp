#include "result_plot/labels.h"

#include <charconv>
#include <filesystem>

namespace circplot {

std::string Name(const std::string& source) {
  std::filesystem::path path(source);
  if (!path.has_filename()) path = path.parent_path();  // a directory given as "run1/"
  const std::string name = path.filename().string();
  return name.empty() ? source : name;
}

std::string LabelNumber(double v, int digits) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
  return std::string(buf, r.ptr);
}

std::string Frequencies(size_t n) { return std::to_string(n) + (n == 1 ? " frequency" : " frequencies"); }

std::string RadiusText(double r) { return "r = " + LabelNumber(r) + " m"; }

}  // namespace circplot
