#include "array_spectra/group_store.h"

#include <algorithm>
#include <stdexcept>

namespace circspec {

GroupStore::GroupStore(size_t values, size_t max_groups, size_t span)
    : values_(values),
      max_groups_(max_groups),
      span_(std::max<size_t>(span, 1)),
      sums_(values * max_groups),
      counts_(max_groups) {
  if (max_groups < 2 || max_groups % 2 != 0) throw std::invalid_argument("GroupStore: max_groups must be even");
}

void GroupStore::MergePairs() {
  const size_t half = max_groups_ / 2;
  for (size_t g = 0; g < half; ++g) {
    double* to = &sums_[g * values_];
    const double* a = &sums_[2 * g * values_];
    const double* b = &sums_[(2 * g + 1) * values_];
    for (size_t v = 0; v < values_; ++v) to[v] = a[v] + b[v];
    counts_[g] = counts_[2 * g] + counts_[2 * g + 1];
  }
  for (size_t g = half; g < max_groups_; ++g) {
    std::fill(sums_.begin() + static_cast<std::ptrdiff_t>(g * values_),
              sums_.begin() + static_cast<std::ptrdiff_t>((g + 1) * values_), 0.0);
    counts_[g] = 0;
  }
  span_ *= 2;
}

void GroupStore::Add(long first_segment, const double* values, long segments) {
  if (first_segment < 0) throw std::invalid_argument("GroupStore: negative segment index");
  while (static_cast<size_t>(GroupOf(first_segment)) >= max_groups_) MergePairs();
  const size_t g = static_cast<size_t>(GroupOf(first_segment));
  double* to = &sums_[g * values_];
  for (size_t v = 0; v < values_; ++v) to[v] += values[v];
  counts_[g] += segments;
}

std::vector<GroupStore::Group> GroupStore::Groups() const {
  std::vector<Group> groups;
  for (size_t g = 0; g < max_groups_; ++g) {
    if (counts_[g] > 0) groups.push_back({&sums_[g * values_], counts_[g]});
  }
  return groups;
}

std::vector<double> GroupStore::Total() const {
  std::vector<double> total(values_);
  for (const Group& group : Groups()) {
    for (size_t v = 0; v < values_; ++v) total[v] += group.values[v];
  }
  return total;
}

long GroupStore::segments() const {
  long n = 0;
  for (long c : counts_) n += c;
  return n;
}

}  // namespace circspec
