#include "result_plot/legend.h"

#include <algorithm>
#include <cmath>

namespace circplot {

namespace {

// What hiding a mark of a frequency without a value under the legend
// costs, counted in points of curves.
constexpr long kHiddenMarkCost = 1000;

}  // namespace

void PlaceLegend(const Picture& picture, Panel* panel) {
  double ymin = INFINITY, ymax = -INFINITY;
  auto y_of = [&](double v) { return panel->log_y ? std::log10(v) : v; };
  for (const Curve& c : panel->curves) {
    if (c.style == Style::kAxisMarks) continue;
    for (const Point& p : c.points) {
      if (p.f < picture.fmin || p.f > picture.fmax) continue;
      if (panel->log_y && !(p.v - p.se > 0.0)) continue;
      ymin = std::min(ymin, y_of(p.v - p.se));
      ymax = std::max(ymax, y_of(p.v + p.se));
    }
  }
  if (!(ymax > ymin)) return;
  auto x_of = [&](double f) { return picture.log_x ? std::log10(f) : f; };
  const double x0 = x_of(picture.fmin), x1 = x_of(picture.fmax);
  // The legend's share of the panel: its height grows with its entries,
  // its width with its longest label (a 10-point font is about 6.5
  // pixels a character, the sample line and margins about 70 pixels, on
  // a plot about 880 pixels wide).
  size_t longest = 0;
  for (const Curve& c : panel->curves) longest = std::max(longest, c.label.size());
  const double height = std::min(0.45, 0.08 + 0.07 * static_cast<double>(panel->curves.size()));
  const double width = std::min(0.95, (6.5 * static_cast<double>(longest) + 70.0) / 880.0);
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
      if (p.f < picture.fmin || p.f > picture.fmax || (picture.log_x && !(p.f > 0.0))) continue;
      const double x = (x_of(p.f) - x0) / (x1 - x0);
      // Marks of frequencies without a value sit at the bottom.
      double y = 0.0;
      if (c.style != Style::kAxisMarks) {
        if (panel->log_y && !(p.v > 0.0)) continue;
        y = (y_of(p.v) - ymin) / (ymax - ymin);
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
  if (best->points > 0) {
    // No corner is free: the legend goes on top, and the y axis gets
    // room above the values for it.
    best = corners[1].points < corners[0].points ? &corners[1] : &corners[0];
    panel->headroom = height / (1.0 - height);
  }
  panel->key = best->key;
}

}  // namespace circplot
