#ifndef CIRCARRAY_ARRAY_SPECTRA_HORIZONTAL_RECORD_H_
#define CIRCARRAY_ARRAY_SPECTRA_HORIZONTAL_RECORD_H_

#include <memory>
#include <string>
#include <utility>

#include "array_spectra/sample_source.h"
#include "suite/context.h"

namespace circspec {

// A station's horizontal components from the suite's column file
//   time u e n
// as two sample sources, east first, then north, which share one reading
// of the file: every line is parsed once, and the component asked for
// later keeps the samples the other one has already passed in a queue.
// Read in step (as the Segmenter reads every source window by window),
// the queue never holds more than one window.
//
// Checked while reading, each failure an InputError naming the file and
// the line: every line holds four numbers (a two-column file has no
// horizontal components), the first time step dt = t1 - t0 is positive
// and every later step differs from dt by at most 1 % of dt.
//
// The file is opened through the run's context and closed when both
// sources have gone.
std::pair<std::unique_ptr<SampleSource>, std::unique_ptr<SampleSource>> OpenHorizontal(suite::Context& context,
                                                                                          const std::string& name);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_HORIZONTAL_RECORD_H_
