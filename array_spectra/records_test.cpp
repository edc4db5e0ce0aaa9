// Record reading and the segmenter: what is read, how records that start,
// end and sample apart are placed on one grid, where their breaks are,
// what is refused and how the refusal names the file and line.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "array_spectra/record_reader.h"
#include "array_spectra/segmenter.h"
#include "array_testing/memory_source.h"
#include "testsupport/temp_dir.h"
#include "testsupport/test_context.h"
#include "textio/errors.h"

namespace circspec {
namespace {

using testing::MemorySource;

constexpr int64_t kMs = 1'000'000;  // nanoseconds

// The runs of a source: each run's start and its samples, read in blocks.
struct ReadRun {
  int64_t start_ns;
  std::vector<double> values;
  bool operator==(const ReadRun&) const = default;
};

std::vector<ReadRun> ReadRuns(SampleSource& s, size_t block) {
  std::vector<ReadRun> runs;
  std::vector<double> buf(block);
  do {
    runs.push_back({s.run_start_ns(), {}});
    for (size_t got; (got = s.Read(buf.data(), block)) > 0;) {
      runs.back().values.insert(runs.back().values.end(), buf.begin(), buf.begin() + static_cast<long>(got));
    }
  } while (s.NextRun());
  return runs;
}

TEST(RecordReader, ReadsTheTimeAndTheFirstValueOfEveryLineInBothForms) {
  testsupport::TempDir dir("circspec_reader");
  testsupport::TestContext context;
  const char* const forms[] = {
      "0.5 1 9 9\n0.75 2 9 9\n1.0 -3.5 9 9\n1.25 4e-3 9 9\n\n",  // column file
      "  0.5, 1\n0.75\t2\r\n1.0 -3.5\n1.25 4D-3\n",              // two columns
  };
  for (const char* form : forms) {
    for (size_t block : {1u, 3u, 10u}) {
      RecordReader r(context, dir.Write("rec.txt", form));
      EXPECT_EQ(r.interval(), 0.25);
      EXPECT_FALSE(r.absolute_time());
      EXPECT_EQ(ReadRuns(r, block), (std::vector<ReadRun>{{500 * kMs, {1, 2, -3.5, 4e-3}}})) << form << block;
      EXPECT_EQ(r.last_time_ns(), 1250 * kMs);
    }
  }
  // Times of 1e8 s and more are epoch seconds, UTC.
  RecordReader epoch(context, dir.Write("rec.txt", "1497047520.00 1\n1497047520.01 2\n"));
  EXPECT_TRUE(epoch.absolute_time());
  EXPECT_EQ(epoch.run_start_ns(), 1497047520LL * 1000 * kMs);
}

// A step within 1 % of the interval continues the run; any other step
// starts a new run at the line's own time: a gap, a time that goes back
// (an overlap) or repeats, a jump by a fraction of a sample.
TEST(RecordReader, StepsOffTheIntervalStartNewRuns) {
  testsupport::TempDir dir("circspec_reader_runs");
  testsupport::TestContext context;
  struct Case {
    const char* text;
    std::vector<ReadRun> runs;
  };
  const Case cases[] = {
      {"0 1\n0.01 2\n0.02009 3\n0.03 4\n", {{0, {1, 2, 3, 4}}}},
      {"0 1\n0.01 2\n0.02 3\n0.05 4\n0.06 5\n", {{0, {1, 2, 3}}, {50 * kMs, {4, 5}}}},
      {"0 1\n0.01 2\n0.02 3\n0.01 4\n0.02 5\n", {{0, {1, 2, 3}}, {10 * kMs, {4, 5}}}},
      {"0 1\n0.01 2\n0.02 3\n0.02 4\n", {{0, {1, 2, 3}}, {20 * kMs, {4}}}},
      {"0 1\n0.01 2\n0.0245 3\n0.0345 4\n", {{0, {1, 2}}, {24500000, {3, 4}}}},
  };
  for (const Case& c : cases) {
    for (size_t block : {1u, 2u, 16u}) {
      RecordReader r(context, dir.Write("rec.txt", c.text));
      EXPECT_EQ(ReadRuns(r, block), c.runs) << c.text << " in blocks of " << block;
    }
  }
  // A run that is not read to its end is passed over.
  RecordReader r(context, dir.Write("rec.txt", "0 1\n0.01 2\n0.02 3\n0.05 4\n"));
  ASSERT_TRUE(r.NextRun());
  double v = 0;
  EXPECT_EQ(r.Read(&v, 1), 1u);
  EXPECT_EQ(v, 4);
  EXPECT_FALSE(r.NextRun());
}

TEST(RecordReader, RefusesABadRecordNamingTheFileAndTheLine) {
  testsupport::TempDir dir("circspec_reader_bad");
  testsupport::TestContext context;
  struct Case {
    const char* text;
    const char* expected;  // the message holds this
  };
  const Case cases[] = {
      {"0 1\n0.01 x\n", "line 2: expected numbers 'time u e n' or 'time value', got 'x'"},
      {"0 1\n0.01 2\n\n0.02 3\n", "line 4: expected 'time u e n' or 'time value' on each line"},  // blank line inside
      {"0 1\n0.01\n0.02 3\n0.03 4\n", "line 3: expected 'time u e n' or 'time value' on each line"},
      {"0 1\n0.01 2\n0.02 nan\n", "line 3: expected finite numbers"},
      {"0 1\n0.01 2\n0.02,,3\n", "line 3: expected finite numbers"},   // a null value
      {"0 1\n0.01 2\n0.02 / 3\n", "line 3: expected finite numbers"},  // a slash
      // Beyond the nanosecond clock (its int64 count would overflow).
      {"444444444444 1\n444444444445 2\n", "line 1: time 444444444444 s lies beyond the year 2262"},
      {"0 1\n0.01 2\n0.02", "line 3: the file ends inside a sample"},
      {"0 1\n", "only one sample"},
      {"\n\n", "no samples"},
      {"0 1\n0 2\n", "line 2: time 0 does not increase from 0 on line 1"},
  };
  for (const Case& c : cases) {
    const std::string path = dir.Write("rec.txt", c.text);
    try {
      RecordReader r(context, path);
      ReadRuns(r, 2);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const textio::InputError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(path, 0), 0u) << message;
      EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
  }
  EXPECT_THROW(RecordReader(context, "/nonexistent/record.txt"), textio::InputError);
}

// The reader's file is the context's while the reader exists, also when
// it refuses the record: none is left open after the readers are gone.
TEST(RecordReader, ClosesItsFileWhenItGoesOrRefusesTheRecord) {
  testsupport::TempDir dir("circspec_reader_close");
  dir.Write("good.txt", "0 1\n0.01 2\n");
  dir.Write("short.txt", "0 1\n");
  testsupport::TestContext context(dir.path());
  auto open_descriptors = [] {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return std::distance(std::filesystem::begin(fds), std::filesystem::end(fds));
  };
  const auto before = open_descriptors();
  for (int i = 0; i < 100; ++i) {
    { RecordReader r(context, "good.txt"); }
    EXPECT_THROW(RecordReader(context, "short.txt"), textio::InputError);
  }
  EXPECT_EQ(open_descriptors(), before);
  // A relative name is taken from the run's directory.
  RecordReader r(context, "good.txt");
  EXPECT_EQ(r.name(), "good.txt");
  EXPECT_EQ(r.interval(), 0.01);
}

// A ramp of n samples whose value is 1000 m + its time in units of dt, so
// that a window shows which station and which grid time each sample is.
MemorySource::Run Ramp(int64_t m, int64_t first, int64_t n, double dt) {
  MemorySource::Run run{Nanoseconds(static_cast<double>(first) * dt), {}};
  for (int64_t i = 0; i < n; ++i) run.samples.push_back(static_cast<double>(1000 * m + first + i));
  return run;
}

Sources Stations(std::vector<std::vector<MemorySource::Run>> runs, double dt = 0.5) {
  Sources s;
  for (size_t i = 0; i < runs.size(); ++i) {
    s.push_back(std::make_unique<MemorySource>("r" + std::to_string(i), std::move(runs[i]), dt));
  }
  return s;
}

// Windows of every station over the span all of them have, each sample
// the station's at that grid time, for records that start and end apart.
TEST(Segmenter, WindowsCoverTheCommonSpanOfStationsThatStartAndEndApart) {
  struct Case {
    size_t length, step;
    std::vector<std::pair<int64_t, int64_t>> records;  // first index, samples
    std::vector<int64_t> starts;                       // of the windows
  };
  const Case cases[] = {
      {8, 3, {{0, 40}, {0, 30}, {0, 35}}, {0, 3, 6, 9, 12, 15, 18, 21}},
      {8, 8, {{0, 40}, {0, 30}, {0, 35}}, {0, 8, 16}},
      {8, 4, {{0, 40}, {5, 30}, {2, 20}}, {5, 9, 13}},  // the latest start is the first common sample
      {8, 4, {{10, 40}, {0, 12}, {0, 50}}, {}},         // no common window
  };
  for (const Case& c : cases) {
    std::vector<std::vector<MemorySource::Run>> runs;
    for (size_t m = 0; m < c.records.size(); ++m)
      runs.push_back({Ramp(m, c.records[m].first, c.records[m].second, 0.5)});
    Sources sources = Stations(runs);
    Segmenter seg(&sources, CommonGrid(sources), {}, c.length, c.step);
    std::vector<int64_t> starts;
    while (seg.Next()) {
      starts.push_back(seg.start());
      EXPECT_TRUE(seg.whole());
      for (size_t s = 0; s < sources.size(); ++s) {
        std::span<const double> a, b;
        seg.Window(s, &a, &b);
        ASSERT_EQ(a.size() + b.size(), c.length);
        for (size_t j = 0; j < c.length; ++j) {
          const double v = j < a.size() ? a[j] : b[j - a.size()];
          ASSERT_EQ(v, static_cast<double>(1000 * s) + static_cast<double>(seg.start()) + static_cast<double>(j));
        }
      }
    }
    EXPECT_EQ(starts, c.starts) << "length " << c.length << " step " << c.step;
  }
}

// A station whose samples sit off the grid keeps its offset; a gap, an
// overlap or a jump of the clock is a break that the windows holding it
// show, and the span asked for bounds the windows.
TEST(Segmenter, OffsetsBreaksAndTheSpanAskedFor) {
  constexpr double kDt = 0.01;
  const int64_t quarter = Nanoseconds(kDt / 4);
  // Station 1: 0.25 dt late, a gap of 10 samples at 100; station 2: an
  // overlap (samples 150 .. 159 repeated) and a clock jump of 0.3 dt at 300.
  MemorySource::Run late = Ramp(1, 0, 100, kDt), after_gap = Ramp(1, 110, 290, kDt);
  late.start_ns += quarter;
  after_gap.start_ns += quarter;
  MemorySource::Run jumped = Ramp(2, 300, 100, kDt);
  jumped.start_ns += Nanoseconds(0.3 * kDt);
  Sources sources = Stations(
      {{Ramp(0, 0, 400, kDt)}, {late, after_gap}, {Ramp(2, 0, 160, kDt), Ramp(2, 150, 150, kDt), jumped}}, kDt);
  Segmenter seg(&sources, CommonGrid(sources), {}, 20, 20);
  std::vector<int64_t> broken;
  while (seg.Next()) {
    if (!seg.whole()) broken.push_back(seg.start());
    EXPECT_NEAR(seg.offset(1), kDt / 4, 1e-12);
    EXPECT_NEAR(seg.offset(2), seg.start() >= 300 ? 0.3 * kDt : 0.0, 1e-12);
  }
  EXPECT_EQ(broken, (std::vector<int64_t>{100, 140, 300}));
  CheckCommonRate(seg);
  ASSERT_EQ(seg.track(1).breaks().size(), 1u);
  EXPECT_EQ(seg.track(1).breaks()[0].kind, Break::Kind::kGap);
  EXPECT_EQ(seg.track(1).breaks()[0].from, 100);
  EXPECT_EQ(seg.track(1).breaks()[0].to, 110);
  ASSERT_EQ(seg.track(2).breaks().size(), 2u);
  EXPECT_EQ(seg.track(2).breaks()[0].kind, Break::Kind::kOverlap);
  EXPECT_EQ(seg.track(2).breaks()[1].kind, Break::Kind::kJump);

  // --start 1 s (100 samples after the first common one), --end 2.5 s.
  Sources again = Stations({{Ramp(0, 0, 400, kDt)}, {Ramp(1, 0, 400, kDt)}}, kDt);
  SpanChoice span;
  span.start = SpanChoice::Bound{1.0, {}};
  span.end = SpanChoice::Bound{2.5, {}};
  Segmenter bounded(&again, CommonGrid(again), span, 50, 50);
  std::vector<int64_t> starts;
  while (bounded.Next()) starts.push_back(bounded.start());
  EXPECT_EQ(starts, (std::vector<int64_t>{100, 150, 200}));
}

TEST(Segmenter, RefusesWhatCannotBePlacedOnOneGrid) {
  auto refused = [](auto make) {
    try {
      make();
      return std::string("accepted");
    } catch (const textio::InputError& e) {
      return std::string(e.what());
    }
  };
  Sources apart_dt;
  apart_dt.push_back(std::make_unique<MemorySource>("a", std::vector<double>(4), 0, 0.5));
  apart_dt.push_back(std::make_unique<MemorySource>("b", std::vector<double>(4), 0, 0.52));
  EXPECT_EQ(refused([&] { CommonGrid(apart_dt); }), "records have different sampling intervals: a 0.5 s, b 0.52 s");
  Sources mixed;
  mixed.push_back(std::make_unique<MemorySource>("a", std::vector<MemorySource::Run>{{0, {1, 2}}}, 0.5, true));
  mixed.push_back(std::make_unique<MemorySource>("b", std::vector<double>(4), 0, 0.5));
  EXPECT_NE(refused([&] { CommonGrid(mixed); }).find("the times of a are UTC and those of b count from"),
            std::string::npos);
  Sources two = Stations({{Ramp(0, 0, 40, 0.5)}, {Ramp(1, 5, 40, 0.5)}});
  SpanChoice early, reversed;
  early.start = SpanChoice::Bound{0, int64_t{0}};  // a UTC time
  reversed.start = SpanChoice::Bound{10, {}};
  reversed.end = SpanChoice::Bound{5, {}};
  EXPECT_EQ(refused([&] { Segmenter(&two, CommonGrid(two), early, 8, 8); }).substr(0, 48),
            "a UTC time for --start or --end needs records wi");
  EXPECT_EQ(refused([&] { Segmenter(&two, CommonGrid(two), reversed, 8, 8); }),
            "--end 7.5 s is not after the start of the span, 12.5 s");  // seconds after the common start, 2.5 s
  Sources utc;
  for (int64_t m : {0, 1}) {
    utc.push_back(std::make_unique<MemorySource>("u" + std::to_string(m),
                                                 std::vector<MemorySource::Run>{Ramp(m, 5 * m, 40, 0.5)}, 0.5, true));
  }
  EXPECT_EQ(refused([&] { Segmenter(&utc, CommonGrid(utc), early, 8, 8); }),
            "--start 1970-01-01T00:00:00.000000 lies before the first time all stations have recorded, "
            "1970-01-01T00:00:02.500000");

  // A relative rate difference of 1e-5 passes the first step but not the
  // mean step over the record; 1e-7 is within the tolerance.
  for (const auto& [ratio, fails] : {std::pair{1 + 1e-5, true}, std::pair{1 + 1e-7, false}}) {
    Sources s;
    s.push_back(std::make_unique<MemorySource>("a", std::vector<double>(1000), 0, 0.01));
    s.push_back(std::make_unique<MemorySource>("b", std::vector<double>(1000), 0, 0.01 * ratio));
    Segmenter seg(&s, CommonGrid(s), {}, 100, 100);
    while (seg.Next()) {
    }
    if (fails) {
      EXPECT_THROW(CheckCommonRate(seg), textio::InputError);
    } else {
      EXPECT_NO_THROW(CheckCommonRate(seg));
    }
  }
}

}  // namespace
}  // namespace circspec
