#include "result_plot/text_lines.h"

#include "textio/fields.h"
#include "textio/line_source.h"
#include "textio/printable.h"

namespace circplot {

std::vector<TextLine> ReadLines(std::istream& in) {
  std::vector<TextLine> lines;
  textio::LineSource source(in);
  std::string_view line;
  while (source.Next(&line)) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back({source.line_number(), std::string(line)});
  }
  return lines;
}

std::vector<std::string_view> Fields(std::string_view line) { return textio::SplitFields(line, " \t,"); }

bool IsBlank(std::string_view line) { return Trimmed(line).empty(); }

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string AtLine(std::string_view source, long line, std::string_view what) {
  return std::string(source) + " line " + std::to_string(line) + ": " + std::string(what);
}

std::string Shown(std::string_view text) {
  std::string shown(1, '\'');
  shown += textio::Printable(text);
  shown += '\'';
  return shown;
}

}  // namespace circplot
