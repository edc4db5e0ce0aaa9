#include "segment_extract/segment.h"

namespace snippa {

SegmentPlan PlanSegment(int32_t segno, int32_t seglen, int32_t series_length) {
  if (seglen == 0 || seglen >= series_length) return {series_length, 0};
  if (segno <= 1 || seglen < 0) return {seglen, 0};
  return {seglen, (static_cast<int64_t>(segno) - 1) * seglen};
}

}  // namespace snippa
