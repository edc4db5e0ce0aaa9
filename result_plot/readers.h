#ifndef CIRCARRAY_RESULT_PLOT_READERS_H_
#define CIRCARRAY_RESULT_PLOT_READERS_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "result_plot/inputs.h"
#include "result_plot/text_lines.h"

namespace circplot {

// Readers of each kind of input. Each takes the whole input as lines and
// throws textio::InputError naming the source and the first line that does
// not fit ("<source> line N: ...").

// Whether a line has the form of a line of each kind, for telling the
// kinds apart by the first line of an input.
bool StartsSpectraTable(std::string_view line);  // a '#' header line
bool IsVantorLine(std::string_view line);
bool IsFixedColumnLine(std::string_view line);  // quillon's output or its fort.7

// A circspec table: '#' header lines, one of them naming circspec, the
// last of them the column names "# freq name name_se ...", then one line
// of numbers per frequency.
SpectraTable ReadSpectraTable(const std::string& source, const std::vector<TextLine>& lines);

// A dispersion-curve table (curve/curve_table.h) as circspec --for curve
// and circdisp write it: its first header line names circspec or circdisp,
// its last names the columns "# freq c c_se ...".
bool IsVelocityTable(const std::vector<TextLine>& lines);
VelocityTable ReadVelocityTable(const std::string& source, const std::vector<TextLine>& lines);

// vantor's standard output, one line per frequency in one of the forms
//   frequency velocity velocity/(radius*frequency)   a root
//   frequency velocity SINGULAR_POINT                 a possible pole
//   frequency 999.0 NO_ROOT status observed           no root
ReadInput ReadVantorOutput(const std::string& source, const std::vector<TextLine>& lines);

// quillon's standard output "(e15.7,2a15,e15.7)": frequency, nsr0 or
// "    NO ROOT    ", nsr1 or "    1234567    ", dltmx; or its fort.7
// "(4e15.7)": frequency, velocity, 2*pi/rkmin, rkmin. The two are told
// apart by content: on every line of a fort.7 the third and fourth
// values multiply to 2*pi.
ReadInput ReadFixedColumns(const std::string& source, const std::vector<TextLine>& lines);

// The same, for a file that must be a fort.7.
ResolutionLimit ReadFort7(const std::string& source, const std::vector<TextLine>& lines);

// A program's message line that ended the run that wrote an input: the
// last non-blank line, starting with "ERROR" or "Error" (vantor and quillon
// write their messages so). Returns the index of that line, if any.
std::optional<size_t> StopMessageLine(const std::vector<TextLine>& lines);

// Calls visit(line) for every non-blank line of a program's output before
// the message line that ended its run, if any, and records that message
// in *read.
template <typename Visit>
void ForEachResultLine(const std::vector<TextLine>& lines, ReadInput* read, Visit visit) {
  const std::optional<size_t> stop = StopMessageLine(lines);
  for (size_t i = 0; i < lines.size(); ++i) {
    const TextLine& text = lines[i];
    if (IsBlank(text.text)) continue;
    if (stop && i == *stop) {
      read->stop_message = std::string(Trimmed(text.text));
      read->stop_line = text.number;
      return;
    }
    visit(text);
  }
}

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_READERS_H_
