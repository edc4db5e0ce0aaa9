#ifndef CIRCARRAY_ARRAY_SPECTRA_GROUP_STORE_H_
#define CIRCARRAY_ARRAY_SPECTRA_GROUP_STORE_H_

#include <cstddef>
#include <vector>

namespace circspec {

// The sums of groups of consecutive segments, kept for the delete-one-
// group jackknife without knowing the record length in advance. Group g
// holds segments [g * span, (g + 1) * span) by segment index (dropped
// segments leave a group smaller). At most max_groups groups exist: when
// a segment falls beyond the last, neighbours are merged in pairs (groups
// 2g and 2g+1 become group g) and the span doubles. A record of S >=
// max_groups segments therefore ends with between max_groups/2 and
// max_groups groups of equal span, the last possibly partial; a shorter
// one with a group per segment.
class GroupStore {
 public:
  // `values`: numbers per group (channels x output frequencies).
  // `span`: segments per group to begin with (1 when the number of
  // segments is not known ahead; a record whose length is known starts
  // with the span it ends with, so that its groups never merge).
  GroupStore(size_t values, size_t max_groups, size_t span = 1);

  size_t span() const { return span_; }
  size_t max_groups() const { return max_groups_; }
  // Sets the span before the first Add (see the constructor).
  void StartWithSpan(size_t span) { span_ = span < 1 ? 1 : span; }
  // The group that holds segment `segment` at the current span.
  long GroupOf(long segment) const { return segment / static_cast<long>(span_); }

  // Adds the sums of `segments` kept segments from one group (at the
  // current span), the first of them with index `first_segment`.
  void Add(long first_segment, const double* values, long segments);

  struct Group {
    const double* values;
    long segments;
  };
  // The groups that hold at least one segment, in order.
  std::vector<Group> Groups() const;
  // The sum over all groups, and the segments in them.
  std::vector<double> Total() const;
  long segments() const;

 private:
  void MergePairs();

  size_t values_, max_groups_;
  size_t span_ = 1;
  std::vector<double> sums_;  // max_groups_ x values_
  std::vector<long> counts_;  // segments per group
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_GROUP_STORE_H_
