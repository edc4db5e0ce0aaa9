#include "textio/printable.h"
#ifndef CIRCARRAY_RESULT_PLOT_TEXT_LINES_H_
#define CIRCARRAY_RESULT_PLOT_TEXT_LINES_H_

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace circplot {

// One line of an input, numbered from 1, without its line end (a
// carriage return before it is dropped too).
struct TextLine {
  long number = 0;
  std::string text;
};

// The whole input as lines. Inputs of circplot are results (a few hundred
// lines), so they are held whole: the kind of an input is decided by its
// content before any of it is used.
std::vector<TextLine> ReadLines(std::istream& in);

// The fields of a line, separated by blanks, tabs or commas.
std::vector<std::string_view> Fields(std::string_view line);

bool IsBlank(std::string_view line);

// `text` without leading and trailing blanks and tabs.
std::string_view Trimmed(std::string_view text);

// The message of a refused input line: "<source> line N: <what>".
std::string AtLine(std::string_view source, long line, std::string_view what);

// The line's text for a message: quoted, control bytes shown as \xNN and
// cut to 64 characters (textio::Printable).
std::string Shown(std::string_view text);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_TEXT_LINES_H_
