#ifndef CIRCARRAY_TESTSUPPORT_READ_BLOCKS_H_
#define CIRCARRAY_TESTSUPPORT_READ_BLOCKS_H_

#include <algorithm>
#include <cstddef>
#include <vector>

namespace testsupport {

// Every sample a piecewise channel reader gives, asked for `block` at a
// time, as a stream of many hours is read. `reader.Read(out, max)` writes
// at most `max` samples to `out` and returns how many, 0 at the end. At
// most `capacity` samples are taken: one more than the channel should hold
// shows a reader that gives too many.
template <typename Reader>
std::vector<double> ReadInBlocks(Reader& reader, size_t capacity, size_t block) {
  std::vector<double> samples(capacity);
  size_t got = 0;
  for (size_t n; (n = reader.Read(samples.data() + got, std::min(block, samples.size() - got))) > 0;) got += n;
  samples.resize(got);
  return samples;
}

}  // namespace testsupport

#endif  // CIRCARRAY_TESTSUPPORT_READ_BLOCKS_H_
