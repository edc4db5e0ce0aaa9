#include "curve/curve_table.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string_view>

#include "textio/errors.h"
#include "textio/fields.h"
#include "textio/line_source.h"
#include "textio/number.h"
#include "textio/printable.h"

namespace curve {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::string_view kSeparators = " \t\r,";

double NumberOr(std::string_view text, double otherwise) {
  double v = 0;
  return textio::ParseDouble(text, &v) ? v : otherwise;
}

class Parser {
 public:
  explicit Parser(std::string source) { table_.source = std::move(source); }

  void Add(std::string_view text, long line) {
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty()) return;
    if (trimmed.front() == '#') {
      if (table_.rows.empty()) table_.header.emplace_back(Trim(trimmed.substr(1)));
      return;  // later '#' lines are comments
    }
    if (table_.rows.empty()) SetColumns(line);
    std::vector<std::string_view> fields = textio::SplitFields(trimmed.substr(0, trimmed.find('#')), kSeparators);
    // A plain curve file may carry further columns after the standard
    // error, which every curve reader passes over.
    if (plain_ && fields.size() > table_.columns.size()) fields.resize(table_.columns.size());
    if (fields.size() != table_.columns.size()) {
      Fail(line, std::to_string(fields.size()) + " fields where the columns are " +
                     std::to_string(table_.columns.size()) +
                     (plain_ ? " ('frequency velocity standard_error': the standard error is needed in the third "
                               "column)"
                             : " (named by the header)"));
    }
    std::vector<std::string> row;
    for (std::string_view f : fields) row.emplace_back(f);
    Check(row, line);
    table_.rows.push_back(std::move(row));
    table_.row_lines.push_back(line);
  }

  CurveTable Finish() {
    if (table_.rows.empty()) throw textio::InputError(table_.source + ": no rows 'frequency velocity standard_error'");
    return std::move(table_);
  }

 private:
  static std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
  }

  [[noreturn]] void Fail(long line, const std::string& what) const {
    throw textio::InputError(table_.source + " line " + std::to_string(line) + ": " + what);
  }

  // The columns: named by the last header line if it starts with "freq c
  // c_se", else the three of a plain curve file.
  void SetColumns(long line) {
    if (!table_.header.empty()) {
      const std::vector<std::string_view> names = textio::SplitFields(table_.header.back(), kSeparators);
      if (names.size() >= 3 && names[0] == "freq" && names[1] == "c" && names[2] == "c_se") {
        for (std::string_view n : names) table_.columns.emplace_back(n);
        return;
      }
    }
    (void)line;
    plain_ = true;
    table_.columns = {"freq", "c", "c_se"};
  }

  void Check(const std::vector<std::string>& row, long line) {
    double f = 0, c = 0, se = 0;
    if (!textio::ParseDouble(row[0], &f) || !std::isnormal(f) || f < 0) {
      Fail(line, "the frequency must be a positive number, got '" + textio::Printable(row[0]) + "'");
    }
    if (!frequencies_.insert(f).second) Fail(line, "frequency " + row[0] + " Hz is given twice");
    if (!textio::ParseDouble(row[1], &c) || !(std::isnan(c) || (std::isnormal(c) && c > 0))) {
      Fail(line, "the velocity must be a positive number or nan, got '" + textio::Printable(row[1]) + "'");
    }
    if (std::isnan(c)) return;
    if (!textio::ParseDouble(row[2], &se) || !(std::isfinite(se) && se > 0)) {
      Fail(line, "the standard error must be a positive number, got '" + textio::Printable(row[2]) + "'");
    }
  }

  CurveTable table_;
  bool plain_ = false;
  std::set<double> frequencies_;
};

}  // namespace

bool Estimate::valid() const { return !std::isnan(c) && (flag.empty() || flag == kValidFlag); }

std::string CurveTable::writer() const {
  if (header.empty()) return "";
  const std::vector<std::string_view> words = textio::SplitFields(header.front(), " \t");
  return words.size() >= 2 && words[1] == "(circarray)" ? std::string(words[0]) : std::string();
}

std::optional<double> CurveTable::radius() const {
  for (const std::string& line : header) {
    if (!line.starts_with("curve of ring ")) continue;
    const size_t at = line.find("radius ");
    if (at == std::string::npos) continue;
    const std::vector<std::string_view> words = textio::SplitFields(std::string_view(line).substr(at + 7), " \t,");
    double r = 0;
    if (!words.empty() && textio::ParseDouble(words[0], &r) && r > 0 && std::isfinite(r)) return r;
  }
  return std::nullopt;
}

std::optional<size_t> CurveTable::Find(const std::string& name) const {
  const auto it = std::find(columns.begin(), columns.end(), name);
  if (it == columns.end()) return std::nullopt;
  return static_cast<size_t>(it - columns.begin());
}

std::vector<std::string> CurveTable::methods() const {
  std::vector<std::string> out;
  for (const std::string& c : columns) {
    if (!c.starts_with("c_") || c.ends_with("_se") || c == "c_se") continue;
    const std::string m = c.substr(2);
    if (Find("c_" + m + "_se") && Find("flag_" + m)) out.push_back(m);
  }
  return out;
}

std::vector<double> CurveTable::Column(const std::string& name) const {
  std::vector<double> out;
  const std::optional<size_t> at = Find(name);
  for (const std::vector<std::string>& row : rows) out.push_back(at ? NumberOr(row[*at], kNaN) : kNaN);
  return out;
}

std::vector<Estimate> CurveTable::EstimatesOf(const std::string& method) const {
  const std::optional<size_t> c = Find(method.empty() ? "c" : "c_" + method);
  const std::optional<size_t> se = Find(method.empty() ? "c_se" : "c_" + method + "_se");
  const std::optional<size_t> flag = method.empty() ? std::nullopt : Find("flag_" + method);
  std::vector<Estimate> out;
  if (!c || !se) return out;
  for (size_t i = 0; i < rows.size(); ++i) {
    Estimate e;
    e.f = NumberOr(rows[i][0], kNaN);
    e.c = NumberOr(rows[i][*c], kNaN);
    e.se = NumberOr(rows[i][*se], kNaN);
    if (flag) e.flag = rows[i][*flag];
    e.line = row_lines[i];
    if (!std::isnan(e.c)) out.push_back(std::move(e));
  }
  std::stable_sort(out.begin(), out.end(), [](const Estimate& a, const Estimate& b) { return a.f < b.f; });
  return out;
}

CurveTable ParseCurveTable(std::istream& in, const std::string& source) {
  Parser parser(source);
  textio::LineSource lines(in);
  std::string_view line;
  while (lines.Next(&line)) parser.Add(line, lines.line_number());
  return parser.Finish();
}

CurveTable ReadCurveTable(suite::Context& context, const std::string& name) {
  suite::InputFile& file = context.OpenInput(name);
  CurveTable table = ParseCurveTable(file.stream(), name);
  context.Close(file);
  return table;
}

}  // namespace curve
