#include "profile_inversion/ensemble_rule.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace circinv {

Ensemble AcceptableEnsemble(std::span<const double> misfits) {
  Ensemble ensemble;
  std::vector<size_t>& order = ensemble.models;
  order.resize(misfits.size());
  std::iota(order.begin(), order.end(), size_t{0});
  // NaN last: !(a < b) for every comparison with NaN would break the order.
  const auto before = [&](size_t a, size_t b) {
    return std::isnan(misfits[b]) ? !std::isnan(misfits[a]) : misfits[a] < misfits[b];
  };
  std::stable_sort(order.begin(), order.end(), before);
  const auto fitting = std::find_if(order.begin(), order.end(), [&](size_t m) { return !(misfits[m] <= 1.0); });
  const auto fitting_count = static_cast<size_t>(fitting - order.begin());
  const size_t five_percent =
      std::max<size_t>(1, static_cast<size_t>(std::ceil(0.05 * static_cast<double>(order.size()))));
  if (fitting_count >= five_percent) {
    ensemble.rule = EnsembleRule::kMisfitAtMostOne;
    order.resize(fitting_count);
  } else {
    ensemble.rule = EnsembleRule::kBestFivePercent;
    order.resize(std::min(five_percent, order.size()));
  }
  return ensemble;
}

}  // namespace circinv
