#include "noise_ratio/quillon.h"
#include "suite/programs.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "core/fzero.h"
#include "suite/stop.h"
#include "textio/format.h"
#include "textio/free_reader.h"
#include "textio/output.h"
#include "textio/require.h"

namespace quillon {

namespace {

constexpr float kTolerance = 1.0e-7f;  // relative and absolute, all searches

// Noise ratios are sought in [0, 100], the resolution-limit k*r in
// [0.001, 2]: below the crossing of J0 and J1, where J0^2/J1^2 falls.
constexpr float kNoiseLower = 0.0f;
constexpr float kNoiseUpper = 100.0f;
constexpr float kRkLower = 0.001f;
constexpr float kRkUpper = 2.0f;

// The resolution limit is where noise makes k*r read 1/0.9 times too large.
constexpr float kRkFactor = 0.9f;
constexpr float kTwoPi = 6.2831855f;

constexpr std::string_view kNoRoot = "    NO ROOT    ";
constexpr std::string_view kNoExcessRoot = "    1234567    ";

// A 15-character text column: the value as "(e15.7)" or the placeholder.
std::string TextColumn(bool found, float value, std::string_view placeholder) {
  return found ? textio::E15_7(value) : std::string(placeholder);
}

void WriteResultLine(textio::Output& out, float freq, const Estimate& est) {
  const std::string column2 = TextColumn(core::Found(est.status0), est.nsr0, kNoRoot);
  const std::string column3 = TextColumn(core::Found(est.status1), est.nsr1, kNoExcessRoot);
  std::string* line = out.buffer();
  textio::AppendE15_7(line, freq);
  line->append(column2);
  line->append(column3);
  textio::AppendE15_7(line, est.dltmx);
  line->push_back('\n');
  out.Commit();
}

void WriteLimitLine(textio::Output& out, float freq, const ResolutionLimit& limit) {
  std::string* line = out.buffer();
  textio::AppendE15_7(line, freq);
  textio::AppendE15_7(line, limit.velocity);
  textio::AppendE15_7(line, limit.wavelength);
  textio::AppendE15_7(line, limit.rkmin);
  line->push_back('\n');
  out.Commit();
}

void ProcessRecords(suite::Context& context, Observed& obs, float radius, suite::OutputFile& fort7) {
  textio::FreeReader& reader = context.reader();
  textio::Output& out = context.out();
  // Declared once: a read cut short by a slash leaves the values of the
  // previous record in place.
  float freq1 = 0.0f;
  float freq2 = 0.0f;
  float freq3 = 0.0f;
  float unused = 0.0f;
  for (int64_t records = 0;; ++records) {
    // coh and rho go straight into the block the models read.
    const textio::ReadResult r = reader.Read({freq1, obs.coh, freq2, obs.rho, freq3, unused});
    if (!r.ok()) return context.NoteDataEnd(r, "standard input", records, "records read");

    // The three tables side by side must describe the same frequency.
    if (freq1 != freq2 || freq1 != freq3) suite::StopWith("ERROR: inconcistent frequency !", freq1, freq2, freq3);

    const Estimate est = EstimateNoise(obs);
    WriteResultLine(out, freq1, est);

    if (core::Found(est.status0)) {
      const ResolutionLimit limit = FindResolutionLimit(est.nsr0, obs, radius, freq1);
      if (core::Found(limit.status)) WriteLimitLine(fort7.out(), freq1, limit);
    }
  }
}

}  // namespace

void Run(suite::Context& context) {
  textio::FreeReader& reader = context.reader();
  float radius = 0.0f;
  Observed obs;
  textio::Require(reader.Read({radius, obs.nsta}), "the first record (radius, nsta integer)");

  // fort.7 comes into being with its first line; the context closes it
  // however the run ends, keeping every line written so far.
  ProcessRecords(context, obs, radius, context.OutputOnFirstLine("fort.7"));
}

Estimate EstimateNoise(Observed& obs) {
  Estimate est;
  Ids ids;
  auto residual = [&ids, &obs](float x) { return anoise(x, ids, obs); };

  ids.ids = 0;
  core::FzeroResult r = core::fzero(residual, kNoiseLower, kNoiseUpper, kNoiseUpper, kTolerance, kTolerance);
  est.nsr0 = r.b;
  est.status0 = r.status;

  ids.ids = 1;
  r = core::fzero(residual, kNoiseLower, kNoiseUpper, kNoiseUpper, kTolerance, kTolerance);
  est.nsr1 = r.b;
  est.status1 = r.status;

  // The bound is taken at whatever the second search returned, found or not.
  est.dltmx = caldltmx(est.nsr1, obs);
  return est;
}

ResolutionLimit FindResolutionLimit(float nsr, const Observed& obs, float radius, float freq) {
  Observed2 obs2;
  obs2.nsr = nsr;
  obs2.rkfac = kRkFactor;
  auto residual = [&obs2, &obs](float x) { return rkmin4nsr2(x, obs2, obs); };
  const core::FzeroResult r = core::fzero(residual, kRkLower, kRkUpper, kRkUpper, kTolerance, kTolerance);

  ResolutionLimit limit;
  limit.rkmin = r.b;
  limit.status = r.status;
  limit.wavelength = kTwoPi / limit.rkmin;
  limit.velocity = limit.wavelength * (radius * freq);
  return limit;
}

}  // namespace quillon
