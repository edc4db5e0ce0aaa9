#include <cmath>

#include "result_plot/readers.h"
#include "textio/errors.h"
#include "textio/number.h"

namespace circplot {

namespace {

constexpr std::string_view kErrorSuffix = "_se";

// The column names of a header line "# freq spac spac_se ...".
std::vector<std::string> ColumnNames(std::string_view line) {
  std::vector<std::string> names;
  const std::string_view body = Trimmed(line).substr(1);  // after the '#'
  for (std::string_view field : Fields(body)) names.emplace_back(field);
  return names;
}

bool IsErrorColumn(const std::string& name) { return name.ends_with(kErrorSuffix); }

}  // namespace

bool StartsSpectraTable(std::string_view line) { return Trimmed(line).starts_with('#'); }

SpectraTable ReadSpectraTable(const std::string& source, const std::vector<TextLine>& lines) {
  // The header: the '#' lines before the first line of numbers.
  size_t i = 0;
  bool names_circspec = false;
  const TextLine* names_line = nullptr;
  long first_header_line = 0;
  for (; i < lines.size(); ++i) {
    if (IsBlank(lines[i].text)) continue;
    if (!StartsSpectraTable(lines[i].text)) break;
    if (first_header_line == 0) first_header_line = lines[i].number;
    if (lines[i].text.find("circspec") != std::string::npos) names_circspec = true;
    names_line = &lines[i];
  }
  if (!names_circspec) {
    throw textio::InputError(
        AtLine(source, first_header_line,
               "a '#' header that does not name circspec: not a circspec table, nor a dispersion-curve table "
               "(first header line '# circspec ...' or '# circdisp ...', last '# freq c c_se ...')"));
  }
  const std::vector<std::string> names = ColumnNames(names_line->text);
  if (names.empty() || names[0] != "freq") {
    throw textio::InputError(AtLine(source, names_line->number,
                                    "the last header line of a circspec table names the columns "
                                    "('# freq spac spac_se ...'), not " +
                                        Shown(names_line->text)));
  }

  // Which column holds each quantity and its standard error.
  SpectraTable table;
  table.source = source;
  std::vector<size_t> value_column, error_column;
  constexpr size_t kNone = static_cast<size_t>(-1);
  for (size_t c = 1; c < names.size(); ++c) {
    if (IsErrorColumn(names[c]) || names[c] == "segments") continue;
    size_t se = kNone;
    for (size_t d = 1; d < names.size(); ++d) {
      if (names[d] == names[c] + std::string(kErrorSuffix)) se = d;
    }
    table.quantities.push_back({names[c], se != kNone, {}, 0});
    value_column.push_back(c);
    error_column.push_back(se);
  }

  long rows = 0;
  std::vector<double> values(names.size());
  for (; i < lines.size(); ++i) {
    const TextLine& line = lines[i];
    if (IsBlank(line.text) || StartsSpectraTable(line.text)) continue;  // later '#' lines are comments
    const std::vector<std::string_view> fields = Fields(line.text);
    if (fields.size() != names.size()) {
      throw textio::InputError(AtLine(source, line.number,
                                      std::to_string(fields.size()) + " values where the header (line " +
                                          std::to_string(names_line->number) + ") names " +
                                          std::to_string(names.size()) + " columns"));
    }
    for (size_t c = 0; c < fields.size(); ++c) {
      if (!textio::ParseDouble(fields[c], &values[c])) {
        throw textio::InputError(
            AtLine(source, line.number, "the value of column '" + names[c] + "' is not a number: " + Shown(fields[c])));
      }
    }
    ++rows;
    for (size_t q = 0; q < table.quantities.size(); ++q) {
      Quantity& quantity = table.quantities[q];
      const double v = values[value_column[q]];
      if (!std::isfinite(values[0]) || !std::isfinite(v)) {
        ++quantity.not_finite;
        continue;
      }
      // A value whose error could not be estimated is drawn without a bar.
      double se = error_column[q] == kNone ? 0.0 : values[error_column[q]];
      if (!std::isfinite(se)) se = 0.0;
      quantity.points.push_back({values[0], v, se});
    }
  }
  if (rows == 0) throw textio::InputError(source + ": a circspec table without data lines");
  return table;
}

}  // namespace circplot
