#include "array_spectra/table_header.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "seisio/trace.h"
#include "suite/runtime.h"
#include "textio/format.h"

namespace circspec {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
// Breaks listed in the header at most; the rest are counted.
constexpr size_t kMostBreaksListed = 20;

std::string Seconds(double s) { return textio::Shortest(s) + " s"; }

// A time of the grid as the records count it.
std::string TimeText(const SpectralSums& sums, int64_t k) {
  const int64_t t = sums.grid.TimeOf(k);
  return sums.utc ? seisio::IsoTime(t) : Seconds(static_cast<double>(t) / 1e9);
}

std::string SpanText(const SpectralSums& sums, int64_t from, int64_t to) {
  return TimeText(sums, from) + " to " + TimeText(sums, to) + " (" + Seconds(static_cast<double>(to - from) * sums.dt) +
         ")";
}

std::string Percent(double fraction) {
  const double p = std::round(fraction * 1000) / 10;
  return (p > 0 ? "+" : "") + textio::Shortest(p) + " %";
}

std::string PointText(const HeaderFacts& f) {
  switch (f.rings.point) {
    case array::RingLayout::Point::kCentreStation:
      return "the centre station " + f.layout.stations[*f.layout.centre].name;
    case array::RingLayout::Point::kOrigin:
      return "the array's centre";
    case array::RingLayout::Point::kFitted:
      break;
  }
  return "the centre of the circles through the rings, at x " + textio::Shortest(f.rings.cx) + " m, y " +
         textio::Shortest(f.rings.cy) + " m";
}

const char* BreakWord(Break::Kind kind) {
  switch (kind) {
    case Break::Kind::kGap:
      return "gap";
    case Break::Kind::kOverlap:
      return "overlap";
    case Break::Kind::kJump:
      return "clock jump";
  }
  return "";
}

}  // namespace

std::string RingStationsLine(size_t ring_number, const std::vector<std::string>& names,
                             const std::vector<double>& distances, const std::vector<double>& azimuths) {
  std::string line = "ring " + std::to_string(ring_number) + " stations:";
  for (size_t j = 0; j < names.size(); ++j) {
    double degrees = azimuths[j] / kDegree;
    if (degrees < 0) degrees += 360;
    line += " " + names[j] + " " + textio::Shortest(std::round(distances[j] * 1e6) / 1e6) + " " +
            textio::Shortest(std::round(degrees * 1e6) / 1e6);
  }
  return line;
}

std::vector<std::string> DroppedRanges(const SpectralSums& sums) {
  std::vector<std::string> ranges;
  const auto n = static_cast<int64_t>(sums.window_samples);
  for (size_t i = 0; i < sums.dropped_starts.size();) {
    const int64_t from = sums.dropped_starts[i];
    int64_t to = from + n;
    size_t j = i + 1;
    for (; j < sums.dropped_starts.size() && sums.dropped_starts[j] <= to; ++j) to = sums.dropped_starts[j] + n;
    ranges.push_back(TimeText(sums, from) + " to " + TimeText(sums, to));
    i = j;
  }
  return ranges;
}

std::vector<std::string> TableHeader(const HeaderFacts& f) {
  const array::Layout& layout = f.layout;
  const SpectralSums& sums = f.sums;
  const AnalysisOptions& o = f.options;
  std::vector<std::string> h;
  h.push_back("circspec (circarray) " + std::string(suite::Version()));
  std::string stations = "layout " + layout.file + ": " + std::to_string(layout.stations.size()) + " stations";
  if (layout.centre) stations += "; centre " + layout.stations[*layout.centre].name;
  for (size_t r = 0; r < f.rings.rings.size(); ++r) {
    stations += "; ring " + std::to_string(r + 1) + " radius " + textio::Shortest(f.rings.rings[r].radius) + " m:";
    for (size_t s : f.rings.rings[r].stations) stations += " " + layout.stations[s].name;
  }
  h.push_back(stations);
  for (size_t r = 0; r < f.rings.rings.size(); ++r) {
    const array::Ring& ring = f.rings.rings[r];
    std::vector<std::string> names;
    for (size_t s : ring.stations) names.push_back(layout.stations[s].name);
    h.push_back(RingStationsLine(r + 1, names, ring.distances, ring.azimuths));
    h.push_back("ring " + std::to_string(r + 1) + " geometry: from " + PointText(f) + "; radius " +
                textio::Shortest(ring.radius) + " m, spread " + Percent(ring.spread_low) + " to " +
                Percent(ring.spread_high) + ", largest azimuth gap " +
                textio::Shortest(std::round(ring.largest_gap / kDegree * 100) / 100) + " degrees");
  }
  if (!f.rings.left_out.empty()) {
    std::string line = "left out:";
    for (size_t s : f.rings.left_out) line += " " + layout.stations[s].name;
    h.push_back(line + " (not on a ring of 3 or more stations)");
  }
  h.push_back("records: dt " + Seconds(sums.dt) + "; common span from " + TimeText(sums, sums.common_first) +
              "; analysed " + SpanText(sums, sums.begin, sums.end));
  // Per station: the offset of its first channel, and of the other if it
  // differs (the components of one station may come from different files).
  const size_t per_station = sums.sources.size() / std::max<size_t>(1, f.geometry.x.size());
  std::string offsets = "clock offsets:";
  for (size_t i = 0; i < f.geometry.x.size(); ++i) {
    offsets += (i > 0 ? ", " : " ") + layout.stations[f.geometry.layout_index[i]].name;
    for (size_t c = 0; c < per_station; ++c) {
      const double offset = sums.sources[i * per_station + c].offset;
      if (c == 0 || offset != sums.sources[i * per_station].offset) offsets += " " + Seconds(offset);
    }
  }
  h.push_back(offsets);
  std::string breaks;
  size_t listed = 0, total = 0;
  for (size_t i = 0; i < sums.sources.size(); ++i) {
    const ChannelFacts& c = sums.sources[i];
    // The channels of one file break together: said once.
    const bool again =
        i > 0 && sums.sources[i - 1].name == c.name && sums.sources[i - 1].breaks.size() == c.breaks.size();
    if (again) continue;
    for (const Break& b : c.breaks) {
      ++total;
      if (listed == kMostBreaksListed) continue;
      ++listed;
      breaks += (breaks.empty() ? " " : "; ") + c.name + " " + BreakWord(b.kind) + " at " + TimeText(sums, b.from) +
                ", " + Seconds(static_cast<double>(b.to - b.from) * sums.dt);
    }
  }
  if (total > 0) {
    if (total > listed) breaks += "; and " + std::to_string(total - listed) + " more";
    h.push_back("breaks:" + breaks);
  }
  h.push_back("segments: window " + Seconds(static_cast<double>(sums.window_samples) * sums.dt) + " (" +
              std::to_string(sums.window_samples) + " samples), step " + std::to_string(sums.step_samples) +
              " samples (overlap " + textio::Shortest(o.overlap) + "), reject " + textio::Shortest(o.reject) +
              (o.reject > 0 ? "" : " (off)") + "; kept " + std::to_string(sums.kept) + ", dropped " +
              std::to_string(sums.dropped) + " as transients, " + std::to_string(sums.broken) +
              " for breaks in the records");
  if (!sums.dropped_starts.empty()) {
    std::string line = "transients:";
    const std::vector<std::string> ranges = DroppedRanges(sums);
    for (size_t i = 0; i < ranges.size(); ++i) line += (i > 0 ? "; " : " ") + ranges[i];
    h.push_back(line);
  }
  h.push_back("frequencies: " + std::to_string(sums.frequencies.size()) + " on a " +
              (o.grid == curve::GridKind::kLog ? "log" : "linear") + " grid from " +
              textio::Shortest(sums.frequencies.front()) + " to " + textio::Shortest(sums.frequencies.back()) +
              " Hz; smoothing " + Describe(o.smoothing));
  if (o.component == Component::kHorizontal) {
    h.push_back(
        "components e and n, the centre's and each ring station's projected on the station's azimuth: "
        "radial R = e cos(theta) + n sin(theta), transverse T = -e sin(theta) + n cos(theta)");
  }
  const array::Ring& ring = f.rings.rings[f.ring];
  h.push_back("quantities of ring " + std::to_string(f.ring + 1) + " (radius " + textio::Shortest(ring.radius) +
              " m, " + std::to_string(ring.stations.size()) +
              " stations); standard errors by the delete-one-group jackknife over " +
              std::to_string(sums.groups.size()) + " groups of consecutive segments");
  return h;
}

}  // namespace circspec
