#ifndef CIRCARRAY_RMS_EVAL_GAUGER_H_
#define CIRCARRAY_RMS_EVAL_GAUGER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "rms_eval/record.h"

namespace gauger {

// Most windows one run evaluates; bounds the run when the step is 0.
inline constexpr int32_t kMaxWindows = 1'000'000;

// The eight parameter records of standard input.
struct Parameters {
  double window_length = 0.0;  // in the time unit of dt
  double dt = 0.0;             // sampling interval
  double first_start = 0.0;    // start time of the first window
  double overlap = 0.0;        // fraction of a window shared with the next
  int32_t nskip = 0;           // leading samples to drop
  std::string component;       // "u", "e" or "n" (column 1 of its line)
  std::string input_name;
  std::string output_name;
};

// The column type of a component letter: u 1, e 2, n 3; 0 for anything
// else (upper case included).
int32_t ColumnOfComponent(std::string_view letter);

// Samples per window: trunc(window length / dt + 0.5), held as a double
// because absurd parameters may take it beyond any integer type.
double SamplesPerWindow(double window_length, double dt);

// Where the window starting at time t lies in a record of n samples.
// Sample i lies at time i x dt, so the window starts at sample
// trunc(t / dt + 0.5).
enum class WindowFit {
  kInside,       // samples first .. last all exist
  kBeforeStart,  // it would start before sample 1: skipped
  kPastEnd,      // it runs past sample n: no later window fits either
};
struct Window {
  WindowFit fit;
  int64_t first = 0;  // valid when kInside
  int64_t last = 0;
};
Window PlaceWindow(double t, double dt, double samples_per_window, int32_t n);

}  // namespace gauger

#endif  // CIRCARRAY_RMS_EVAL_GAUGER_H_
