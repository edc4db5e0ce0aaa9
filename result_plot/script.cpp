#include "result_plot/script.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

void AppendData(std::string* script, const std::string& block, const Curve& curve) {
  const bool errors = curve.style == Style::kErrorLines;
  *script += "# " + curve.content + ": frequency (Hz)";
  if (curve.style != Style::kAxisMarks) *script += errors ? ", value, standard error" : ", value";
  *script += "\n" + block + " << EOD\n";
  for (const Point& p : curve.points) {
    if (p.gap_before) *script += "\n";  // a blank line breaks the line through the points
    textio::FreeLine line(script);
    line.Add(p.f);
    if (curve.style != Style::kAxisMarks) line.Add(p.v);
    if (errors) line.Add(p.se);
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
  }
  return e + " title " + GnuplotString(curve.label);
}

// Tics of a logarithmic frequency axis at 1, 2 and 5 times the powers of
// ten, or at every digit when the axis spans too little for that: gnuplot
// alone would label the powers of ten only.
std::vector<double> LogTics(double fmin, double fmax) {
  const int first = static_cast<int>(std::floor(std::log10(fmin)));
  const int last = static_cast<int>(std::ceil(std::log10(fmax)));
  for (const std::vector<int>& mantissas : {std::vector<int>{1, 2, 5}, std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}}) {
    std::vector<double> tics;
    for (int e = first; e <= last; ++e) {
      for (int m : mantissas) {
        const double v = m * std::pow(10.0, e);
        if (v >= fmin && v <= fmax) tics.push_back(v);
      }
    }
    if (tics.size() >= 4 || mantissas.size() > 3) return tics;
  }
  return {};
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

int PictureHeight(const Picture& picture) {
  const int panels = static_cast<int>(picture.panels.size());
  return 40 + kPanelHeight * (panels > 0 ? panels : 1);
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
      if (!curve.points.empty()) AppendData(&s, block, curve);
    }
  }

  const std::string size = "size " + std::to_string(kPictureWidth) + "," + std::to_string(PictureHeight(picture));
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
  s += "set multiplot layout " + std::to_string(picture.panels.size()) + ",1 title " + GnuplotString(picture.title) +
       "\n";
  s += "# One frequency axis for every panel, so that features line up.\n";
  s += picture.log_x ? "set logscale x\n" : "unset logscale x\n";
  s += "set xrange " + Range(picture.fmin, picture.fmax) + "\n";
  if (picture.log_x) {
    const std::vector<double> tics = LogTics(picture.fmin, picture.fmax);
    if (!tics.empty()) {
      std::string list;
      for (double t : tics) list += (list.empty() ? "" : ", ") + Number(t);
      s += "set xtics (" + list + ")\n";
    }
  }
  s += "set format x '%g'\n";
  s += "set xlabel 'frequency (Hz)'\n";
  s += "set grid\n";
  s += "set key opaque box\n";
  s += "# The marks of frequencies without a value sit on the frequency axis.\n";
  s += "set y2range [0:1]\n";

  for (size_t i = 0; i < picture.panels.size(); ++i) {
    const Panel& panel = picture.panels[i];
    s += "\n# Panel " + std::to_string(i + 1) + " of " + std::to_string(picture.panels.size()) + "\n";
    s += "set title " + GnuplotString(panel.title) + "\n";
    s += "set ylabel " + GnuplotString(panel.ylabel) + "\n";
    s += panel.log_y ? "set logscale y\n" : "unset logscale y\n";
    const std::string range = FixedYRange(panel);
    s += range.empty() ? "set autoscale y\n" : "set yrange " + range + "\n";
    // The numbers of a panel of marks alone would mean nothing.
    s += range == "[0:1]" ? "unset ytics\n" : "set ytics\n";
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
