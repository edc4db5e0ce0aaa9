#include "suite/programs.h"

#include <cstdint>
#include <string>

#include "segment_extract/segment.h"
#include "textio/errors.h"
#include "textio/format.h"
#include "textio/free_reader.h"
#include "textio/output.h"

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
  textio::Output& out = context.out();

  int32_t segno = 0;
  int32_t seglen = 0;
  textio::Require(reader.Read({segno, seglen}), "the segment record (segment number, segment length)");
  int32_t series_length = 0;
  textio::Require(reader.Read({series_length}), "the series length");
  double header1 = 0.0;
  textio::Require(reader.Read({header1}), "the first header value");
  double header2 = 0.0;
  textio::Require(reader.Read({header2}), "the second header value");

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
