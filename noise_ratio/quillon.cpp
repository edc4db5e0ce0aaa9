#include "noise_ratio/quillon.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "core/fzero.h"
#include "noise_ratio/lazy_file.h"
#include "textio/errors.h"
#include "textio/format.h"
#include "textio/free_reader.h"
#include "textio/output.h"
#include "textio/program.h"

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
  const std::string column2 = TextColumn(Found(est.flag0), est.nsr0, kNoRoot);
  const std::string column3 = TextColumn(Found(est.flag1), est.nsr1, kNoExcessRoot);
  std::string* line = out.buffer();
  textio::AppendE15_7(line, freq);
  line->append(column2);
  line->append(column3);
  textio::AppendE15_7(line, est.dltmx);
  line->push_back('\n');
  out.Commit();
}

std::string LimitLine(float freq, const ResolutionLimit& limit) {
  std::string line;
  textio::AppendE15_7(&line, freq);
  textio::AppendE15_7(&line, limit.velocity);
  textio::AppendE15_7(&line, limit.wavelength);
  textio::AppendE15_7(&line, limit.rkmin);
  return line;
}

void ProcessRecords(textio::FreeReader& reader, textio::Output& out, Observed& obs, float radius,
                    LazyFile& fort7) {
  // Declared once: a read cut short by a slash leaves the values of the
  // previous record in place.
  float freq1 = 0.0f;
  float freq2 = 0.0f;
  float freq3 = 0.0f;
  float unused = 0.0f;
  for (;;) {
    // coh and rho go straight into the block the models read.
    if (!reader.Read({freq1, obs.coh, freq2, obs.rho, freq3, unused}).ok()) return;

    // The three tables side by side must describe the same frequency.
    if (freq1 != freq2 || freq1 != freq3) {
      std::string text;
      textio::FreeLine(&text).Add("ERROR: inconcistent frequency !").Add(freq1).Add(freq2).Add(freq3).End();
      throw textio::Stop(text);
    }

    const Estimate est = EstimateNoise(obs);
    WriteResultLine(out, freq1, est);

    if (Found(est.flag0)) {
      const ResolutionLimit limit = FindResolutionLimit(est.nsr0, obs, radius, freq1);
      if (Found(limit.flag)) fort7.WriteLine(LimitLine(freq1, limit));
    }
  }
}

void Run(std::istream& in, textio::Output& out, const std::string& fort7_path) {
  textio::FreeReader reader(in);
  float radius = 0.0f;
  Observed obs;
  textio::Require(reader.Read({radius, obs.nsta}), "the first record (radius, nsta integer)");

  LazyFile fort7(fort7_path);
  try {
    ProcessRecords(reader, out, obs, radius, fort7);
  } catch (const textio::Stop&) {
    // A message stop (inconsistent frequencies, a Bessel refusal) keeps
    // every line written so far, in fort.7 as on standard output.
    fort7.Close();
    throw;
  }
  fort7.Close();
}

}  // namespace

// Status 2 means the residual is exactly zero at the returned point, which
// is a root. It is common here: the residuals are differences of nearly
// equal single-precision numbers, so trial points land on exact zeros.
bool Found(int iflag) { return iflag == core::kFzeroConverged || iflag == core::kFzeroExactZero; }

Estimate EstimateNoise(Observed& obs) {
  Estimate est;
  Ids ids;
  auto residual = [&ids, &obs](float x) { return anoise(x, ids, obs); };

  ids.ids = 0;
  core::FzeroResult r = core::fzero(residual, kNoiseLower, kNoiseUpper, kNoiseUpper, kTolerance, kTolerance);
  est.nsr0 = r.b;
  est.flag0 = r.iflag;

  ids.ids = 1;
  r = core::fzero(residual, kNoiseLower, kNoiseUpper, kNoiseUpper, kTolerance, kTolerance);
  est.nsr1 = r.b;
  est.flag1 = r.iflag;

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
  limit.flag = r.iflag;
  limit.wavelength = kTwoPi / limit.rkmin;
  limit.velocity = limit.wavelength * (radius * freq);
  return limit;
}

int RunQuillon(std::istream& in, std::ostream& out, std::ostream& err, const std::string& fort7_path) {
  return textio::RunProgram("quillon", out, err, [&](textio::Output& o) { Run(in, o, fort7_path); });
}

}  // namespace quillon
