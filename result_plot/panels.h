#ifndef CIRCARRAY_RESULT_PLOT_PANELS_H_
#define CIRCARRAY_RESULT_PLOT_PANELS_H_

#include <string>
#include <vector>

#include "result_plot/inputs.h"
#include "result_plot/picture.h"

namespace circplot {

// The curves of a dispersion-curve table in the phase-velocity panel, one
// colour per series (a method of circspec, or the best column), from
// *colour on: the valid estimates with their standard-error bars, joined
// where no row of the table lies between them; the invalid ones (flag
// other than "ok") as hollow marks with `all`, else counted in the label.
void AddTableCurves(const VelocityTable& table, bool all, int* colour, Panel* panel);

// The lines of the ring a table's curve comes from, where its header gives
// the radius r: lambda = 2 r (c = 2 r f) over the table's frequencies, and
// where it has an eps column and the station count N, the resolution limit
// lambda_max = 2 pi r / x with x = array::ResolutionLimitKr(eps, N) at each
// frequency (c = lambda_max f). What cannot be drawn is added to *notes.
void AddRingLimits(const VelocityTable& table, Panel* panel, std::vector<std::string>* notes);

// The two panels of a circinv result, side by side: the shear-velocity
// profile (vs against depth, downward: the acceptable models shaded by
// misfit, the 10/50/90 % lines, the best model) and the fit (the observed
// curves with their errors, the 10-90 % band of the acceptable models and
// the best model's curve, on the frequency axis).
Panel ProfilePanel(const InversionRun& run, std::vector<std::string>* notes);
Panel FitPanel(const InversionRun& run);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_PANELS_H_
