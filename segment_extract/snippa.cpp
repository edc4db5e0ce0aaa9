#include "suite/programs.h"

#include <cstdint>
#include <string>

#include "segment_extract/segment.h"
#include "textio/format.h"
#include "textio/free_reader.h"
#include "textio/output.h"
#include "textio/require.h"

namespace snippa {

namespace {

void WriteF10_4(textio::Output& out, double v) {
  textio::AppendF10_4(out.buffer(), v);
  out.buffer()->push_back('\n');
  out.Commit();
}

}  // namespace

void Run(suite::Context& context) {
  textio::FreeReader& reader = context.reader();
  const auto [segno, seglen] =
      textio::RequireRecord<int32_t, int32_t>(reader, "the segment record (segment number, segment length)");
  const auto series_length = textio::RequireValue<int32_t>(reader, "the series length");
  const auto header1 = textio::RequireValue<double>(reader, "the first header value");
  const auto header2 = textio::RequireValue<double>(reader, "the second header value");

  textio::Output& out = context.out();
  const SegmentPlan plan = PlanSegment(segno, seglen, series_length);
  textio::AppendI5(out.buffer(), plan.length);
  out.Line("");
  WriteF10_4(out, header1);
  WriteF10_4(out, header2);

  // Values are one per line, so whole lines are skipped, blank or not.
  for (int64_t i = 0; i < plan.skip_lines; ++i) {
    textio::ReadResult r = reader.SkipLine();
    if (!r.ok()) {
      textio::Require(
          r, "the " + std::to_string(plan.skip_lines) + " series lines before segment " + std::to_string(segno));
    }
  }
  // Copied values are read as numbers: blank lines between them are
  // passed over. The value lives across reads, so a slash or a null value
  // writes the previous value again.
  double v = 0.0;
  for (int32_t i = 0; i < plan.copy_values(); ++i) {
    textio::ReadResult r = reader.Read({v});
    if (!r.ok()) {
      textio::Require(r, "value " + std::to_string(i + 1) + " of " + std::to_string(plan.length) + " of the segment");
    }
    WriteF10_4(out, v);
  }
}

}  // namespace snippa
