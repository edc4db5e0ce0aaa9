#include <algorithm>
#include <cmath>
#include <sstream>

#include "curve/curve_table.h"
#include "result_plot/readers.h"
#include "textio/number.h"

namespace circplot {

namespace {

constexpr std::string_view kWriters[] = {"circspec", "circdisp"};

// The '#' lines before the first line of numbers, without their '#'.
std::vector<std::string_view> HeaderLines(const std::vector<TextLine>& lines) {
  std::vector<std::string_view> header;
  for (const TextLine& line : lines) {
    const std::string_view text = Trimmed(line.text);
    if (text.empty()) continue;
    if (!text.starts_with('#')) break;
    header.push_back(text.substr(1));
  }
  return header;
}

// The station count beside the radius on the line "curve of ring 1:
// radius 10 m, 5 stations" (the line CurveTable::radius() reads).
std::optional<int> Stations(const curve::CurveTable& table) {
  for (const std::string& line : table.header) {
    if (!line.starts_with("curve of ring ") || line.find("radius ") == std::string::npos) continue;
    const std::vector<std::string_view> words = Fields(line);
    for (size_t i = 1; i < words.size(); ++i) {
      int32_t n = 0;
      if (words[i].starts_with("station") && textio::ParseInt32(words[i - 1], &n) && n > 0) return n;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

// One method's estimates (or the best column's, method ""), valid and
// invalid apart. A line through the valid ones is broken where a row of
// the table without a valid estimate lies between two of them.
VelocityTable::Series SeriesOf(const curve::CurveTable& table, const std::string& method,
                               const std::vector<double>& frequencies) {
  VelocityTable::Series series;
  series.method = method;
  double last_valid = -INFINITY;
  for (const curve::Estimate& e : table.EstimatesOf(method)) {
    const Point point{e.f, e.c, std::isfinite(e.se) ? e.se : 0.0};
    if (!e.valid()) {
      series.invalid.push_back(point);
      ++series.invalid_flags[e.flag];
      continue;
    }
    series.valid.push_back(point);
    if (series.valid.size() > 1) {
      const auto between = std::upper_bound(frequencies.begin(), frequencies.end(), last_valid);
      series.valid.back().gap_before = between != frequencies.end() && *between < e.f;
    }
    last_valid = e.f;
  }
  return series;
}

}  // namespace

bool IsVelocityTable(const std::vector<TextLine>& lines) {
  const std::vector<std::string_view> header = HeaderLines(lines);
  if (header.empty()) return false;
  const std::vector<std::string_view> first = Fields(header.front());
  if (first.empty() || std::find(std::begin(kWriters), std::end(kWriters), first[0]) == std::end(kWriters)) {
    return false;
  }
  const std::vector<std::string_view> names = Fields(header.back());
  return names.size() >= 3 && names[0] == "freq" && names[1] == "c" && names[2] == "c_se";
}

VelocityTable ReadVelocityTable(const std::string& source, const std::vector<TextLine>& lines) {
  // The table's own reader, on the text as it came (one line per TextLine,
  // so its line numbers are the input's).
  std::string text;
  for (const TextLine& line : lines) {
    text += line.text;
    text += '\n';
  }
  std::istringstream in(text);
  const curve::CurveTable table = curve::ParseCurveTable(in, source);

  VelocityTable read;
  read.source = source;
  read.writer = std::string(Fields(HeaderLines(lines).front())[0]);
  std::vector<double> frequencies = table.Column("freq");
  std::sort(frequencies.begin(), frequencies.end());
  const std::vector<std::string> methods = table.methods();
  if (read.writer == "circspec" && !methods.empty()) {
    for (const std::string& method : methods) read.series.push_back(SeriesOf(table, method, frequencies));
  } else {
    read.series.push_back(SeriesOf(table, "", frequencies));
  }
  read.radius = table.radius();
  read.stations = Stations(table);
  if (table.Find("eps")) {
    const std::vector<double> f = table.Column("freq");
    const std::vector<double> eps = table.Column("eps");
    for (size_t i = 0; i < f.size(); ++i) {
      if (std::isfinite(eps[i]) && eps[i] >= 0.0) read.eps.push_back({f[i], eps[i]});
    }
    std::sort(read.eps.begin(), read.eps.end(), [](const Point& a, const Point& b) { return a.f < b.f; });
  }
  return read;
}

}  // namespace circplot
