#ifndef CIRCARRAY_SEISIO_TRACE_H_
#define CIRCARRAY_SEISIO_TRACE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace seisio {

inline constexpr int64_t kNanosecondsPerSecond = 1'000'000'000;

// One channel of evenly spaced samples, as SAC and miniSEED files hold it.
//
// The start time is kept as an integer count of nanoseconds since
// 1970-01-01T00:00:00 UTC (POSIX time: leap seconds are not counted). Both
// formats carry finer steps than a double of epoch seconds resolves
// (microseconds in miniSEED; milliseconds plus a begin offset in SAC), and
// integers make the difference of two start times exact, so the half-sample
// alignment of channels and stations is decided without rounding. A double
// of epoch seconds (start_seconds()) is there for output only.
struct Trace {
  std::string network;    // SEED network code ("" if unknown)
  std::string station;    // station code
  std::string location;   // SEED location code ("" if none)
  std::string channel;    // channel code, e.g. "HHZ"; its last letter names the component
  int64_t start_ns = 0;   // time of the first sample
  double interval = 0.0;  // sampling interval in seconds
  std::vector<double> samples;

  // The start time as epoch seconds, the nearest double.
  double start_seconds() const;
  // The time of sample i (0 is the first), to the nearest nanosecond;
  // held at the limits of 64 bits where it would leave them.
  int64_t time_ns(size_t i) const;
  // "NET.STA.LOC.CHA", the channel's name in messages.
  std::string id() const;
};

// The ground-motion component of a channel.
enum class Component { kU, kE, kN };  // up, east, north

// The component a channel code names by its last letter: Z up, E east,
// N north (either case); nothing for any other code ("HH1", "BDF", "").
std::optional<Component> ComponentOfChannel(std::string_view channel);

// Which horizontal channels a reader takes: those named E and N alone, or
// also SEED's channels of unknown orientation, 1 and 2, as the n and e of
// a sensor whose orientation the caller knows from elsewhere (2 points 90
// degrees clockwise from 1).
enum class Horizontals { kNorthEast, kAlsoUnoriented };
std::optional<Component> ComponentOfChannel(std::string_view channel, Horizontals horizontals);

// 'u', 'e' or 'n'.
char ComponentLetter(Component component);

// An instant as "2020-01-02T03:04:05.678901" (UTC, to the microsecond
// below it), for messages.
std::string IsoTime(int64_t ns);

// Seconds, for messages: the shortest decimal that reads back as the same
// double, no blanks ("0.01").
std::string SecondsText(double seconds);

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_TRACE_H_
