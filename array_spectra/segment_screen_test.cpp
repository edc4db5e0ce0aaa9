// The running median and the rejection of loud segments.
#include "array_spectra/segment_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

}  // namespace
}  // namespace circspec
