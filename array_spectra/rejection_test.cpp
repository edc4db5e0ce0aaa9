// --reject through the whole analysis: the kept segments are exactly those
// within K times every station's median RMS, whether the provisional
// decisions held (one reading) or not (a second reading).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "array_spectra/analysis.h"
#include "array_spectra/segment_transform.h"
#include "array_testing/memory_source.h"
#include "array_testing/synthetic_array.h"

namespace circspec {
namespace {

using testing::MemorySource;

struct Records {
  ArrayGeometry geometry;
  std::vector<std::vector<double>> samples;
  double dt = 0.01;

  SourceOpener Opener(size_t first = 0, size_t count = 0) const {
    return [this, first, count] {
      Sources s;
      for (const auto& r : samples) {
        const size_t n = count == 0 ? r.size() : count;
        s.push_back(
            std::make_unique<MemorySource>("r", std::vector<double>(r.begin() + first, r.begin() + first + n), 0, dt));
      }
      return s;
    };
  }
};

Records Make(double duration) {
  testing::ArrayDesign design;
  design.ring_stations = {3};
  design.duration = duration;
  design.noise = 0.01;
  testing::SyntheticArray a = testing::MakeArray(design);
  return {a.geometry, a.vertical, a.wavefield.dt};
}

// The reference: every segment's RMS computed on its own, the medians, the
// decisions, and the sums as the sum over all segments less the dropped
// ones (each analysed alone as a one-segment record).
void ExpectExactRejection(const Records& r, double k, bool read_twice) {
  AnalysisOptions options;
  options.reject = k;
  const SpectralSums kept = Analyse(r.geometry, r.Opener(), options);
  options.reject = 0;
  const SpectralSums all = Analyse(r.geometry, r.Opener(), options);

  const size_t n = all.window_samples, step = all.step_samples;
  const size_t stations = r.samples.size();
  std::vector<std::vector<double>> rms(stations);
  SegmentTransform t(n);
  for (size_t j = 0; j < stations; ++j) {
    for (long s = 0; s < all.segments; ++s) rms[j].push_back(t.Detrend(&r.samples[j][static_cast<size_t>(s) * step]));
  }
  std::vector<double> median(stations);
  for (size_t j = 0; j < stations; ++j) {
    std::vector<double> v = rms[j];
    std::sort(v.begin(), v.end());
    median[j] = v.size() % 2 ? v[v.size() / 2] : 0.5 * (v[v.size() / 2 - 1] + v[v.size() / 2]);
  }
  std::vector<double> expected = all.total;
  long dropped = 0;
  options.fmin = all.frequencies.front();
  for (long s = 0; s < all.segments; ++s) {
    bool loud = false;
    for (size_t j = 0; j < stations; ++j) loud = loud || rms[j][static_cast<size_t>(s)] > k * median[j];
    if (!loud) continue;
    ++dropped;
    const SpectralSums alone = Analyse(r.geometry, r.Opener(static_cast<size_t>(s) * step, n), options);
    ASSERT_EQ(alone.segments, 1);
    for (size_t v = 0; v < expected.size(); ++v) expected[v] -= alone.total[v];
  }
  ASSERT_GT(dropped, 0);
  EXPECT_EQ(kept.read_twice, read_twice);
  EXPECT_EQ(kept.dropped, dropped);
  EXPECT_EQ(kept.kept, all.segments - dropped);
  long in_groups = 0;
  for (long g : kept.group_segments) in_groups += g;
  EXPECT_EQ(in_groups, kept.kept);
  for (size_t v = 0; v < expected.size(); ++v) {
    EXPECT_NEAR(kept.total[v], expected[v], 1e-9 * std::fabs(expected[v]) + 1e-12) << "value " << v;
  }
}

TEST(Rejection, DropsLoudSegmentsInOneReadingWhenTheLevelIsSteady) {
  Records r = Make(600);
  // Bursts of 20 times the level on one ring station, and one on the centre.
  for (size_t i = 20000; i < 21000; ++i) r.samples[2][i] *= 20;
  for (size_t i = 40000; i < 40300; ++i) r.samples[0][i] *= 20;
  ExpectExactRejection(r, 3, false);
}

TEST(Rejection, ReadsTwiceWhenTheLevelFallsBelowHalfOfItsEarlyMedian) {
  // The first 40 % of the record is 10 times louder: past the warm-up those
  // segments look ordinary while they arrive, and are dropped against the
  // final medians.
  Records r = Make(600);
  for (auto& station : r.samples) {
    for (size_t i = 0; i < station.size() * 2 / 5; ++i) station[i] *= 10;
  }
  ExpectExactRejection(r, 3, true);
}

}  // namespace
}  // namespace circspec
