#ifndef CIRCARRAY_RESULT_PLOT_SCRIPT_H_
#define CIRCARRAY_RESULT_PLOT_SCRIPT_H_

#include <string>

#include "result_plot/picture.h"

namespace circplot {

// The gnuplot script that draws `picture`. It is self-contained: every
// curve's data are inline ("$b1 << EOD" blocks), so the script alone
// redraws the picture. It picks the pngcairo terminal when this gnuplot
// has it, else png (svg for an .svg picture), and opens the picture under
// the name in picture.output, relative to the directory gnuplot runs in.
std::string GnuplotScript(const Picture& picture);

// `text` as a gnuplot string in single quotes: a quote doubled, control
// characters (which would end the script's line) replaced by blanks.
std::string GnuplotString(const std::string& text);

// Pixels per panel and the width of the picture.
inline constexpr int kPictureWidth = 1000;
inline constexpr int kPanelHeight = 380;
int PictureHeight(const Picture& picture);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_SCRIPT_H_
