#ifndef CIRCARRAY_ARRAY_SPECTRA_ANALYSIS_H_
#define CIRCARRAY_ARRAY_SPECTRA_ANALYSIS_H_

#include <functional>
#include <optional>
#include <vector>

#include "array_spectra/channels.h"
#include "array_spectra/segmenter.h"
#include "array_spectra/smoothing.h"
#include "curve/frequency_grid.h"

namespace circspec {

struct AnalysisOptions {
  double window = 20.48;       // segment length, s
  double overlap = 0.5;        // fraction of a segment shared with the next, [0, 1)
  double reject = 0;           // K of the RMS rejection; 0 = off
  std::optional<double> fmin;  // default 4 / window
  std::optional<double> fmax;  // default 0.4 / dt
  int frequencies = 120;
  curve::GridKind grid = curve::GridKind::kLog;
  SmoothingChoice smoothing;
  size_t max_groups = 100;                     // jackknife groups, at most (even)
  Component component = Component::kVertical;  // what the sources are (see Component)
};

// What the records yield: the smoothed channel sums (see ChannelLayout)
// at every output frequency, over all kept segments and per jackknife
// group, with the facts of the run.
struct SpectralSums {
  std::vector<double> frequencies;
  size_t channels = 0;
  std::vector<double> total;                // frequencies x channels
  std::vector<std::vector<double>> groups;  // each frequencies x channels
  std::vector<long> group_segments;

  double dt = 0;              // sampling interval, s (first time step of the first record)
  double start_time = 0;      // of the first record, s
  size_t window_samples = 0;  // n
  size_t step_samples = 0;    // between segment starts
  long segments = 0;          // in the common length
  long kept = 0, dropped = 0;
  long samples_used = 0;    // the common length covered by the segments
  bool read_twice = false;  // the rejection needed a second reading

  double value(size_t i, size_t c) const { return total[i * channels + c]; }
};

// Opens every station's sources, in the order of the layout (two per
// station for the horizontal components, east then north); called again
// if the records must be read a second time.
using SourceOpener = std::function<Sources()>;
// Told after every segment: segments so far and the record time covered.
using ProgressFn = std::function<void(long segments, double seconds)>;

// The whole estimation: segments of all stations in step, detrended,
// tapered and transformed, their cross spectra summed per group of
// consecutive segments and smoothed onto the output grid. Throws
// textio::RuntimeError (InputError for the records) when the records or
// the options cannot give a result.
SpectralSums Analyse(const ArrayGeometry& geometry, const SourceOpener& open, const AnalysisOptions& options,
                     const ProgressFn& progress = {});

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_ANALYSIS_H_
