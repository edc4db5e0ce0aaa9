#ifndef CIRCARRAY_RESULT_PLOT_READ_INPUTS_H_
#define CIRCARRAY_RESULT_PLOT_READ_INPUTS_H_

#include <string>
#include <vector>

#include "result_plot/inputs.h"
#include "result_plot/text_lines.h"

namespace circplot {

// Reads one INPUT of circplot, recognised by its content and never by its
// name: a circspec table or a dispersion-curve table (circspec --for
// curve, circdisp) by its '#' header, vantor's output by its line forms,
// quillon's output (and its fort.7) by their fixed 15-column fields.
// `source` names the input in messages. Throws textio::InputError naming
// the source and the line when the input is none of these.
ReadInput RecogniseInput(const std::string& source, const std::vector<TextLine>& lines);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_READ_INPUTS_H_
