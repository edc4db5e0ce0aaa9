#include "profile_inversion/appraisal.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace circinv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kVs30Depth = 30.0;  // m

}  // namespace

double Quantile(std::span<const double> sorted, double p) {
  if (sorted.empty()) return kNaN;
  const double h = static_cast<double>(sorted.size() - 1) * p;
  const auto below = static_cast<size_t>(std::floor(h));
  if (below + 1 >= sorted.size()) return sorted.back();
  return sorted[below] + (h - static_cast<double>(below)) * (sorted[below + 1] - sorted[below]);
}

Percentiles PercentilesOf(std::vector<double> values) {
  std::erase_if(values, [](double v) { return std::isnan(v); });
  std::sort(values.begin(), values.end());
  return {Quantile(values, 0.1), Quantile(values, 0.5), Quantile(values, 0.9)};
}

double PotentialScaleReduction(std::span<const double> values, std::span<const size_t> chain_ends) {
  size_t shortest = values.size();
  for (size_t c = 0, begin = 0; c < chain_ends.size(); begin = chain_ends[c++]) {
    shortest = std::min(shortest, chain_ends[c] - begin);
  }
  const size_t n = shortest / 2;
  if (chain_ends.empty() || n < 2 || chain_ends.back() > values.size()) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  std::vector<double> means, variances;
  for (size_t c = 0, begin = 0; c < chain_ends.size(); begin = chain_ends[c++]) {
    for (const size_t half : {begin, begin + n}) {
      const std::span<const double> part = values.subspan(half, n);
      double mean = 0;
      for (const double v : part) mean += v;
      mean /= static_cast<double>(n);
      double squares = 0;
      for (const double v : part) squares += (v - mean) * (v - mean);
      means.push_back(mean);
      variances.push_back(squares / static_cast<double>(n - 1));
    }
  }
  const double m = static_cast<double>(means.size()), length = static_cast<double>(n);
  double mean = 0, within = 0;
  for (size_t j = 0; j < means.size(); ++j) {
    mean += means[j] / m;
    within += variances[j] / m;
  }
  double between = 0;
  for (const double chain_mean : means) between += (chain_mean - mean) * (chain_mean - mean);
  between *= length / (m - 1);
  if (within == 0) return between == 0 ? 1.0 : std::numeric_limits<double>::infinity();
  return std::sqrt(((length - 1) / length * within + between / length) / within);
}

std::string QuantileSource(const Appraisal& a) {
  const std::string models = std::to_string(a.acceptable.size()) + " acceptable models";
  return a.walked ? "a walk over the region of the " + models : "the " + models;
}

double Vs30(const LayeredModel& model) {
  double time = 0;
  double top = 0;
  for (size_t i = 0; i + 1 < model.layers.size() && top < kVs30Depth; ++i) {
    const Layer& layer = model.layers[i];
    time += (std::min(top + layer.thickness, kVs30Depth) - top) / layer.vs;
    top += layer.thickness;
  }
  if (top < kVs30Depth) time += (kVs30Depth - top) / model.half_space().vs;
  return kVs30Depth / time;
}

double VsAtDepth(const LayeredModel& model, double z) {
  double bottom = 0;
  for (size_t i = 0; i + 1 < model.layers.size(); ++i) {
    bottom += model.layers[i].thickness;
    if (z < bottom) return model.layers[i].vs;
  }
  return model.half_space().vs;
}

Appraisal Appraise(const Parameterisation& parameterisation, const SearchResult& search,
                   std::span<const double> predictions, std::span<const ObservedCurve> curves, int depth_points,
                   std::span<const int64_t> sample, size_t searched) {
  Appraisal a;
  a.best = search.best();
  a.best_misfit = search.misfits[a.best];
  a.best_model = parameterisation.ModelAt(search.point(a.best));
  const Ensemble ensemble = AcceptableEnsemble(search.misfits, searched);
  a.rule = ensemble.rule;
  a.bound = ensemble.bound;
  a.acceptable.assign(ensemble.models.begin(), ensemble.models.end());

  if (sample.empty()) {
    a.sample = a.acceptable;
  } else {
    a.sample.assign(sample.begin(), sample.end());
    a.walked = true;
  }
  std::vector<LayeredModel> models;
  models.reserve(a.sample.size());
  for (const int64_t m : a.sample) models.push_back(parameterisation.ModelAt(search.point(m)));

  const Range& half_space_vs = parameterisation.space().layers.back().vs;
  if (a.walked && !half_space_vs.fixed() && !models.empty()) {
    const double top_tenth = half_space_vs.max * std::pow(half_space_vs.min / half_space_vs.max, 0.1);
    const auto at_top = std::count_if(models.begin(), models.end(),
                                      [&](const LayeredModel& m) { return m.layers.back().vs >= top_tenth; });
    a.half_space_vs_at_top = static_cast<double>(at_top) / static_cast<double>(models.size());
  }

  a.constrained_depth = SpanOf(curves).wavelength_max / 2.0;
  std::vector<double> column(models.size());
  for (int k = 0; k < depth_points; ++k) {
    const double z = a.constrained_depth * k / (depth_points - 1);
    a.depth.push_back(z);
    for (size_t e = 0; e < models.size(); ++e) column[e] = VsAtDepth(models[e], z);
    a.vs.push_back(PercentilesOf(column));
    a.best_vs.push_back(VsAtDepth(a.best_model, z));
  }

  for (const LayeredModel& model : models) a.vs30.push_back(Vs30(model));
  a.vs30_percentiles = PercentilesOf(a.vs30);
  a.best_vs30 = Vs30(a.best_model);

  size_t points = 0;
  for (const ObservedCurve& curve : curves) points += curve.size();
  size_t offset = 0;  // of the curve's first point within a model's predictions
  for (const ObservedCurve& curve : curves) {
    CurveFit fit;
    for (size_t i = 0; i < curve.size(); ++i) {
      auto at = [&](int64_t m) { return predictions[static_cast<size_t>(m) * points + offset + i]; };
      fit.best.push_back(at(a.best));
      for (size_t e = 0; e < models.size(); ++e) column[e] = at(a.sample[e]);
      fit.acceptable.push_back(PercentilesOf(column));
    }
    a.fit.push_back(std::move(fit));
    offset += curve.size();
  }
  return a;
}

}  // namespace circinv
