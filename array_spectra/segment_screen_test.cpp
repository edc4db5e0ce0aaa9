// The running median and the rejection of loud segments.
#include "array_spectra/segment_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <vector>

#include "array_spectra/analysis.h"
#include "array_spectra/segment_transform.h"
#include "array_testing/synthetic_array.h"
#include "testsupport/random_series.h"

namespace circspec {
namespace {

TEST(RunningMedian, MatchesTheSortedMedianAtEveryStep) {
  RunningMedian m;
  std::vector<double> seen;
  for (double v : testsupport::GaussianSeries(301, 9)) {
    m.Add(v);
    seen.push_back(v);
    std::vector<double> s = seen;
    std::sort(s.begin(), s.end());
    const size_t n = s.size();
    EXPECT_EQ(m.Median(), n % 2 ? s[n / 2] : 0.5 * (s[n / 2 - 1] + s[n / 2]));
  }
}

TEST(SegmentScreen, DropsSegmentsLouderThanKTimesTheStationMedian) {
  SegmentScreen screen(2, 3.0);
  std::vector<SegmentScreen::Verdict> verdicts;
  for (int s = 0; s < 40; ++s) {
    double rms[2] = {1.0 + 0.01 * s, 2.0};
    if (s == 25) rms[1] = 6.5;  // 3.25 x the median of station 2
    if (s == 30) rms[0] = 3.1;  // 2.6 x: loud, deferred, but kept
    verdicts.push_back(screen.Record(rms));
  }
  screen.Finish();
  EXPECT_DOUBLE_EQ(screen.median(0), 1.195);
  EXPECT_EQ(screen.median(1), 2.0);
  EXPECT_EQ(screen.rejected_count(), 1);
  EXPECT_TRUE(screen.Rejected(25));
  EXPECT_FALSE(screen.Rejected(30));
  for (size_t s = 0; s < verdicts.size(); ++s) {
    const bool loud = s == 25 || s == 30;
    EXPECT_EQ(verdicts[s],
              s < SegmentScreen::kWarmup || loud ? SegmentScreen::Verdict::kDefer : SegmentScreen::Verdict::kKeep)
        << s;
  }
}

// A layout with a centre and a ring of 3, and one with a ring only.

// Why --reject 3 is the default: over a stationary record (30 minutes of
// circsim, eps = 0.01, six stations) the RMS of 20.48 s segments scatters
// little about each station's median, far below 3 times it.
TEST(SegmentScreen, StationaryRecordsStayFarBelowTheDefaultLimit) {
  const testing::SyntheticArray array = testing::MakeArray({.duration = 1800, .noise = 0.01, .seed = 3});
  constexpr size_t kN = 2048, kStep = 1024;
  SegmentTransform transform(kN);
  double highest = 0, lowest = 1e300;
  for (const std::vector<double>& record : array.vertical) {
    std::vector<double> rms;
    for (size_t k = 0; k + kN <= record.size(); k += kStep) rms.push_back(transform.Detrend(&record[k]));
    std::vector<double> sorted = rms;
    std::sort(sorted.begin(), sorted.end());
    const double median = 0.5 * (sorted[(sorted.size() - 1) / 2] + sorted[sorted.size() / 2]);
    highest = std::max(highest, sorted.back() / median);
    lowest = std::min(lowest, sorted.front() / median);
  }
  std::cout << "segment RMS over the station's median: " << lowest << " to " << highest << "\n";
  EXPECT_LT(highest, 1.5);
  EXPECT_GT(lowest, 0.5);
  // And the screen keeps every segment of it.
  const SpectralSums sums = Analyse(array.geometry, array.Opener(), AnalysisOptions{});
  EXPECT_EQ(sums.dropped, 0);
}

}  // namespace
}  // namespace circspec
