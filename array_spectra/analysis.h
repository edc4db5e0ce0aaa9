#ifndef CIRCARRAY_ARRAY_SPECTRA_ANALYSIS_H_
#define CIRCARRAY_ARRAY_SPECTRA_ANALYSIS_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "array_spectra/channels.h"
#include "array_spectra/segmenter.h"
#include "array_spectra/smoothing.h"
#include "curve/frequency_grid.h"

namespace circspec {

struct AnalysisOptions {
  double window = 20.48;       // segment length, s
  double overlap = 0.5;        // fraction of a segment shared with the next, [0, 1)
  double reject = 3;           // K of the RMS rejection; 0 = off
  std::optional<double> fmin;  // default 4 / window
  std::optional<double> fmax;  // default 0.4 / dt
  int frequencies = 120;
  curve::GridKind grid = curve::GridKind::kLog;
  SmoothingChoice smoothing;
  SpanChoice span;                             // --start, --end
  size_t max_groups = 100;                     // jackknife groups, at most (even)
  Component component = Component::kVertical;  // what the sources are (see Component)
};

// What happened to one channel on the way: its clock offset from the
// grid at its start, and where it does not continue (gaps, overlaps,
// clock jumps) within the analysed span.
struct ChannelFacts {
  std::string name;   // the source's name (its file)
  double offset = 0;  // seconds
  std::vector<Break> breaks;
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

  TimeGrid grid;              // sample k at t0 + k dt
  bool utc = false;           // the times are UTC
  double dt = 0;              // sampling interval, s
  size_t window_samples = 0;  // n
  size_t step_samples = 0;    // between segment starts
  int64_t common_first = 0;   // the first index every station has
  int64_t begin = 0;          // the first index of the span analysed
  int64_t end = 0;            // one past the last index of the last segment
  long segments = 0;          // windows in the span
  long kept = 0;
  long dropped = 0;                     // left out by the rejection of transients (--reject)
  long broken = 0;                      // left out for a break in a channel
  std::vector<int64_t> dropped_starts;  // the first index of each dropped segment
  std::vector<ChannelFacts> sources;    // per source, in source order
  bool read_twice = false;              // the rejection needed a second reading

  double value(size_t i, size_t c) const { return total[i * channels + c]; }
};

// Opens every station's sources, in the order of the geometry's stations
// (two per station for the horizontal components, east then north);
// called again if the records must be read a second time.
using SourceOpener = std::function<Sources()>;
// Told after every segment: segments so far and the record time covered.
using ProgressFn = std::function<void(long segments, double seconds)>;

// The whole estimation: the stations placed on one time grid over their
// common span, segments of all stations in step, each detrended, tapered
// and transformed, its clock offset tau taken out of its spectrum
// (X(f) exp(-2 pi i f tau), exact for a band-limited record), the cross
// spectra summed per group of consecutive segments and smoothed onto the
// output grid. Segments that hold a break of any channel are left out,
// and with options.reject > 0 those where a station is loud (see
// SegmentScreen). Throws textio::RuntimeError (InputError for the
// records) when the records or the options cannot give a result.
SpectralSums Analyse(const ArrayGeometry& geometry, const SourceOpener& open, const AnalysisOptions& options,
                     const ProgressFn& progress = {});

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_ANALYSIS_H_
