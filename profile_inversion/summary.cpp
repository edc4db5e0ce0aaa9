#include "profile_inversion/summary.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "suite/runtime.h"
#include "textio/format.h"
#include "textio/number.h"
#include "textio/printable.h"

namespace circinv {
namespace {

// v to 4 significant digits, as short as it reads ("312.3", "0.9342",
// "1200"): correctly rounded by the scientific formatter, then shown in
// the shortest form of the rounded value.
std::string Brief(double v) {
  if (!std::isfinite(v)) return textio::Shortest(v);
  const std::string text = textio::Scientific(v, 4);
  double rounded = v;
  textio::ParseDouble(std::string_view(text).substr(text.find_first_not_of(' ')), &rounded);
  return textio::Shortest(rounded);
}

std::string Plural(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string CurveLine(const CurveInput& input) {
  const ObservedCurve& c = input.curve;
  const auto [vmin, vmax] = std::minmax_element(c.velocity.begin(), c.velocity.end());
  std::string line = std::string(WaveName(c.wave)) + " curve: " + textio::Printable(input.shown) + ", " +
                     Plural(c.size(), "point", "points") + " from " + Brief(c.frequency.front()) + " to " +
                     Brief(c.frequency.back()) + " Hz, c " + Brief(*vmin) + " to " + Brief(*vmax) + " m/s";
  if (input.skipped > 0) {
    line += "; " + Plural(static_cast<size_t>(input.skipped), "row", "rows") + " without an estimate (nan) skipped";
  }
  return line;
}

// The parameterisation, and the ranges the search spans in one line:
// where the half-space may lie, and the extremes of vs and of Poisson's
// ratio over all layers.
void WriteParameters(textio::Output& out, const InversionResult& result, const InversionRequest& request) {
  const Parameterisation& p = result.parameterisation;
  const std::vector<LayerRanges>& layers = p.space().layers;
  double depth_min = 0, depth_max = 0;
  double vs_min = layers.front().vs.min, vs_max = layers.front().vs.max;
  double nu_min = layers.front().poisson.min, nu_max = layers.front().poisson.max;
  for (size_t i = 0; i < layers.size(); ++i) {
    if (i + 1 < layers.size()) {
      depth_min += layers[i].thickness.min;
      depth_max += layers[i].thickness.max;
    }
    vs_min = std::min(vs_min, layers[i].vs.min);
    vs_max = std::max(vs_max, layers[i].vs.max);
    nu_min = std::min(nu_min, layers[i].poisson.min);
    nu_max = std::max(nu_max, layers[i].poisson.max);
  }
  auto span = [](double lo, double hi) { return lo == hi ? Brief(lo) : Brief(lo) + " to " + Brief(hi); };
  out.Line("parameters: " + Plural(layers.size() - 1, "layer", "layers") + " over a half-space (" +
           Plural(static_cast<size_t>(p.dimension()), "free parameter", "free parameters") + "), the ranges " +
           (request.param ? "of " + textio::Printable(*request.param) : std::string("from the data")));
  out.Line("ranges: the half-space at " + span(depth_min, depth_max) + " m depth, vs " + span(vs_min, vs_max) +
           " m/s, Poisson's ratio " + span(nu_min, nu_max) + "; velocities " +
           (p.space().increasing ? "increasing with depth" : "free to decrease with depth"));
}

std::string AcceptableLine(const InversionResult& result) {
  const Appraisal& a = result.appraisal;
  const std::vector<double>& misfits = result.search.misfits;
  const std::string counted =
      "acceptable models: " + std::to_string(a.acceptable.size()) + " of " + std::to_string(misfits.size());
  if (a.rule == EnsembleRule::kMisfitAtMostOne) return counted + ", those of misfit <= 1";
  const auto search_end = misfits.begin() + result.searched;
  const auto fitting = std::count_if(misfits.begin(), search_end, [](double m) { return m <= 1; });
  const std::string within = ", those within the misfit " + Brief(a.bound) + " of the search's best 5 % (";
  if (fitting == 0) return counted + within + "no model of the search reached misfit <= 1)";
  return counted + within + "only " + std::to_string(fitting) + " of the search's " + std::to_string(result.searched) +
         " models reached misfit <= 1, fewer than 5 %)";
}

// Whether the walk's walkers agree on Vs30, and what to do when they do not.
std::string WalkersLine(double scale_reduction) {
  const std::string rhat = "split R-hat " + Brief(scale_reduction);
  const std::string most = Brief(kMostScaleReduction);
  if (std::isnan(scale_reduction)) return "walk: too short to judge whether its walkers agree on Vs30";
  if (scale_reduction <= kMostScaleReduction)
    return "walk: its walkers agree on Vs30 (" + rhat + ", at most " + most + ")";
  return "note: the walk's walkers disagree on Vs30 (" + rhat + ", above " + most +
         "): the walk has not yet spread over the acceptable region and the range may be too narrow or misplaced; "
         "a larger --models lengthens the walk";
}

// Why the half-space's velocity may lie above its range, and what to do.
std::string HalfSpaceAtTopLine(const Appraisal& a, const Range& half_space_vs) {
  return "note: the half-space's vs crowds the top of its range (" + Brief(100 * a.half_space_vs_at_top) +
         " % of the models in its top tenth, up to " + Brief(half_space_vs.max) +
         " m/s): the longest observed wavelengths do not bound it from above, and the true one may be faster; "
         "widen its range with --param, or record to lower frequencies";
}

// The best model as a table with aligned columns.
void WriteModelTable(textio::Output& out, const LayeredModel& model) {
  std::vector<std::vector<std::string>> rows = {{"layer", "top_m", "thickness_m", "vp_m/s", "vs_m/s", "density_kg/m3"}};
  double top = 0;
  for (size_t i = 0; i < model.layers.size(); ++i) {
    const Layer& l = model.layers[i];
    const bool half_space = i + 1 == model.layers.size();
    rows.push_back({half_space ? "half-space" : std::to_string(i + 1), Brief(top),
                    half_space ? "-" : Brief(l.thickness), Brief(l.vp), Brief(l.vs), Brief(l.density)});
    top += l.thickness;
  }
  std::vector<size_t> width(rows.front().size(), 0);
  for (const auto& row : rows) {
    for (size_t k = 0; k < row.size(); ++k) width[k] = std::max(width[k], row[k].size());
  }
  for (const auto& row : rows) {
    std::string line = " ";
    for (size_t k = 0; k < row.size(); ++k) {
      line += " " + row[k];
      if (k + 1 < row.size()) line.append(width[k] - row[k].size() + 1, ' ');
    }
    out.Line(line);
  }
}

}  // namespace

void WriteSummary(textio::Output& out, const InversionResult& result, const std::vector<CurveInput>& curves,
                  const InversionRequest& request) {
  const Appraisal& a = result.appraisal;
  out.Line("circinv (circarray) " + std::string(suite::Version()));
  for (const CurveInput& c : curves) out.Line(CurveLine(c));
  WriteParameters(out, result, request);
  const int64_t walked = result.search.size() - result.searched - result.polished;
  out.Line("search: neighbourhood algorithm, " + std::to_string(result.searched) + " models in " +
           Plural(static_cast<size_t>(request.search.chains), "chain", "chains") + ", seed " +
           std::to_string(request.search.seed) + "; then " + std::to_string(result.polished) +
           " polishing the best and " + std::to_string(walked) + " walking the acceptable region");
  out.Line("best misfit: " + Brief(a.best_misfit));
  out.Line(AcceptableLine(result));
  out.Line("the data constrain the profile to " + Brief(a.constrained_depth) +
           " m depth (half the longest observed wavelength)");
  out.Line("best model:");
  WriteModelTable(out, a.best_model);
  const Percentiles& v = a.vs30_percentiles;
  out.Line("Vs30: " + Brief(v.p50) + " m/s, 10-90 % " + Brief(v.p10) + " to " + Brief(v.p90) + " m/s (" +
           QuantileSource(a) + "); best model " + Brief(a.best_vs30) + " m/s");
  if (a.walked) out.Line(WalkersLine(a.vs30_scale_reduction));
  if (a.half_space_vs_at_top > kMostHalfSpaceVsAtTop) {
    out.Line(HalfSpaceAtTopLine(a, result.parameterisation.space().layers.back().vs));
  }
  if (a.constrained_depth < 30) {
    out.Line("note: the data constrain only the top " + Brief(a.constrained_depth) +
             " m; below, the models' velocities come from the ranges, not from the data, and so do Vs30 and its "
             "range");
  }
  if (request.output) {
    out.Line("results: " + textio::Printable(*request.output) +
             " (best_model.txt, profile.txt, ensemble.txt, fit.txt)");
  }
  out.Line("vs30 " + textio::Shortest(v.p50) + " " + textio::Shortest(v.p10) + " " + textio::Shortest(v.p90));
}

}  // namespace circinv
