#include "seisio/trace.h"

#include <libmseed.h>

#include <charconv>
#include <cmath>
#include <limits>

namespace seisio {

namespace {

// Floor division: times before 1970 round towards the past too.
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

}  // namespace

double Trace::start_seconds() const {
  // Whole seconds and the fraction separately, so the one rounding is the
  // final sum's.
  const int64_t whole = FloorDiv(start_ns, kNanosecondsPerSecond);
  const int64_t fraction = start_ns - whole * kNanosecondsPerSecond;
  return static_cast<double>(whole) + static_cast<double>(fraction) * 1e-9;
}

int64_t Trace::time_ns(size_t i) const {
  const double offset = static_cast<double>(i) * interval * 1e9;
  // 9e18 ns: 285 years, inside the 9.22e18 of int64_t with room for the start.
  constexpr double kLimit = 9e18;
  if (!(offset < kLimit)) return std::numeric_limits<int64_t>::max();
  const int64_t step = std::llround(offset);
  if (start_ns > std::numeric_limits<int64_t>::max() - step) return std::numeric_limits<int64_t>::max();
  return start_ns + step;
}

std::string Trace::id() const { return network + "." + station + "." + location + "." + channel; }

std::optional<Component> ComponentOfChannel(std::string_view channel) {
  while (!channel.empty() && channel.back() == ' ') channel.remove_suffix(1);
  if (channel.empty()) return std::nullopt;
  switch (channel.back()) {
    case 'Z':
    case 'z':
      return Component::kU;
    case 'E':
    case 'e':
      return Component::kE;
    case 'N':
    case 'n':
      return Component::kN;
    default:
      return std::nullopt;
  }
}

std::optional<Component> ComponentOfChannel(std::string_view channel, Horizontals horizontals) {
  if (horizontals == Horizontals::kAlsoUnoriented && !channel.empty()) {
    while (!channel.empty() && channel.back() == ' ') channel.remove_suffix(1);
    if (channel.ends_with('1')) return Component::kN;
    if (channel.ends_with('2')) return Component::kE;
  }
  return ComponentOfChannel(channel);
}

char ComponentLetter(Component component) {
  switch (component) {
    case Component::kU:
      return 'u';
    case Component::kE:
      return 'e';
    case Component::kN:
      return 'n';
  }
  return '?';
}

std::string IsoTime(int64_t ns) {
  // libmseed's own rendering of its microsecond time.
  char text[64];
  const hptime_t microseconds = FloorDiv(ns, kNanosecondsPerSecond / HPTMODULUS);
  if (ms_hptime2isotimestr(microseconds, text, 1) == nullptr) return "(time out of range)";
  return text;
}

std::string SecondsText(double seconds) {
  // The shortest decimal that reads back as the same double.
  char text[40];
  const auto result = std::to_chars(text, text + sizeof text, seconds);
  return std::string(text, result.ptr);
}

}  // namespace seisio
