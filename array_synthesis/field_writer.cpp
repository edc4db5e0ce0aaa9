#include "array_synthesis/field_writer.h"

#include <cmath>

namespace circsim {

std::string ChannelCode(double dt, seisio::Component component) {
  const double rate = 1.0 / dt;
  const char band = rate >= 1000   ? 'F'
                    : rate >= 250  ? 'C'
                    : rate >= 80   ? 'H'
                    : rate >= 10   ? 'B'
                    : rate > 1     ? 'M'
                    : rate >= 0.1  ? 'L'
                    : rate >= 0.01 ? 'V'
                                   : 'U';
  const char letter = component == seisio::Component::kU ? 'Z' : component == seisio::Component::kE ? 'E' : 'N';
  return std::string{band, 'H', letter};
}

seisio::Trace ChannelTrace(const StationRecord& record, int component, double dt, const std::string& station,
                           double offset) {
  seisio::Trace t;
  t.network = kNetwork;
  t.station = station;
  t.channel = ChannelCode(dt, static_cast<seisio::Component>(component));
  t.start_ns = std::llround((dt + offset) * 1e9);
  t.interval = dt;
  const std::span<const double> series = record.series(component);
  t.samples.assign(series.begin(), series.end());
  return t;
}

}  // namespace circsim
