#ifndef CIRCARRAY_RESULT_PLOT_LEGEND_H_
#define CIRCARRAY_RESULT_PLOT_LEGEND_H_

#include "result_plot/picture.h"

namespace circplot {

// Puts the legend of `panel` into a corner of it that no point of its
// curves falls into, judged on the picture's frequency axis and the
// panel's value range (logarithmic where the axes are). A mark of a
// frequency without a value must stay visible above all. When no corner
// is free, the legend goes on top, into the emptier corner, and the panel
// gets headroom above its values for it (a fixed range grows at its top);
// a downward axis, a depth, keeps its range and the least crowded corner.
void PlaceLegend(const Picture& picture, Panel* panel);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_LEGEND_H_
