#ifndef CIRCARRAY_ARRAY_SPECTRA_STATION_SOURCE_H_
#define CIRCARRAY_ARRAY_SPECTRA_STATION_SOURCE_H_

#include <span>

#include "array/layout.h"
#include "array_spectra/segmenter.h"
#include "seisio/trace.h"
#include "suite/context.h"

namespace circspec {

// Opens a station's record and gives one sample source for each component
// in `wanted` (u, e, n, in the order asked), so that a run reads what it
// uses and nothing else. The layout's `file` field decides, the format of
// each file recognised by its content (never its name):
//  - one file of column text (`time u e n`, or `time value` for u alone):
//    each component is read from its own column by a RecordReader;
//  - one miniSEED file holding the station's channels, chosen by the last
//    letter of their codes (Z u, E e, N n, or 1 n and 2 e of a sensor whose
//    orientation the layout gives; all three must be there);
//  - three files u,e,n, each SAC or miniSEED of one channel: only the files
//    of the wanted components are opened.
// Times come from the headers (epoch seconds) and from the time column
// for text; a miniSEED channel's gaps, overlaps and jumps of its timing
// start new runs (see SampleSource), for the caller to leave out the
// segments they touch. miniSEED is decoded record by record as the samples
// are pulled and SAC read block by block, so a day's record costs the
// memory of a record or a block per channel.
// Errors are textio::InputError naming the file (and the channel, time or
// line).
Sources OpenStation(suite::Context& context, const array::Station& station, std::span<const seisio::Component> wanted);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_STATION_SOURCE_H_
