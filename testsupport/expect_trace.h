#ifndef CIRCARRAY_TESTSUPPORT_EXPECT_TRACE_H_
#define CIRCARRAY_TESTSUPPORT_EXPECT_TRACE_H_

// For the tests of the field-data formats: a trace read back against the
// trace written.

#include <gtest/gtest.h>

#include "seisio/trace.h"

namespace seisio::testing {

// The same channel codes, start, interval and samples, each compared
// apart so that a failure says which differs; the samples to the bit.
inline void ExpectSameTrace(const Trace& read, const Trace& written) {
  EXPECT_EQ(read.network, written.network);
  EXPECT_EQ(read.station, written.station);
  EXPECT_EQ(read.location, written.location);
  EXPECT_EQ(read.channel, written.channel);
  EXPECT_EQ(read.start_ns, written.start_ns);
  EXPECT_DOUBLE_EQ(read.interval, written.interval);
  EXPECT_EQ(read.samples, written.samples);
}

}  // namespace seisio::testing

#endif  // CIRCARRAY_TESTSUPPORT_EXPECT_TRACE_H_
