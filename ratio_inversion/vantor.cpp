#include "suite/programs.h"

#include <cstdint>
#include <string>

#include "core/fzero.h"
#include "ratio_inversion/models.h"
#include "suite/stop.h"
#include "textio/free_reader.h"
#include "textio/output.h"
#include "textio/require.h"

namespace vantor {

namespace {

constexpr float kTolerance = 1.0e-7f;  // relative and absolute

}  // namespace

void Run(suite::Context& context) {
  textio::FreeReader& reader = context.reader();
  const auto [itype, radius, fstep, fend] = textio::RequireRecord<int32_t, float, float, float>(
      reader, "the parameter record (itype integer, radius, fstep, fend)");

  const Itype* entry = FindItype(itype);
  if (entry == nullptr) suite::StopWith("ERROR: no list of itype ", itype);

  Blocks blocks;
  if (entry->reads_radius2) {
    const auto radius2 = textio::RequireValue<float>(reader, "the second radius (radius2)");
    if (radius2 >= radius) suite::StopWith("ERROR:radius.le.radius2:", radius, radius2);
    blocks.rdsr = radius2 / radius;
  }

  auto residual = [&](float x) { return Residual(entry->model, x, blocks); };

  // Both values of a data line live for the whole run: a slash or a null
  // value leaves them as the line before had them.
  float freq = 0.0f;
  float freq0 = -1000.0f;  // the last frequency used
  for (int64_t lines = 0;; ++lines) {
    // The observed value goes straight into the block, as it is read.
    const textio::ReadResult r = reader.Read({freq, blocks.observed});
    if (!r.ok()) return context.NoteDataEnd(r, "standard input", lines, "data lines read");

    // A frequency is used only if it lies more than fstep above the last
    // used one; either way the line whose frequency reaches fend is the last.
    if (!(fstep >= freq - freq0)) {
      freq0 = freq;
      core::FzeroResult r = core::fzero(residual, entry->lower, entry->upper, entry->upper, kTolerance, kTolerance);
      float velocity = wn2pv(r.b, freq, radius);
      textio::FreeLine line(context.out());
      if (r.found()) {
        float scale = radius * freq;
        line.Add(freq).Add(velocity).Add(velocity / scale);
      } else if (r.status == core::FzeroStatus::kSingular) {
        line.Add(freq).Add(velocity).Add(kSingularPointText);
      } else {
        line.Add(freq).Add(kNoRootVelocity).Add(kNoRootText).Add(static_cast<int32_t>(r.code())).Add(blocks.observed);
      }
      line.End();
    }
    if (freq >= fend) return;
  }
}

}  // namespace vantor
