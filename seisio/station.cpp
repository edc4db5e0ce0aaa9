#include "seisio/station.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "textio/errors.h"

namespace seisio {

namespace {

const char* const kComponentWords[] = {"up (Z)", "east (E)", "north (N)"};
const char* const kPlaces[] = {"first", "second", "third"};

[[noreturn]] void Fail(std::string_view file, const std::string& what) {
  throw textio::InputError(std::string(file) + ": " + what);
}

std::string ChannelList(const std::vector<Trace>& channels) {
  std::string list;
  for (const Trace& t : channels) list += (list.empty() ? "" : ", ") + t.id();
  return list.empty() ? "none" : list;
}

// "NET.STA.LOC.CHA (file)", a channel where it came from.
std::string Where(const Trace& t, std::string_view file) { return t.id() + " (" + std::string(file) + ")"; }

// Checks the three components against u and sets the common length.
StationRecord Aligned(StationRecord station) {
  for (size_t k = 0; k < 3; ++k) {
    if (station.traces[k].samples.empty()) {
      Fail(station.files[k], station.traces[k].id() + " holds no samples");
    }
  }
  for (size_t k = 1; k < 3; ++k)
    CheckSameGrid(station.traces[0], station.files[0], station.traces[k], station.files[k]);
  station.length =
      std::min({station.traces[0].samples.size(), station.traces[1].samples.size(), station.traces[2].samples.size()});
  return station;
}

}  // namespace

bool StationRecord::lengths_differ() const {
  return traces[0].samples.size() != traces[1].samples.size() || traces[0].samples.size() != traces[2].samples.size();
}

void CheckSameGrid(const Trace& a, std::string_view a_file, const Trace& b, std::string_view b_file) {
  CheckSameGrid(a, a.samples.size(), a_file, b, b.samples.size(), b_file);
}

void CheckSameGrid(const Trace& a, size_t a_count, std::string_view a_file, const Trace& b, size_t b_count,
                   std::string_view b_file) {
  const double dt = a.interval;
  const size_t longest = std::max(a_count, b_count);
  const double drift = std::fabs(a.interval - b.interval) * static_cast<double>(longest > 0 ? longest - 1 : 0);
  if (!(2.0 * drift < dt)) {
    Fail(b_file, Where(b, b_file) + " is sampled every " + SecondsText(b.interval) + " s, " + Where(a, a_file) +
                     " every " + SecondsText(a.interval) + " s: over " + std::to_string(longest) +
                     " samples they part by half a sample or more");
  }
  // Exact in integers: the two start within less than half a sample when
  // 2 |difference| < dt, both in nanoseconds.
  const int64_t difference = b.start_ns - a.start_ns;
  const double twice = 2.0 * std::fabs(static_cast<double>(difference));
  if (!(twice < dt * 1e9)) {
    Fail(b_file, Where(b, b_file) + " starts at " + IsoTime(b.start_ns) + ", " + Where(a, a_file) + " at " +
                     IsoTime(a.start_ns) + ": " + SecondsText(static_cast<double>(difference) * 1e-9) +
                     " s apart, not within half a sample (" + SecondsText(dt / 2) + " s)");
  }
}

std::array<size_t, 3> ChooseComponents(const std::vector<Trace>& channels, std::string_view file,
                                       Horizontals horizontals) {
  std::array<std::optional<size_t>, 3> chosen;
  for (size_t i = 0; i < channels.size(); ++i) {
    const std::optional<Component> c = ComponentOfChannel(channels[i].channel, horizontals);
    if (!c) continue;
    const auto k = static_cast<size_t>(*c);
    if (chosen[k]) {
      Fail(file, "two channels name the " + std::string(kComponentWords[k]) + " component, " +
                     channels[*chosen[k]].id() + " and " + channels[i].id() +
                     "; a file given alone must hold one station's three channels (it holds " + ChannelList(channels) +
                     ")");
    }
    chosen[k] = i;
  }
  std::array<size_t, 3> indices{};
  for (size_t k = 0; k < 3; ++k) {
    if (!chosen[k]) {
      const char* also = horizontals == Horizontals::kNorthEast ? "" : k == 1 ? " or 2" : k == 2 ? " or 1" : "";
      Fail(file, "no channel whose code ends in " + std::string(1, "ZEN"[k]) + also + " (the " + kComponentWords[k] +
                     " component); the file holds " + ChannelList(channels) +
                     (channels.size() == 1 ? " (a file of one channel is given as one of three, u,e,n)" : ""));
    }
    indices[k] = *chosen[k];
  }
  return indices;
}

void CheckPlace(const std::vector<Trace>& held, size_t place, std::string_view file, Horizontals horizontals) {
  if (held.size() != 1) {
    Fail(file, "holds " + std::to_string(held.size()) + " channels (" + ChannelList(held) +
                   "); each of three files must hold one");
  }
  const std::optional<Component> c = ComponentOfChannel(held[0].channel, horizontals);
  if (c && static_cast<size_t>(*c) != place) {
    Fail(file, "channel " + held[0].id() + " is the " + kComponentWords[static_cast<size_t>(*c)] +
                   " component, but the file is given " + kPlaces[place] + " of u,e,n, as the " +
                   kComponentWords[place] + " one");
  }
}

StationRecord StationOfFile(std::vector<Trace> channels, std::string_view file) {
  const std::array<size_t, 3> chosen = ChooseComponents(channels, file);
  StationRecord station;
  for (size_t k = 0; k < 3; ++k) {
    station.traces[k] = std::move(channels[chosen[k]]);
    station.files[k] = std::string(file);
  }
  return Aligned(std::move(station));
}

StationRecord StationOfFiles(std::array<std::vector<Trace>, 3> channels, const std::array<std::string, 3>& files) {
  StationRecord station;
  for (size_t k = 0; k < 3; ++k) {
    CheckPlace(channels[k], k, files[k]);
    station.traces[k] = std::move(channels[k][0]);
    station.files[k] = files[k];
  }
  return Aligned(std::move(station));
}

}  // namespace seisio
