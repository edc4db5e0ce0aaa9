#ifndef CIRCARRAY_ARRAY_TESTING_SYNTHETIC_ARRAY_H_
#define CIRCARRAY_ARRAY_TESTING_SYNTHETIC_ARRAY_H_

// Test support: a circular array and its records made in-process
// by circsim's synthesis engine, with the wave model that the theory
// needs.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "array/layout.h"
#include "array/rings.h"
#include "array_spectra/analysis.h"
#include "array_spectra/channels.h"
#include "array_synthesis/synthesis.h"
#include "array_testing/theory.h"

namespace circspec::testing {

struct ArrayDesign {
  bool centre = true;
  std::vector<int> ring_stations = {5};  // stations per ring, equally spaced
  std::vector<double> radii = {10};      // metres, outer first
  // A layout file's text instead of the three above (any form; the
  // stations' records are named as it says).
  std::string layout_text;
  double duration = 1800;  // s
  double dt = 0.01;
  double noise = 0;  // epsilon
  uint64_t seed = 1;
  double love_fraction = 0;  // share of the horizontal power in Love waves
  // Stations whose digitisers sample this many seconds after the grid.
  std::map<std::string, double> clock_offsets;
};

struct SyntheticArray {
  std::string layout_text;
  array::Layout layout;
  array::RingLayout rings;
  ArrayGeometry geometry;
  circsim::Wavefield wavefield;
  std::vector<std::vector<double>> vertical;  // per station, in layout order
  std::vector<std::vector<double>> east, north;
  std::vector<double> clock_offsets;  // per station, seconds: sample j at (j + 1) dt + offset

  // Fresh sources over the records of the stations the geometry uses (the
  // same samples every call): one per station, or east and north of each
  // for the horizontal component.
  SourceOpener Opener(Component component = Component::kVertical) const;
  WaveModel Model() const;
  // The same records seen through another layout of the same stations (in
  // the same order): another form of the positions, say.
  void UseLayout(const std::string& text);
};

// The layout text of `design`: the centre "C0" (if any), then ring r's
// stations "R<r>S<j>" at azimuths 360 j / N (+ 17 degrees on the inner
// ring, so the rings are not aligned).
std::string LayoutText(const ArrayDesign& design);

SyntheticArray MakeArray(const ArrayDesign& design);

// An array's records and their analysis as circspec makes it: the given
// options (circspec's defaults unless told) with the component.
struct AnalysedArray {
  SyntheticArray array;
  AnalysisOptions options;
  ChannelLayout channels;
  SpectralSums sums;

  // What the analysis of `model`'s records should give: the expected
  // sums at the bins the smoother uses, through the same weights, one row
  // of channels per frequency (see SmoothedTheory).
  std::vector<double> Theory(const WaveModel& model) const;
};

AnalysedArray MakeAndAnalyse(const ArrayDesign& design, Component component = Component::kVertical,
                             AnalysisOptions options = {});

}  // namespace circspec::testing

#endif  // CIRCARRAY_ARRAY_TESTING_SYNTHETIC_ARRAY_H_
