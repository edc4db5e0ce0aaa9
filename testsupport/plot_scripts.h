#ifndef CIRCARRAY_TESTSUPPORT_PLOT_SCRIPTS_H_
#define CIRCARRAY_TESTSUPPORT_PLOT_SCRIPTS_H_

// The harness of circplot's script tests: a request drawn into a picture
// and its gnuplot script, and the readers of what the script holds (a
// curve's data block, the y range of each panel).

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "result_plot/picture.h"
#include "result_plot/read_inputs.h"
#include "result_plot/script.h"
#include "testsupport/plot_inputs.h"
#include "textio/fields.h"
#include "textio/number.h"

namespace circplot::testing {

inline Input Read(const std::string& source, const std::string& text) {
  return RecogniseInput(source, LinesOf(text)).input;
}

struct Drawn {
  Picture picture;
  std::string script;
  std::vector<std::string> notes;
};

inline Drawn Draw(Request request) {
  if (request.output.empty()) request.output = "out.png";
  Drawn d;
  d.picture = Compose(request, &d.notes);
  d.script = GnuplotScript(d.picture);
  return d;
}

// A request that draws the one output `text`, read as if from the file `source`.
inline Request OneInput(const std::string& source, const std::string& text) {
  Request request;
  request.inputs.push_back(Read(source, text));
  return request;
}

// The notes of a drawing: one note, holding `part`.
inline auto OneNoteWith(const std::string& part) { return ::testing::ElementsAre(::testing::HasSubstr(part)); }

// The numbers of a line of a script, separated by blanks, commas or colons.
inline std::vector<double> NumbersOf(const std::string& text) {
  std::vector<double> row;
  for (std::string_view field : textio::SplitFields(text, " \t,:")) {
    double v = 0.0;
    EXPECT_TRUE(textio::ParseDouble(field, &v)) << text;
    row.push_back(v);
  }
  return row;
}

// The rows of the data block whose comment line starts with `comment`; an
// empty row where a blank line breaks the line through the points.
inline std::vector<std::vector<double>> Block(const std::string& script, const std::string& comment) {
  std::vector<std::vector<double>> rows;
  const size_t at = script.find("# " + comment);
  if (at == std::string::npos) return rows;
  size_t line = script.find("<< EOD\n", at);
  if (line == std::string::npos) return rows;
  line += 7;
  while (true) {
    const size_t end = script.find('\n', line);
    const std::string text = script.substr(line, end - line);
    line = end + 1;
    if (text == "EOD") break;
    rows.push_back(text.empty() ? std::vector<double>{} : NumbersOf(text));
  }
  return rows;
}

// The ranges "set <axis>range [a:b]" the script sets, in order, as written
// (a > b for an axis that grows downward).
inline std::vector<std::pair<double, double>> Ranges(const std::string& script, const std::string& axis) {
  std::vector<std::pair<double, double>> ranges;
  const std::string command = "set " + axis + "range [";
  for (size_t at = script.find(command); at != std::string::npos; at = script.find(command, at + 1)) {
    const size_t begin = at + command.size();
    const std::vector<double> ab = NumbersOf(script.substr(begin, script.find(']', begin) - begin));
    if (ab.size() == 2) ranges.emplace_back(ab[0], ab[1]);
  }
  return ranges;
}

}  // namespace circplot::testing

#endif  // CIRCARRAY_TESTSUPPORT_PLOT_SCRIPTS_H_
