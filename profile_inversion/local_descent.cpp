#include "profile_inversion/local_descent.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace circinv {
namespace {

// A simplex vertex: a point of the cube and its misfit.
struct Vertex {
  std::vector<double> x;
  double misfit = 0;
};

class Descent {
 public:
  Descent(const SearchProblem& problem, int64_t evaluations, SearchResult* models)
      : problem_(problem), left_(evaluations), models_(models) {}

  bool exhausted() const { return left_ <= 0; }

  // The vertex at x clamped to the cube, evaluated and kept as a model
  // tried; outside the constraint it is infinitely bad and not evaluated,
  // but counts against the budget all the same, so that the descent ends.
  Vertex At(std::vector<double> x) {
    for (double& v : x) v = std::clamp(v, 0.0, 1.0);
    Vertex vertex{std::move(x), std::numeric_limits<double>::infinity()};
    --left_;
    if (!problem_.Admits(vertex.x)) return vertex;
    const double misfit = problem_.misfit(vertex.x);
    if (!std::isnan(misfit)) vertex.misfit = misfit;
    models_->points.insert(models_->points.end(), vertex.x.begin(), vertex.x.end());
    models_->misfits.push_back(vertex.misfit);
    return vertex;
  }

 private:
  const SearchProblem& problem_;
  int64_t left_;
  SearchResult* models_;
};

// centroid + t (centroid - worst): t = 1 reflects, 2 expands, 1/2 and
// -1/2 contract outside and inside.
std::vector<double> Along(const std::vector<double>& centroid, const std::vector<double>& worst, double t) {
  std::vector<double> x(centroid.size());
  for (size_t i = 0; i < x.size(); ++i) x[i] = centroid[i] + t * (centroid[i] - worst[i]);
  return x;
}

}  // namespace

void DescendFrom(const SearchProblem& problem, int64_t start, std::span<const double> steps, int64_t evaluations,
                 SearchResult* models) {
  const int d = problem.dimension;
  Descent descent(problem, evaluations, models);
  std::vector<Vertex> simplex;
  const std::span<const double> origin = models->point(start);
  simplex.push_back({std::vector<double>(origin.begin(), origin.end()), models->misfits[start]});
  for (int i = 0; i < d && !descent.exhausted(); ++i) {
    std::vector<double> x = simplex.front().x;
    // Step inwards where the start lies at the upper face.
    x[i] += x[i] + steps[i] <= 1.0 ? steps[i] : -steps[i];
    simplex.push_back(descent.At(std::move(x)));
  }
  if (static_cast<int>(simplex.size()) < d + 1) return;
  auto by_misfit = [](const Vertex& a, const Vertex& b) { return a.misfit < b.misfit; };
  while (!descent.exhausted()) {
    std::stable_sort(simplex.begin(), simplex.end(), by_misfit);
    std::vector<double> centroid(static_cast<size_t>(d), 0.0);
    for (int v = 0; v < d; ++v)
      for (int i = 0; i < d; ++i) centroid[i] += simplex[v].x[i] / d;
    Vertex& worst = simplex.back();
    Vertex reflected = descent.At(Along(centroid, worst.x, 1.0));
    if (reflected.misfit < simplex.front().misfit) {
      if (descent.exhausted()) break;
      Vertex expanded = descent.At(Along(centroid, worst.x, 2.0));
      worst = expanded.misfit < reflected.misfit ? std::move(expanded) : std::move(reflected);
      continue;
    }
    if (reflected.misfit < simplex[d - 1].misfit) {
      worst = std::move(reflected);
      continue;
    }
    if (descent.exhausted()) break;
    const bool outside = reflected.misfit < worst.misfit;
    Vertex contracted = descent.At(Along(centroid, worst.x, outside ? 0.5 : -0.5));
    if (contracted.misfit < std::min(reflected.misfit, worst.misfit)) {
      worst = std::move(contracted);
      continue;
    }
    // Shrink every vertex halfway towards the best.
    for (int v = 1; v <= d && !descent.exhausted(); ++v) {
      std::vector<double> x(static_cast<size_t>(d));
      for (int i = 0; i < d; ++i) x[i] = simplex[0].x[i] + 0.5 * (simplex[v].x[i] - simplex[0].x[i]);
      simplex[v] = descent.At(std::move(x));
    }
  }
}

}  // namespace circinv
