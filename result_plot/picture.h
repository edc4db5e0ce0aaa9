#ifndef CIRCARRAY_RESULT_PLOT_PICTURE_H_
#define CIRCARRAY_RESULT_PLOT_PICTURE_H_

#include <optional>
#include <string>
#include <vector>

#include "result_plot/axis_range.h"
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
  kLimit,        // a resolution limit (quillon's, or lambda_max(eps) of a ring)
  kWavelength,   // the line lambda = 2 r of a ring
  kErrorBars,    // values with standard-error bars, not joined (an observed curve)
  kHollowBars,   // doubtful values with their bars as open marks (invalid estimates)
  kBand,         // the band between two curves: from v up to `upper`
  kModel,        // a model's curve, a line in a measured curve's colour
  kShaded,       // lines coloured by `upper` on the panel's colour scale (models by misfit)
  kQuantile,     // an outer quantile line (10 %, 90 %)
  kMedian,       // the median line
};

// What a curve's values do to the y range of a panel that takes it from
// its data (Panel::range_from_data).
enum class Span {
  kData,       // measured values: the range spans them and their error bars
  kReference,  // a true curve: spans the range only when no measured value does; else clipped to it
  kLine,       // a limit line: clipped to the range (spans it only when there is nothing else)
  kPoint,      // doubtful points: drawn where they fall within the range, counted in the legend where not
};

struct Curve {
  std::string label;    // the legend entry ("" for none)
  std::string content;  // what its data are, as a comment above them in the script
  Style style = Style::kLinesPoints;
  int colour = 0;  // index into the palette of measured curves
  std::vector<Point> points;
  Span span = Span::kData;
};

// What the horizontal axis of a panel shows.
enum class XAxis {
  kFrequency,      // the picture's frequency axis, shared by every such panel
  kShearVelocity,  // shear velocity (a profile), the panel's own linear axis
};

// One plot of the picture: one quantity against frequency, or a profile.
struct Panel {
  std::string title;
  std::string ylabel;
  bool log_y = false;
  std::string key = "top right";  // where the legend sits
  // Room above the values for the legend, as a fraction of their span
  // (0: the legend found a free corner).
  double headroom = 0.0;
  std::vector<Curve> curves;

  XAxis x_axis = XAxis::kFrequency;
  AxisRange xrange;  // kShearVelocity: its range
  // Compose sets the y range from the kData curves (with a margin) and
  // clips the lines of the others to it; log_y then holds only where all
  // those values are positive.
  bool range_from_data = false;
  std::optional<AxisRange> yrange;  // a fixed y range; none: gnuplot's autoscaling
  bool y_downward = false;          // the y axis grows downward (depth)
  bool half_width = false;          // shares its row with the half-width panel next to it
  // The colour scale of kShaded curves: what it stands for and its range.
  std::string colour_label;
  AxisRange colour_range;
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
  bool all = false;  // --all: invalid estimates of curve tables drawn hollow
};

// Lays the request out as panels: per circspec table its SPAC coefficients,
// its CCA ratio and its ratio spac_t/spac_r (each where the table has the
// column); one panel of phase velocities for all vantor outputs and
// dispersion-curve tables with the resolution limits, the arrays' limit
// lines and the true curve, on logarithmic axes with the y range from the
// measured velocities; one panel of noise-to-signal ratios for all
// quillon outputs; per circinv result directory a row of two panels, the
// shear-velocity profile and the fit to the observed curves. Things the user should know about the
// picture (a curve that cannot be drawn, a frequency axis that cannot be
// logarithmic) are added to *notes.
Picture Compose(const Request& request, std::vector<std::string>* notes);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_PICTURE_H_
