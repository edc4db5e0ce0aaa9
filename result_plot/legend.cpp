#include "result_plot/legend.h"

#include <algorithm>
#include <cmath>

namespace circplot {

namespace {

// What hiding a mark of a frequency without a value under the legend
// costs, counted in points of curves.
constexpr long kHiddenMarkCost = 1000;
// The width of the plot area in pixels, of a panel across the picture and
// of one beside another.
constexpr double kFullPlotWidth = 880.0;
constexpr double kHalfPlotWidth = 400.0;

}  // namespace

void PlaceLegend(const Picture& picture, Panel* panel) {
  auto y_of = [&](double v) { return panel->log_y ? std::log10(v) : v; };
  double ymin = INFINITY, ymax = -INFINITY;
  const bool frequency = panel->x_axis == XAxis::kFrequency;
  const bool log_x = frequency && picture.log_x;
  const double xmin = frequency ? picture.fmin : panel->xrange.lo;
  const double xmax = frequency ? picture.fmax : panel->xrange.hi;
  if (panel->yrange) {
    ymin = y_of(panel->yrange->lo);
    ymax = y_of(panel->yrange->hi);
  } else {
    for (const Curve& c : panel->curves) {
      if (c.style == Style::kAxisMarks) continue;
      for (const Point& p : c.points) {
        if (p.f < xmin || p.f > xmax) continue;
        if (panel->log_y && !(p.v - p.se > 0.0)) continue;
        ymin = std::min(ymin, y_of(p.v - p.se));
        ymax = std::max(ymax, y_of(p.v + p.se));
      }
    }
  }
  if (!(ymax > ymin)) return;
  auto x_of = [&](double f) { return log_x ? std::log10(f) : f; };
  const double x0 = x_of(xmin), x1 = x_of(xmax);
  if (!(x1 > x0)) return;
  // The legend's share of the panel: its height grows with its entries,
  // its width with its longest label (a 10-point font is about 6.5
  // pixels a character, the sample line and margins about 70 pixels).
  size_t longest = 0, entries = 0;
  for (const Curve& c : panel->curves) {
    longest = std::max(longest, c.label.size());
    entries += c.label.empty() ? 0 : 1;
  }
  const double plot_width = panel->half_width ? kHalfPlotWidth : kFullPlotWidth;
  const double height = std::min(0.45, 0.08 + 0.07 * static_cast<double>(entries));
  const double width = std::min(0.95, (6.5 * static_cast<double>(longest) + 70.0) / plot_width);
  struct Corner {
    const char* key;
    bool right, top;
    long points = 0;
  };
  Corner corners[] = {{"top right", true, true},
                      {"top left", false, true},
                      {"bottom right", true, false},
                      {"bottom left", false, false}};
  for (const Curve& c : panel->curves) {
    for (const Point& p : c.points) {
      if (p.f < xmin || p.f > xmax || (log_x && !(p.f > 0.0))) continue;
      const double x = (x_of(p.f) - x0) / (x1 - x0);
      // Marks of frequencies without a value sit at the bottom.
      double y = 0.0;
      if (c.style != Style::kAxisMarks) {
        if (panel->log_y && !(p.v > 0.0)) continue;
        y = (y_of(p.v) - ymin) / (ymax - ymin);
        if (y < 0.0 || y > 1.0) continue;  // outside a fixed range: not drawn
        if (panel->y_downward) y = 1.0 - y;
      }
      for (Corner& corner : corners) {
        const bool in_x = corner.right ? x >= 1.0 - width : x <= width;
        const bool in_y = corner.top ? y >= 1.0 - height : y <= height;
        // A mark of a frequency without a value must stay visible.
        if (in_x && in_y) corner.points += c.style == Style::kAxisMarks ? kHiddenMarkCost : 1;
      }
    }
  }
  const Corner* best = &corners[0];
  for (const Corner& corner : corners) {
    if (corner.points < best->points) best = &corner;
  }
  // A depth axis keeps its range (from the surface down): the legend
  // takes the least crowded corner.
  if (best->points > 0 && !panel->y_downward) {
    // No corner is free: the legend goes on top, and the y axis gets
    // room above the values for it (a fixed range grows at its top).
    best = corners[1].points < corners[0].points ? &corners[1] : &corners[0];
    const double room = height / (1.0 - height);
    if (panel->yrange) {
      const double top = ymax + room * (ymax - ymin);
      panel->yrange->hi = panel->log_y ? std::pow(10.0, top) : top;
    } else {
      panel->headroom = room;
    }
  }
  panel->key = best->key;
}

}  // namespace circplot
