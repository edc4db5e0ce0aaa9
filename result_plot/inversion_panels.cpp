#include <algorithm>
#include <cmath>

#include "result_plot/labels.h"
#include "result_plot/panels.h"
#include "result_plot/text_lines.h"
#include "textio/number.h"

namespace circplot {

namespace {

// A model as steps: down each layer at its vs, across each interface,
// from the surface to `max_depth`; every point carries `shade`.
std::vector<Point> Steps(const ShearModel& model, double max_depth, double shade) {
  std::vector<Point> steps;
  double top = 0.0;
  for (size_t i = 0; i < model.vs.size() && top < max_depth; ++i) {
    const double bottom = i < model.thickness.size() ? std::min(top + model.thickness[i], max_depth) : max_depth;
    steps.push_back({model.vs[i], top, 0.0, false, shade});
    steps.push_back({model.vs[i], bottom, 0.0, false, shade});
    top = bottom;
  }
  return steps;
}

// "Vs30 250 m/s (10-90 %: 243 to 260)" from profile.txt's header line
// "Vs30 (m/s): p10 243.1, p50 250.2, p90 260.3; best model 249.9"; "" if
// it does not have that form.
std::string Vs30Text(const std::string& line) {
  double p10 = NAN, p50 = NAN, p90 = NAN;
  const std::vector<std::string_view> words = Fields(line);
  for (size_t i = 0; i + 1 < words.size(); ++i) {
    std::string_view value = words[i + 1];
    while (!value.empty() && (value.back() == ',' || value.back() == ';')) value.remove_suffix(1);
    double v = NAN;
    if (!textio::ParseDouble(value, &v)) continue;
    if (words[i] == "p10") p10 = v;
    if (words[i] == "p50") p50 = v;
    if (words[i] == "p90") p90 = v;
  }
  if (!std::isfinite(p10) || !std::isfinite(p50) || !std::isfinite(p90)) return "";
  return "Vs30 " + LabelNumber(p50, 3) + " m/s (10-90 %: " + LabelNumber(p10, 3) + " to " + LabelNumber(p90, 3) + ")";
}

// What the ensemble of a run is, in a legend: the acceptable models, or
// when too few reach misfit 1 the best 5 % (the rule of circinv's
// appraisal).
std::string EnsembleName(const InversionRun& run) {
  return !run.has_ensemble || run.misfit_rule ? "acceptable models" : "best 5 %";
}

}  // namespace

Panel ProfilePanel(const InversionRun& run, std::vector<std::string>* notes) {
  Panel panel;
  const std::string name = Name(run.source);
  const std::string vs30 = Vs30Text(run.vs30);
  panel.title = "Profile of " + name + (vs30.empty() ? "" : ": " + vs30);
  panel.ylabel = "depth (m)";
  panel.x_axis = XAxis::kShearVelocity;
  panel.y_downward = true;
  panel.half_width = true;
  // Down to the depth the data constrain, half the longest observed
  // wavelength: below it the models say nothing of the site.
  panel.yrange = AxisRange{0.0, run.max_depth};

  const std::string ensemble_name = EnsembleName(run);
  if (!run.ensemble.empty()) {
    // The worst first, so that the best lie on top.
    Curve models{"", "the " + ensemble_name + " of " + run.source + ", worst first", Style::kShaded, 0, {}};
    for (auto m = run.ensemble.rbegin(); m != run.ensemble.rend(); ++m) {
      std::vector<Point> steps = Steps(*m, run.max_depth, m->misfit);
      if (steps.empty()) continue;
      steps.front().gap_before = !models.points.empty();
      models.points.insert(models.points.end(), steps.begin(), steps.end());
    }
    const long drawn = static_cast<long>(run.ensemble.size());
    models.label = std::to_string(run.acceptable) + " of " + std::to_string(run.models) +
                   (run.misfit_rule ? " models, misfit <= 1" : " models, the best 5 %");
    if (drawn < run.acceptable) models.label += ", best " + std::to_string(drawn) + " drawn";
    panel.colour_label = "misfit";
    panel.colour_range = {run.ensemble.front().misfit, run.ensemble.back().misfit};
    if (!(panel.colour_range.hi > panel.colour_range.lo)) {
      const double m = panel.colour_range.lo;
      panel.colour_range = {m > 0.05 ? m - 0.05 : 0.0, m + 0.05};
    }
    panel.curves.push_back(std::move(models));
  } else if (!run.has_ensemble) {
    notes->push_back(name + ": no ensemble.txt, the acceptable models are not drawn");
  }
  const std::string of = " of the " + ensemble_name;
  panel.curves.push_back({"10 % and 90 %", "vs_p10" + of + " of " + run.source, Style::kQuantile, 0, run.p10});
  panel.curves.push_back({"", "vs_p90" + of + " of " + run.source, Style::kQuantile, 0, run.p90});
  panel.curves.push_back({"median", "vs_p50" + of + " of " + run.source, Style::kMedian, 0, run.p50});
  const std::string best = "best model" + (run.best_misfit ? " (misfit " + LabelNumber(*run.best_misfit, 3) + ")" : "");
  if (run.best) {
    panel.curves.push_back(
        {best, "the best model of " + run.source, Style::kModel, 1, Steps(*run.best, run.max_depth, 0.0)});
  } else {
    panel.curves.push_back({best, "vs_best of " + run.source, Style::kModel, 1, run.best_vs});
  }

  // The vs axis spans what is drawn, with a margin.
  double lo = INFINITY, hi = -INFINITY;
  for (const Curve& c : panel.curves) {
    for (const Point& p : c.points) {
      lo = std::min(lo, p.f);
      hi = std::max(hi, p.f);
    }
  }
  if (lo <= hi) {
    panel.xrange = WithMargin(lo, hi, false);
    panel.xrange.lo = std::max(0.0, panel.xrange.lo);
  }
  return panel;
}

Panel FitPanel(const InversionRun& run) {
  Panel panel;
  // One wave: its name in the title; two: in every legend entry.
  const bool one = run.fits.size() == 1;
  const std::string only = one && !run.fits[0].wave.empty() ? " " + run.fits[0].wave : "";
  panel.title = "Fit to the observed" + only + " curve, " + Name(run.source);
  panel.ylabel = "phase velocity (m/s)";
  panel.log_y = true;
  panel.range_from_data = true;
  panel.half_width = true;
  int colour = 0;
  for (const InversionRun::Fit& fit : run.fits) {
    const std::string wave = one || fit.wave.empty() ? "" : fit.wave + ": ";
    const std::string of = (fit.wave.empty() ? "" : " (" + fit.wave + ")") + " of " + run.source;
    if (!fit.band.empty()) {
      panel.curves.push_back(
          {wave + "10-90 % of the " + EnsembleName(run), "c_p10 and c_p90" + of, Style::kBand, colour, fit.band});
    }
    panel.curves.push_back(
        {wave + "observed (bars: 1 s.e.)", "c_observed and sigma" + of, Style::kErrorBars, colour, fit.observed});
    if (!fit.best.empty()) {
      panel.curves.push_back({wave + "best model", "c_best" + of, Style::kModel, colour, fit.best});
    }
    ++colour;
  }
  return panel;
}

}  // namespace circplot
