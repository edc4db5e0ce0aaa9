#include "segment_extract/segment.h"

#include <gtest/gtest.h>

namespace snippa {
namespace {

TEST(PlanSegmentTest, CuttingOrWholeSeries) {
  struct Case {
    int32_t segno, seglen, series_length;
    int32_t length;
    int64_t skip;
    int32_t copy;
  } cases[] = {
      {3, 100, 1000, 100, 200, 100},
      {1, 100, 1000, 100, 0, 100},
      {0, 100, 1000, 100, 0, 100},     // below 1: the first segment
      {-7, 100, 1000, 100, 0, 100},
      {11, 100, 1000, 100, 1000, 100},  // beyond the series: the reader fails
      {5, 0, 1000, 1000, 0, 1000},      // length 0: whole series
      {2, 1000, 1000, 1000, 0, 1000},   // not shorter than the series
      {2, 1500, 1000, 1000, 0, 1000},
      {3, -5, 1000, -5, 0, 0},          // negative: cutting, nothing copied
      {3, 100, -1, -1, 0, 0},           // whole series of negative length
      {1, 0, 0, 0, 0, 0},
      // (segno - 1) * seglen does not fit 32 bits.
      {2147483647, 2147483646, 2147483647, 2147483646, int64_t{2147483646} * 2147483646, 2147483646},
      {2147483647, 2, 10, 2, int64_t{4294967292}, 2},
  };
  for (const Case& c : cases) {
    SegmentPlan plan = PlanSegment(c.segno, c.seglen, c.series_length);
    EXPECT_EQ(plan.length, c.length) << c.segno << " " << c.seglen << " " << c.series_length;
    EXPECT_EQ(plan.skip_lines, c.skip) << c.segno << " " << c.seglen << " " << c.series_length;
    EXPECT_EQ(plan.copy_values(), c.copy) << c.segno << " " << c.seglen << " " << c.series_length;
  }
}

}  // namespace
}  // namespace snippa
