#include "profile_inversion/ensemble_rule.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace circinv {

Ensemble AcceptableEnsemble(std::span<const double> misfits, size_t searched) {
  // NaN last: !(a < b) for every comparison with NaN would break the order.
  const auto sorted = [&](size_t count) {
    std::vector<size_t> order(count);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return std::isnan(misfits[b]) ? !std::isnan(misfits[a]) : misfits[a] < misfits[b];
    });
    return order;
  };
  Ensemble ensemble;
  const std::vector<size_t> search = sorted(std::min(searched, misfits.size()));
  const auto fitting = std::find_if(search.begin(), search.end(), [&](size_t m) { return !(misfits[m] <= 1.0); });
  const auto fitting_count = static_cast<size_t>(fitting - search.begin());
  const size_t five_percent =
      std::max<size_t>(1, static_cast<size_t>(std::ceil(0.05 * static_cast<double>(search.size()))));
  std::vector<size_t> order = sorted(misfits.size());
  if (fitting_count >= five_percent) {
    ensemble.rule = EnsembleRule::kMisfitAtMostOne;
    ensemble.bound = 1.0;
  } else {
    ensemble.rule = EnsembleRule::kBestFivePercent;
    ensemble.bound = search.empty() ? 0.0 : misfits[search[std::min(five_percent, search.size()) - 1]];
  }
  if (std::isnan(ensemble.bound)) {
    // Fewer than 5 % of the search's models have a misfit: the best 5 %,
    // NaNs last.
    order.resize(std::min(five_percent, order.size()));
  } else {
    const auto inside =
        std::find_if(order.begin(), order.end(), [&](size_t m) { return !(misfits[m] <= ensemble.bound); });
    order.erase(inside, order.end());
  }
  ensemble.models = std::move(order);
  return ensemble;
}

}  // namespace circinv
