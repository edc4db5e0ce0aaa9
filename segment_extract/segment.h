#ifndef CIRCARRAY_SEGMENT_EXTRACT_SEGMENT_H_
#define CIRCARRAY_SEGMENT_EXTRACT_SEGMENT_H_

#include <cstdint>

namespace snippa {

// Which part of a series to copy.
struct SegmentPlan {
  int32_t length;      // written as the count of the new series
  int64_t skip_lines;  // input lines passed over before copying
  int32_t copy_values() const { return length > 0 ? length : 0; }
};

// Segments of `seglen` values are cut only when that is shorter than the
// series (and not 0); otherwise the whole series is the one segment.
// Segment `segno` starts after (segno - 1) * seglen lines; a number below 1
// means the first segment. The product can exceed 32 bits, so it is formed
// in 64.
SegmentPlan PlanSegment(int32_t segno, int32_t seglen, int32_t series_length);

}  // namespace snippa

#endif  // CIRCARRAY_SEGMENT_EXTRACT_SEGMENT_H_
