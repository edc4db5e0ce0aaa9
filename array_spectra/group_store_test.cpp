// The groups of consecutive segments kept for the jackknife.
#include "array_spectra/group_store.h"

#include <gtest/gtest.h>

#include <vector>

namespace circspec {
namespace {

TEST(GroupStore, KeepsConsecutiveSegmentsInAtMostMaxGroupsOfEqualSpan) {
  struct Case {
    long segments;
    size_t groups, span;
  };
  for (const Case c : {Case{5, 5, 1}, Case{100, 100, 1}, Case{101, 51, 2}, Case{250, 63, 4}, Case{1000, 63, 16}}) {
    GroupStore store(2, 100);
    for (long s = 0; s < c.segments; ++s) {
      const double values[2] = {static_cast<double>(s), 1};
      store.Add(s, values, 1);
    }
    const auto groups = store.Groups();
    EXPECT_EQ(groups.size(), c.groups) << c.segments;
    EXPECT_EQ(store.span(), c.span) << c.segments;
    // Group g holds segments g*span .. : their index sum and count.
    long first = 0;
    for (const auto& g : groups) {
      const long n = std::min<long>(static_cast<long>(store.span()), c.segments - first);
      EXPECT_EQ(g.segments, n);
      EXPECT_EQ(g.values[1], static_cast<double>(n));
      EXPECT_EQ(g.values[0], static_cast<double>(n * first + n * (n - 1) / 2));
      first += n;
    }
    EXPECT_EQ(store.segments(), c.segments);
    EXPECT_EQ(store.Total()[0], static_cast<double>(c.segments * (c.segments - 1) / 2));
  }
}

TEST(GroupStore, LateSegmentsJoinTheGroupOfTheirIndex) {
  GroupStore store(1, 4);
  const double one = 1;
  for (long s : {0, 2, 3, 6, 7, 9}) store.Add(s, &one, 1);  // segments 1, 4, 5 and 8 set aside
  store.Add(4, &one, 1);                                    // span 4 now: group 1
  store.Add(1, &one, 1);                                    // group 0
  const auto groups = store.Groups();
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].segments, 4);  // 0 1 2 3
  EXPECT_EQ(groups[1].segments, 3);  // 4 6 7
  EXPECT_EQ(groups[2].segments, 1);  // 9
}

}  // namespace
}  // namespace circspec
