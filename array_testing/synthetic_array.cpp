#include "array_testing/synthetic_array.h"

#include <cmath>
#include <memory>
#include <sstream>
#include <utility>

#include "array_testing/memory_source.h"
#include "textio/format.h"

namespace circspec::testing {

std::string LayoutText(const ArrayDesign& design) {
  std::string text = "# synthetic test array\n";
  if (design.centre) text += "C0 0 0 C0.txt\n";
  for (size_t r = 0; r < design.ring_stations.size(); ++r) {
    const int n = design.ring_stations[r];
    for (int j = 0; j < n; ++j) {
      std::string name = "R";
      name += std::to_string(r + 1);
      name += 'S';
      name += std::to_string(j + 1);
      const double azimuth = 360.0 * j / n + (r == 1 ? 17.0 : 0.0);
      text += name + " " + textio::Shortest(azimuth) + " " + textio::Shortest(design.radii[r]) + " " + name + ".txt\n";
    }
  }
  return text;
}

void SyntheticArray::UseLayout(const std::string& text) {
  layout_text = text;
  std::istringstream in(text);
  layout = array::ParseLayout(in, "test-layout.txt", "");
  rings = array::FormRings(layout, array::kDefaultRingTolerance);
  geometry = GeometryOf(layout, rings);
}

SyntheticArray MakeArray(const ArrayDesign& design) {
  SyntheticArray a;
  a.UseLayout(design.layout_text.empty() ? LayoutText(design) : design.layout_text);
  a.wavefield.samples = std::lround(design.duration / design.dt);
  a.wavefield.dt = design.dt;
  a.wavefield.band = circsim::Band{0.5, 0.4 / design.dt};
  a.wavefield.noise = design.noise;
  a.wavefield.seed = design.seed;
  a.wavefield.love_fraction = design.love_fraction;
  const circsim::Synthesizer synth(a.wavefield);
  circsim::StationRecord record(a.wavefield.samples);
  for (const array::Station& s : a.layout.stations) {
    const auto offset = design.clock_offsets.find(s.name);
    a.clock_offsets.push_back(offset == design.clock_offsets.end() ? 0.0 : offset->second);
    synth.Synthesize(circsim::Site{s.name, s.x, s.y, a.clock_offsets.back()}, &record);
    const auto u = record.series(circsim::kVertical);
    a.vertical.emplace_back(u.begin(), u.end());
    const auto e = record.series(circsim::kEast);
    a.east.emplace_back(e.begin(), e.end());
    const auto n = record.series(circsim::kNorth);
    a.north.emplace_back(n.begin(), n.end());
  }
  return a;
}

AnalysedArray MakeAndAnalyse(const ArrayDesign& design, Component component, AnalysisOptions options) {
  SyntheticArray a = MakeArray(design);
  options.component = component;
  ChannelLayout channels(a.geometry, component);
  SpectralSums sums = Analyse(a.geometry, a.Opener(component), options);
  return {std::move(a), options, std::move(channels), std::move(sums)};
}

std::vector<double> AnalysedArray::Theory(const WaveModel& model) const {
  const double df = 1 / (static_cast<double>(sums.window_samples) * sums.dt);
  return SmoothedTheory(array.geometry, channels, model,
                        MakeSmoother(options.smoothing, sums.frequencies, sums.window_samples, sums.dt), df);
}

SourceOpener SyntheticArray::Opener(Component component) const {
  return [this, component] {
    Sources sources;
    auto add = [&](const std::vector<double>& samples, const std::string& name, size_t s) {
      sources.push_back(std::make_unique<MemorySource>(name, std::span<const double>(samples),
                                                       wavefield.dt + clock_offsets[s], wavefield.dt));
    };
    for (size_t s : geometry.layout_index) {
      if (component == Component::kVertical) {
        add(vertical[s], layout.stations[s].file, s);
      } else {
        add(east[s], layout.stations[s].file + " (e)", s);
        add(north[s], layout.stations[s].file + " (n)", s);
      }
    }
    return sources;
  };
}

WaveModel SyntheticArray::Model() const {
  WaveModel m;
  const circsim::Band band = wavefield.band;
  const circsim::DispersionCurve curve = wavefield.rayleigh;
  m.power = [band](double f) { return band.Weight(f); };
  m.velocity = [curve](double f) { return curve.Velocity(f); };
  m.noise = wavefield.noise;
  const circsim::DispersionCurve love = wavefield.love;
  m.love_velocity = [love](double f) { return love.Velocity(f); };
  m.love_fraction = wavefield.love_fraction;
  return m;
}

}  // namespace circspec::testing
