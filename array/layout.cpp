#include "array/layout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>

#include "textio/errors.h"
#include "textio/line_source.h"
#include "textio/number.h"
#include "textio/printable.h"

namespace array {

namespace {

// The blank- or tab-separated fields of a line, up to its first '#'.
std::vector<std::string_view> Fields(std::string_view line) {
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> fields;
  size_t i = 0;
  auto is_space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
  while (i < line.size()) {
    while (i < line.size() && is_space(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !is_space(line[i])) ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

// The comma-separated parts of a record field.
std::vector<std::string_view> Parts(std::string_view field) {
  std::vector<std::string_view> parts;
  for (;;) {
    const size_t comma = field.find(',');
    parts.push_back(field.substr(0, comma));
    if (comma == std::string_view::npos) return parts;
    field.remove_prefix(comma + 1);
  }
}

class Parser {
 public:
  Parser(const std::string& file_name, const std::filesystem::path& folder) : folder_(folder) {
    layout_.file = file_name;
  }

  [[noreturn]] void Fail(long line, const std::string& what) const {
    throw textio::InputError(layout_.file + " line " + std::to_string(line) + ": " + what);
  }

  void AddLine(std::string_view text, long line) {
    const std::vector<std::string_view> f = Fields(text);
    if (f.empty()) return;
    if (f.size() != 4) {
      Fail(line, "expected 'name azimuth radius file', got " + std::to_string(f.size()) +
                     (f.size() == 1 ? " field" : " fields"));
    }
    Station s;
    s.name = std::string(f[0]);
    s.azimuth_deg = Number(f[1], "azimuth (degrees)", line);
    s.radius = Number(f[2], "radius (metres)", line);
    if (s.radius < 0) Fail(line, "the radius must be 0 or more, got '" + textio::Printable(f[2]) + "'");
    s.file = std::string(f[3]);
    s.line = line;
    const std::vector<std::string_view> parts = Parts(f[3]);  // views into `text`
    if (parts.size() != 1 && parts.size() != 3) {
      Fail(line, "expected one record file or three separated by commas (u,e,n), got " + std::to_string(parts.size()) +
                     " in '" + textio::Printable(s.file) + "'");
    }
    for (std::string_view part : parts) {
      if (part.empty()) Fail(line, "an empty record file name in '" + textio::Printable(s.file) + "' (expected u,e,n)");
      s.paths.push_back(folder_ / std::string(part));
    }
    s.path = parts.size() == 1 ? folder_ / s.file : s.paths[0];

    if (auto [it, fresh] = names_.emplace(s.name, line); !fresh) {
      Fail(line,
           "station name '" + textio::Printable(s.name) + "' is already used on line " + std::to_string(it->second));
    }
    for (size_t k = 0; k < s.paths.size(); ++k) {
      const std::string resolved = s.paths[k].lexically_normal().string();
      if (auto [it, fresh] = files_.emplace(resolved, line); !fresh) {
        Fail(line, "record file '" + textio::Printable(parts[k]) + "' is already used" +
                       (it->second == line ? " in this line" : " on line " + std::to_string(it->second)));
      }
    }
    if (s.radius == 0) {
      if (layout_.centre) {
        Fail(line, "second centre station (radius 0); the first is on line " +
                       std::to_string(layout_.stations[*layout_.centre].line));
      }
      layout_.centre = layout_.stations.size();
    }
    radius_text_.emplace_back(f[2]);
    layout_.stations.push_back(std::move(s));
  }

  Layout Finish(long last_line) {
    if (layout_.stations.empty()) {
      throw textio::InputError(layout_.file + ": no stations (expected lines 'name azimuth radius file')");
    }
    FormRings(last_line);
    return std::move(layout_);
  }

 private:
  double Number(std::string_view token, const char* what, long line) const {
    double v = 0;
    if (!textio::ParseDouble(token, &v) || !std::isfinite(v)) {
      Fail(line, std::string("expected a number for the ") + what + ", got '" + textio::Printable(token) + "'");
    }
    return v;
  }

  // Groups the circle stations by radius: in increasing order, a ring
  // takes every station within kRingTolerance of its smallest radius. The
  // bound has a margin of 1e-9 (relative) so that decimal radii exactly at
  // the limit, such as 10 and 10.05, are not split by binary rounding.
  void FormRings(long last_line) {
    std::vector<size_t> circle;
    for (size_t i = 0; i < layout_.stations.size(); ++i) {
      if (layout_.stations[i].radius > 0) circle.push_back(i);
    }
    if (circle.empty()) {
      throw textio::InputError(layout_.file + " line " + std::to_string(last_line) +
                               ": no ring (a ring needs at least 3 stations at one radius > 0)");
    }
    const auto& st = layout_.stations;
    std::stable_sort(circle.begin(), circle.end(), [&](size_t a, size_t b) { return st[a].radius < st[b].radius; });

    std::vector<Ring> rings;
    for (size_t i = 0; i < circle.size();) {
      const double smallest = st[circle[i]].radius;
      size_t j = i;
      while (j < circle.size() && st[circle[j]].radius - smallest <= smallest * (kRingTolerance + 1e-9)) ++j;
      Ring ring;
      ring.stations.assign(circle.begin() + static_cast<std::ptrdiff_t>(i),
                           circle.begin() + static_cast<std::ptrdiff_t>(j));
      std::sort(ring.stations.begin(), ring.stations.end());  // file order
      double sum = 0;
      for (size_t k : ring.stations) sum += st[k].radius;
      ring.radius = sum / static_cast<double>(ring.stations.size());
      if (ring.stations.size() < 3) {
        const Station& s = st[ring.stations.front()];
        Fail(s.line, "station '" + textio::Printable(s.name) + "' at radius " + radius_text_[ring.stations.front()] +
                         " m is on a ring of " + std::to_string(ring.stations.size()) +
                         (ring.stations.size() == 1 ? " station" : " stations") +
                         " (radii within 0.5 %); a ring needs at least 3");
      }
      rings.push_back(std::move(ring));
      i = j;
    }
    if (rings.size() > 2) {
      const size_t k = rings[2].stations.front();
      Fail(st[k].line, "station '" + textio::Printable(st[k].name) + "' at radius " + radius_text_[k] +
                           " m makes a third ring; at most two rings (outer and inner) are supported");
    }
    std::reverse(rings.begin(), rings.end());  // outer first
    layout_.rings = std::move(rings);
  }

  std::filesystem::path folder_;
  Layout layout_;
  std::vector<std::string> radius_text_;  // radii as written, for messages
  std::map<std::string, long> names_;     // station name -> line
  std::map<std::string, long> files_;     // resolved record path -> line
};

}  // namespace

Layout ParseLayout(std::istream& in, const std::string& file_name, const std::filesystem::path& folder) {
  Parser parser(file_name, folder);
  textio::LineSource lines(in);
  std::string_view line;
  while (lines.Next(&line)) parser.AddLine(line, lines.line_number());
  return parser.Finish(lines.line_number());
}

Layout ReadLayout(suite::Context& context, const std::string& name) {
  suite::InputFile& file = context.OpenInput(name);
  Layout layout = ParseLayout(file.stream(), name, std::filesystem::path(name).parent_path());
  context.Close(file);
  return layout;
}

}  // namespace array
