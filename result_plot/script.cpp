#include "result_plot/script.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "result_plot/axis_range.h"
#include "textio/format.h"
#include "textio/output.h"

namespace circplot {

namespace {

// Colours of the measured curves (colour-blind-safe where it matters:
// blue, vermilion, green, purple, orange, brown).
constexpr const char* kPalette[] = {"#0072b2", "#d55e00", "#009e73", "#cc79a7", "#e69f00", "#8c564b"};

// Where the marks of frequencies without a value sit: just above the
// frequency axis, on the second y axis that runs from 0 to 1.
constexpr const char* kMarkHeight = "0.03";

const char* Colour(int index) {
  constexpr int n = static_cast<int>(sizeof kPalette / sizeof kPalette[0]);
  return kPalette[((index % n) + n) % n];
}

// A number in a command of the script, exact to the last bit.
std::string Number(double v) {
  const std::string field = textio::FreeReal(v);
  const size_t first = field.find_first_not_of(' ');
  const size_t last = field.find_last_not_of(' ');
  return field.substr(first, last - first + 1);
}

// The names of a curve's columns, for the comment above its data.
std::string ColumnNames(const Panel& panel, const Curve& curve) {
  std::string names = panel.x_axis == XAxis::kFrequency ? "frequency (Hz)" : "vs (m/s)";
  if (curve.style == Style::kAxisMarks) return names;
  names += panel.x_axis == XAxis::kFrequency ? ", value" : ", depth (m)";
  switch (curve.style) {
    case Style::kErrorLines:
    case Style::kErrorBars:
    case Style::kHollowBars:
      return names + ", standard error";
    case Style::kBand:
      return names + " (lower edge), upper edge";
    case Style::kShaded:
      return names + ", " + panel.colour_label;
    default:
      return names;
  }
}

// The columns a style draws: frequency and value, and which third.
enum class Third { kNone, kError, kUpper };
Third ThirdColumn(Style style) {
  switch (style) {
    case Style::kErrorLines:
    case Style::kErrorBars:
    case Style::kHollowBars:
      return Third::kError;
    case Style::kBand:
    case Style::kShaded:
      return Third::kUpper;
    default:
      return Third::kNone;
  }
}

void AppendData(std::string* script, const std::string& block, const Panel& panel, const Curve& curve) {
  const Third third = ThirdColumn(curve.style);
  *script += "# " + curve.content + ": " + ColumnNames(panel, curve);
  *script += "\n" + block + " << EOD\n";
  for (const Point& p : curve.points) {
    if (p.gap_before) *script += "\n";  // a blank line breaks the line through the points
    textio::FreeLine line(script);
    line.Add(p.f);
    if (curve.style != Style::kAxisMarks) line.Add(p.v);
    if (third == Third::kError) line.Add(p.se);
    if (third == Third::kUpper) line.Add(p.upper);
    line.End();
  }
  *script += "EOD\n\n";
}

std::string PlotElement(const std::string& block, const Curve& curve) {
  const std::string colour = std::string("lc rgb '") + Colour(curve.colour) + "'";
  std::string e = block + " using ";
  switch (curve.style) {
    case Style::kErrorLines:
      e += "1:2:3 with yerrorlines " + colour + " lw 1.5 pt 7 ps 0.5";
      break;
    case Style::kLinesPoints:
      e += "1:2 with linespoints " + colour + " lw 1.5 pt 7 ps 0.8";
      break;
    case Style::kOpenPoints:
      e += "1:2 with points " + colour + " pt 6 ps 1.6";
      break;
    case Style::kAxisMarks:
      e += std::string("1:(") + kMarkHeight + ") axes x1y2 with points " + colour + " pt 9 ps 1.6";
      break;
    case Style::kTheory:
      e += "1:2 with lines lc rgb 'black' lw 1.5";
      break;
    case Style::kReference:
      e += "1:2 with lines lc rgb 'black' lw 2";
      break;
    case Style::kLimit:
      e += "1:2 with lines lc rgb '#555555' lw 2 dt 2";
      break;
    case Style::kWavelength:
      e += "1:2 with lines lc rgb '#555555' lw 2 dt 3";
      break;
    case Style::kErrorBars:
      e += "1:2:3 with yerrorbars " + colour + " pt 7 ps 0.6";
      break;
    case Style::kHollowBars:
      e += "1:2:3 with yerrorbars " + colour + " pt 6 ps 1.0";
      break;
    case Style::kBand:
      e += "1:2:3 with filledcurves " + colour + " fs transparent solid 0.25 noborder";
      break;
    case Style::kModel:
      e += "1:2 with lines " + colour + " lw 2.5";
      break;
    case Style::kShaded:
      e += "1:2:3 with lines lc palette lw 1";
      break;
    case Style::kQuantile:
      e += "1:2 with lines lc rgb 'black' lw 1.5 dt 2";
      break;
    case Style::kMedian:
      e += "1:2 with lines lc rgb 'black' lw 2";
      break;
  }
  return e + (curve.label.empty() ? " notitle" : " title " + GnuplotString(curve.label));
}

// "[lo:hi]", appended piece by piece (GCC 12 warns falsely of overlapping
// copies in a chain of + on strings here).
std::string Range(double lo, double hi) {
  std::string range = "[";
  range += Number(lo);
  range += ':';
  range += Number(hi);
  range += ']';
  return range;
}

// The y range of a panel's values and their error bars, when gnuplot's
// autoscaling would not do: "[0:1]" for a panel of marks alone (it still
// needs a range), a range around the value when every value is the same
// (gnuplot would warn of an empty range); "" otherwise.
std::string FixedYRange(const Panel& panel) {
  double lo = INFINITY, hi = -INFINITY;
  for (const Curve& c : panel.curves) {
    if (c.style == Style::kAxisMarks) continue;
    for (const Point& p : c.points) {
      lo = std::min(lo, p.v - p.se);
      hi = std::max(hi, p.v + p.se);
    }
  }
  if (!(lo <= hi)) return "[0:1]";
  if (lo < hi) return "";
  if (panel.log_y) return Range(lo / 2.0, lo * 2.0);
  const double pad = lo != 0.0 ? 0.1 * std::fabs(lo) : 1.0;
  return Range(lo - pad, lo + pad);
}

}  // namespace

std::string GnuplotString(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "''";
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      quoted += ' ';
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

namespace {

// Which row of the picture each panel takes, and whether it is the right
// one of two beside each other: a half-width panel shares its row with a
// half-width panel that follows it.
struct Place {
  int row = 0;
  bool right = false;
};
std::vector<Place> Layout(const Picture& picture, int* rows) {
  std::vector<Place> places;
  int row = -1;
  for (size_t i = 0; i < picture.panels.size(); ++i) {
    const bool beside =
        i > 0 && picture.panels[i].half_width && picture.panels[i - 1].half_width && !places.back().right;
    if (!beside) ++row;
    places.push_back({row, beside});
  }
  *rows = row + 1;
  return places;
}

bool AllFullWidth(const Picture& picture) {
  for (const Panel& panel : picture.panels) {
    if (panel.half_width) return false;
  }
  return true;
}

// The commands of the shared frequency axis.
std::string FrequencyAxis(const Picture& picture) {
  std::string s;
  s += picture.log_x ? "set logscale x\n" : "unset logscale x\n";
  s += "set xrange " + Range(picture.fmin, picture.fmax) + "\n";
  const std::vector<double> tics = picture.log_x ? LogTics(picture.fmin, picture.fmax) : std::vector<double>{};
  if (!tics.empty()) {
    std::string list;
    for (double t : tics) list += (list.empty() ? "" : ", ") + Number(t);
    s += "set xtics (" + list + ")\n";
  } else {
    s += "set xtics autofreq\n";
  }
  s += "set xlabel 'frequency (Hz)'\n";
  return s;
}

// The y axis of one panel: range, scale and tics. A logarithmic scale is
// set after the panel's range, a linear one before it: a range of the
// panel before that a logarithmic scale cannot hold (a depth from 0) makes
// gnuplot warn.
std::string YAxis(const Panel& panel) {
  std::string range_command;
  std::string tics = "set ytics autofreq\n";
  if (panel.yrange) {
    const AxisRange r = *panel.yrange;
    range_command = "set yrange " + (panel.y_downward ? Range(r.hi, r.lo) : Range(r.lo, r.hi)) + "\n";
    const std::vector<double> log_tics = panel.log_y ? LogTics(r.lo, r.hi) : std::vector<double>{};
    if (!log_tics.empty()) {
      std::string list;
      for (double t : log_tics) list += (list.empty() ? "" : ", ") + Number(t);
      tics = "set ytics (" + list + ")\n";
    }
  } else {
    const std::string range = FixedYRange(panel);
    range_command = range.empty() ? "set autoscale y\n" : "set yrange " + range + "\n";
    // The numbers of a panel of marks alone would mean nothing.
    if (range == "[0:1]") tics = "unset ytics\n";
  }
  if (panel.log_y) return range_command + "set logscale y\n" + tics;
  return "unset logscale y\n" + range_command + tics;
}

// The colour scale of the shaded curves (models by misfit): dark blue for
// the lowest values, so that the best models stand out on top.
std::string ColourScale(const Panel& panel) {
  if (panel.colour_label.empty()) return "unset colorbox\n";
  std::string s = "set palette defined (0 '#08306b', 1 '#9ecae1')\n";
  s += "set cbrange " + Range(panel.colour_range.lo, panel.colour_range.hi) + "\n";
  s += "set cblabel " + GnuplotString(panel.colour_label) + "\n";
  s += "set colorbox\n";
  return s;
}

}  // namespace

int PictureHeight(const Picture& picture) {
  int rows = 0;
  Layout(picture, &rows);
  return 40 + kPanelHeight * (rows > 0 ? rows : 1);
}

std::string GnuplotScript(const Picture& picture) {
  std::string s;
  s += "# gnuplot script written by circplot: " + std::string(GnuplotString(picture.title)) + "\n";
  s += "# It holds its data, so it redraws the picture alone. Run it in the directory\n";
  s += "# where circplot ran (the picture's name is relative to it): gnuplot SCRIPT\n\n";

  // The data, one block per curve.
  std::vector<std::vector<std::string>> blocks(picture.panels.size());
  int count = 0;
  for (size_t i = 0; i < picture.panels.size(); ++i) {
    for (const Curve& curve : picture.panels[i].curves) {
      const std::string block = "$b" + std::to_string(++count);
      blocks[i].push_back(block);
      if (!curve.points.empty()) AppendData(&s, block, picture.panels[i], curve);
    }
  }

  const int height = PictureHeight(picture);
  const std::string size = "size " + std::to_string(kPictureWidth) + "," + std::to_string(height);
  if (picture.format == Format::kSvg) {
    s += "set terminal svg " + size + " font 'sans,10' noenhanced background rgb 'white'\n";
  } else {
    s += "# pngcairo draws smooth lines and text; the plain png terminal does where it is missing.\n";
    s += "if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {\n";
    s += "  set terminal pngcairo " + size + " font 'sans,10' noenhanced\n";
    s += "} else {\n";
    s += "  set terminal png " + size + " noenhanced\n";
    s += "}\n";
  }
  s += "set output " + GnuplotString(picture.output) + "\n";
  int rows = 0;
  const std::vector<Place> places = Layout(picture, &rows);
  // Panels across the picture stack by gnuplot's layout; a row of two
  // panels beside each other needs each placed by hand, below the title.
  const bool stacked = AllFullWidth(picture);
  if (stacked) {
    s += "set multiplot layout " + std::to_string(picture.panels.size()) + ",1 title " + GnuplotString(picture.title) +
         "\n";
  } else {
    s += "set multiplot title " + GnuplotString(picture.title) + "\n";
  }
  s += "# One frequency axis for every panel, so that features line up.\n";
  s += FrequencyAxis(picture);
  s += "# Tics in their shortest form: 100, 0.5, 0.001.\n";
  s += "set format x '%g'\n";
  s += "set format y '%g'\n";
  s += "set format cb '%g'\n";
  s += "set grid\n";
  s += "set key opaque box\n";
  s += "# The marks of frequencies without a value sit on the frequency axis.\n";
  s += "set y2range [0:1]\n";

  const double row_height = static_cast<double>(kPanelHeight) / height;
  bool frequency_axis = true;  // the x axis is set for frequency
  for (size_t i = 0; i < picture.panels.size(); ++i) {
    const Panel& panel = picture.panels[i];
    s += "\n# Panel " + std::to_string(i + 1) + " of " + std::to_string(picture.panels.size()) + "\n";
    if (!stacked) {
      const double x = places[i].right ? 0.5 : 0.0;
      const double y = static_cast<double>(rows - 1 - places[i].row) * row_height;
      s += "set origin " + Number(x) + ", " + Number(y) + "\n";
      s += "set size " + Number(panel.half_width ? 0.5 : 1.0) + ", " + Number(row_height) + "\n";
    }
    if (panel.x_axis == XAxis::kShearVelocity) {
      s += "unset logscale x\n";
      s += "set xrange " + Range(panel.xrange.lo, panel.xrange.hi) + "\n";
      s += "set xtics autofreq\n";
      s += "set xlabel 'shear velocity vs (m/s)'\n";
      frequency_axis = false;
    } else if (!frequency_axis) {
      s += FrequencyAxis(picture);
      frequency_axis = true;
    }
    s += "set title " + GnuplotString(panel.title) + "\n";
    s += "set ylabel " + GnuplotString(panel.ylabel) + "\n";
    s += YAxis(panel);
    s += ColourScale(panel);
    s += "set key " + panel.key + "\n";
    s += panel.headroom > 0.0 ? "set offsets 0, 0, graph " + Number(panel.headroom) + ", 0\n"
                              : "set offsets 0, 0, 0, 0\n";
    std::string plot = "plot ";
    bool first = true;
    for (size_t k = 0; k < panel.curves.size(); ++k) {
      if (panel.curves[k].points.empty()) continue;
      if (!first) plot += ", \\\n     ";
      plot += PlotElement(blocks[i][k], panel.curves[k]);
      first = false;
    }
    s += plot + "\n";
  }
  s += "\nunset multiplot\n";
  s += "set output\n";
  return s;
}

}  // namespace circplot
