#include "result_plot/read_inputs.h"
#include "result_plot/readers.h"
#include "textio/errors.h"

namespace circplot {

std::optional<size_t> StopMessageLine(const std::vector<TextLine>& lines) {
  for (size_t i = lines.size(); i-- > 0;) {
    const std::string_view text = Trimmed(lines[i].text);
    if (text.empty()) continue;
    if (text.starts_with("ERROR") || text.starts_with("Error")) return i;
    return std::nullopt;
  }
  return std::nullopt;
}

ReadInput RecogniseInput(const std::string& source, const std::vector<TextLine>& lines) {
  const TextLine* first = nullptr;
  for (const TextLine& line : lines) {
    if (!IsBlank(line.text)) {
      first = &line;
      break;
    }
  }
  if (first == nullptr) throw textio::InputError(source + ": no lines to draw (the input is empty)");
  // The first line decides which reader takes the input; that reader then
  // names the first line that does not fit its kind. Of a '#' header, its
  // first and last lines tell a dispersion-curve table from a circspec
  // table of spectra.
  if (StartsSpectraTable(first->text)) {
    if (IsVelocityTable(lines)) return {ReadVelocityTable(source, lines), std::nullopt, 0};
    return {ReadSpectraTable(source, lines), std::nullopt, 0};
  }
  if (IsFixedColumnLine(first->text)) return ReadFixedColumns(source, lines);
  if (IsVantorLine(first->text)) return ReadVantorOutput(source, lines);
  throw textio::InputError(AtLine(source, first->number,
                                  "not a circspec table ('#' header), vantor output (frequency velocity ...) "
                                  "or quillon output (four 15-column fields): " +
                                      Shown(first->text)));
}

}  // namespace circplot
