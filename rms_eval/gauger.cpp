#include "rms_eval/gauger.h"
#include "suite/programs.h"

#include <algorithm>
#include <cmath>

#include "rms_eval/rms.h"
#include "suite/stop.h"
#include "textio/free_reader.h"
#include "textio/output.h"
#include "textio/require.h"

namespace gauger {

namespace {

Parameters ReadParameters(textio::FreeReader& reader) {
  Parameters p;
  textio::Require(reader.Read({p.window_length}), "the window length");
  textio::Require(reader.Read({p.dt}), "the sampling interval");
  textio::Require(reader.Read({p.first_start}), "the start time of the first window");
  textio::Require(reader.Read({p.overlap}), "the overlap");
  textio::Require(reader.Read({p.nskip}), "the skip count (integer)");
  textio::Require(reader.ReadLine(&p.component, 1), "the component letter line");
  textio::Require(reader.ReadLine(&p.input_name), "the input file name line");
  textio::Require(reader.ReadLine(&p.output_name), "the result file name line");
  return p;
}

// Parameters that would make the windows address samples before the
// start of the record, or select no column, are refused before any file
// is touched.
void CheckParameters(const Parameters& p) {
  if (ColumnOfComponent(p.component) == 0) {
    suite::StopWith("ERROR: component letter not u, e or n: ", p.component);
  }
  if (p.overlap > 1.0) suite::StopWith("ERROR: overlap above 1 steps the windows backwards:", p.overlap);
  if (p.nskip < 0) suite::StopWith("ERROR: negative skip count:", p.nskip);
}

void WriteWindows(const Parameters& p, const Datblk& store, int32_t n, double whole_rms, textio::Output& out) {
  const double nw = SamplesPerWindow(p.window_length, p.dt);
  const double step = (1.0 - p.overlap) * p.window_length;
  double t = p.first_start;
  // A step of 0 (overlap 1), or one below half a sample, places the same
  // window again and again: its RMS is computed once, not up to a million
  // times over a window that may span the whole record.
  Window previous{WindowFit::kBeforeStart};
  double ratio = 0.0;
  for (int32_t k = 0; k < kMaxWindows; ++k) {
    const Window w = PlaceWindow(t, p.dt, nw, n);
    if (w.fit == WindowFit::kPastEnd) return;
    if (w.fit == WindowFit::kInside) {
      if (previous.fit != WindowFit::kInside || w.first != previous.first || w.last != previous.last) {
        ratio = rms(store, p.dt, w.first, w.last) / whole_rms;
        previous = w;
      }
      textio::FreeLine(out).Add(t).Add(ratio).End();
    }
    // Repeated addition: the times written are the accumulated sums.
    t = t + step;
  }
}

}  // namespace

void Run(suite::Context& context) {
  const Parameters p = ReadParameters(context.reader());
  CheckParameters(p);

  // The record is read before the result file is created, so a mistyped
  // input path leaves an existing result file as it was.
  Datblk store;
  const int32_t n = rfile(&store, p.nskip, ColumnOfComponent(p.component), p.input_name, context);

  textio::Output& out = context.CreateOutput(p.output_name).out();

  double slope = 0.0;
  double mean = 0.0;
  dtrd(store.first(), n, store.first(), 1, &slope, &mean);
  const double whole_rms = rms(store, p.dt, 1, n);

  textio::FreeLine(out).Add(p.window_length).Add(p.dt).Add(p.first_start).Add(p.overlap).End();
  WriteWindows(p, store, n, whole_rms, out);
}

int32_t ColumnOfComponent(std::string_view letter) {
  if (letter == "u") return 1;
  if (letter == "e") return 2;
  if (letter == "n") return 3;
  return 0;
}

double SamplesPerWindow(double window_length, double dt) { return std::trunc(window_length / dt + 0.5); }

Window PlaceWindow(double t, double dt, double samples_per_window, int32_t n) {
  const double first = std::trunc(t / dt + 0.5);
  if (!(first >= 1.0)) return {WindowFit::kBeforeStart};
  // A window of no samples (nw <= 0) is allowed to drift along as the
  // formula has it; one of absurd length never fits.
  const double nw = std::max(samples_per_window, -2147483648.0);  // keeps a NaN
  const double last = first + nw - 1.0;
  if (!(last <= static_cast<double>(n))) return {WindowFit::kPastEnd};
  // Here first <= n + 1 - nw <= n + 2^31 + 1: exact in 64 bits.
  return {WindowFit::kInside, static_cast<int64_t>(first), static_cast<int64_t>(last)};
}

}  // namespace gauger
