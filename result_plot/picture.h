#ifndef CIRCARRAY_RESULT_PLOT_PICTURE_H_
#define CIRCARRAY_RESULT_PLOT_PICTURE_H_

#include <optional>
#include <string>
#include <vector>

#include "result_plot/inputs.h"

namespace circplot {

// The picture file's kind, from the name given to --output.
enum class Format { kPng, kSvg };

// How a curve is drawn.
enum class Style {
  kErrorLines,   // measured values joined by lines, with standard-error bars
  kLinesPoints,  // measured values joined by lines (broken where a value is missing)
  kOpenPoints,   // separate open marks: values that are doubtful (possible poles)
  kAxisMarks,    // marks on the frequency axis: frequencies that have no value
  kTheory,       // a curve computed from the true dispersion curve
  kReference,    // the true dispersion curve
  kLimit,        // quillon's resolution limit
};

struct Curve {
  std::string label;    // the legend entry
  std::string content;  // what its data are, as a comment above them in the script
  Style style = Style::kLinesPoints;
  int colour = 0;  // index into the palette of measured curves
  std::vector<Point> points;
};

// One plot of the picture: one quantity against frequency.
struct Panel {
  std::string title;
  std::string ylabel;
  bool log_y = false;
  std::string key = "top right";  // where the legend sits
  // Room above the values for the legend, as a fraction of their span
  // (0: the legend found a free corner).
  double headroom = 0.0;
  std::vector<Curve> curves;
};

// The whole picture: panels stacked over one frequency axis.
struct Picture {
  std::string title;
  std::string output;  // the picture file, as gnuplot is to open it
  Format format = Format::kPng;
  bool log_x = true;
  double fmin = 1.0, fmax = 10.0;  // the frequency axis
  std::vector<Panel> panels;
};

// What the command line asks for.
struct Request {
  std::vector<Input> inputs;
  std::vector<ResolutionLimit> limits;  // --fort7 (and fort.7 files given as inputs)
  std::optional<TrueCurve> truth;       // --true
  std::optional<double> radius;         // --radius
  std::string title;                    // --title ("" = from the inputs' names)
  std::string output;
  Format format = Format::kPng;
};

// Lays the request out as panels: per circspec table its SPAC coefficients,
// its CCA ratio and its ratio spac_t/spac_r (each where the table has the
// column); one panel of phase velocities for all vantor outputs with the
// resolution limits and the true curve; one panel of noise-to-signal
// ratios for all quillon outputs. Things the user should know about the
// picture (a curve that cannot be drawn, a frequency axis that cannot be
// logarithmic) are added to *notes.
Picture Compose(const Request& request, std::vector<std::string>* notes);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_PICTURE_H_
