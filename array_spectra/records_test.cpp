// Record reading and the segmenter: what is read, what is refused and how
// the refusal names the file and line.
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

std::vector<double> ReadAll(SampleSource& s, size_t block) {
  std::vector<double> out, buf(block);
  for (size_t got; (got = s.Read(buf.data(), block)) > 0;) out.insert(out.end(), buf.begin(), buf.begin() + got);
  return out;
}

TEST(RecordReader, ReadsTheTimeAndTheFirstValueOfEveryLineInBothForms) {
  testsupport::TempDir dir("circspec_reader");
  testsupport::TestContext context;
  struct Form {
    const char* text;
    std::vector<double> values;
  };
  const Form forms[] = {
      {"0.5 1 9 9\n0.75 2 9 9\n1.0 -3.5 9 9\n1.25 4e-3 9 9\n\n", {1, 2, -3.5, 4e-3}},  // column file
      {"  0.5, 1\n0.75\t2\r\n1.0 -3.5\n1.25 4D-3\n", {1, 2, -3.5, 4e-3}},              // two columns
  };
  for (const Form& form : forms) {
    for (size_t block : {1u, 3u, 10u}) {
      RecordReader r(context, dir.Write("rec.txt", form.text));
      EXPECT_EQ(r.start_time(), 0.5);
      EXPECT_EQ(r.first_step(), 0.25);
      EXPECT_EQ(ReadAll(r, block), form.values) << form.text << " in blocks of " << block;
      EXPECT_EQ(r.samples_read(), 4);
      EXPECT_EQ(r.last_time(), 1.25);
    }
  }
}

// A record in memory keeps its grid and counts what it delivered, in
// blocks of any size, up to its end and past it.
TEST(MemorySource, DeliversEverySampleOnItsGrid) {
  for (size_t block : {1u, 3u, 10u}) {
    MemorySource m("m", {1, 2, -3.5, 4e-3}, 0.5, 0.25);
    EXPECT_EQ(m.name(), "m");
    EXPECT_EQ(m.start_time(), 0.5);
    EXPECT_EQ(m.first_step(), 0.25);
    EXPECT_EQ(m.samples_read(), 0);
    double first[2];
    ASSERT_EQ(m.Read(first, 2), 2u);
    EXPECT_EQ(m.samples_read(), 2);
    EXPECT_EQ(m.last_time(), 0.75);
    EXPECT_EQ(ReadAll(m, block), (std::vector<double>{-3.5, 4e-3})) << "in blocks of " << block;
    EXPECT_EQ(m.samples_read(), 4);
    EXPECT_EQ(m.last_time(), 1.25);
    EXPECT_EQ(m.Read(first, 2), 0u);
    EXPECT_EQ(m.samples_read(), 4);
  }
}

TEST(RecordReader, RefusesABadRecordNamingTheFileAndTheLine) {
  testsupport::TempDir dir("circspec_reader_bad");
  testsupport::TestContext context;
  struct Case {
    const char* text;
    const char* expected;  // the message holds this
  };
  const Case cases[] = {
      {"0 1\n0.01 2\n0.02 3\n0.04 4\n", "line 4: time 0.04 follows 0.02: a step of 0.02 s"},  // a gap
      {"0 1\n0.01 2\n0.02 3\n0.01 4\n", "line 4: time 0.01 follows 0.02"},                    // a jump back
      {"0 1\n0.01 2\n0.02011 3\n", "line 3: time 0.02011 follows 0.01"},                      // 1.1 % of dt
      {"0 1\n0.01 x\n", "line 2: expected numbers 'time u e n' or 'time value', got 'x'"},
      {"0 1\n0.01 2\n\n0.02 3\n", "line 4: expected 'time u e n' or 'time value' on each line"},  // blank line inside
      {"0 1\n0.01\n0.02 3\n0.03 4\n", "line 3: expected 'time u e n' or 'time value' on each line"},
      {"0 1\n0.01 2\n0.02 nan\n", "line 3: expected finite numbers"},
      {"0 1\n0.01 2\n0.02,,3\n", "line 3: expected finite numbers"},   // a null value
      {"0 1\n0.01 2\n0.02 / 3\n", "line 3: expected finite numbers"},  // a slash
      {"0 1\n0.01 2\n0.02", "line 3: the file ends inside a sample"},
      {"0 1\n", "only one sample"},
      {"\n\n", "no samples"},
      {"0 1\n0 2\n", "line 2: time 0 does not increase from 0 on line 1"},
  };
  for (const Case& c : cases) {
    const std::string path = dir.Write("rec.txt", c.text);
    try {
      RecordReader r(context, path);
      ReadAll(r, 2);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const textio::InputError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(path, 0), 0u) << message;
      EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
  }
}

TEST(RecordReader, AcceptsStepsWithinOnePercentOfTheSamplingInterval) {
  testsupport::TempDir dir("circspec_reader_jitter");
  testsupport::TestContext context;
  RecordReader r(context, dir.Write("rec.txt", "0 1\n0.01 2\n0.02009 3\n0.03 4\n"));
  EXPECT_EQ(ReadAll(r, 4).size(), 4u);
}

TEST(RecordReader, AMissingFileIsAnInputError) {
  testsupport::TestContext context;
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
  EXPECT_EQ(r.first_step(), 0.01);
}

Sources Memory(std::vector<std::vector<double>> records, std::vector<double> starts = {}, double dt = 0.5) {
  Sources s;
  for (size_t i = 0; i < records.size(); ++i) {
    s.push_back(std::make_unique<MemorySource>(std::string("r").append(std::to_string(i)), records[i],
                                               starts.empty() ? 0 : starts[i], dt));
  }
  return s;
}

std::vector<double> Ramp(int n, double offset = 0) {
  std::vector<double> v;
  for (int i = 0; i < n; ++i) v.push_back(i + offset);
  return v;
}

TEST(Segmenter, DeliversOverlappingWindowsOfEveryStationUpToTheCommonLength) {
  struct Case {
    size_t length, step;
    int shortest;
    long windows;
  };
  for (const Case c : {Case{8, 3, 30, 8}, Case{8, 8, 30, 3}, Case{8, 1, 10, 3}, Case{8, 4, 7, 0}}) {
    Sources sources = Memory({Ramp(40), Ramp(c.shortest, 1000), Ramp(35, 2000)});
    Segmenter seg(&sources, c.length, c.step);
    long w = 0;
    for (; seg.Next(); ++w) {
      for (size_t s = 0; s < 3; ++s) {
        for (size_t j = 0; j < c.length; ++j) {
          ASSERT_EQ(seg.window(s)[j],
                    1000.0 * static_cast<double>(s) + static_cast<double>(static_cast<size_t>(w) * c.step + j));
        }
      }
    }
    EXPECT_EQ(w, c.windows) << "length " << c.length << " step " << c.step;
    EXPECT_EQ(seg.count(), c.windows);
  }
}

TEST(Segmenter, RefusesStationsThatStartApartOrRunAtDifferentRates) {
  EXPECT_NO_THROW(CheckCommonStart(Memory({Ramp(4), Ramp(4)}, {0, 0.24})));
  EXPECT_THROW(CheckCommonStart(Memory({Ramp(4), Ramp(4)}, {0, 0.26})), textio::InputError);
  Sources different_dt;
  different_dt.push_back(std::make_unique<MemorySource>("a", Ramp(4), 0, 0.5));
  different_dt.push_back(std::make_unique<MemorySource>("b", Ramp(4), 0, 0.52));
  EXPECT_THROW(CheckCommonStart(different_dt), textio::InputError);

  // A relative rate difference of 1e-5 passes the first step but not the
  // mean step over the record; 1e-7 is within the tolerance.
  for (const auto& [ratio, fails] : {std::pair{1 + 1e-5, true}, std::pair{1 + 1e-7, false}}) {
    Sources s;
    s.push_back(std::make_unique<MemorySource>("a", Ramp(1000), 0, 0.01));
    s.push_back(std::make_unique<MemorySource>("b", Ramp(1000), 0, 0.01 * ratio));
    CheckCommonStart(s);
    std::vector<double> buf(1000);
    for (auto& src : s) src->Read(buf.data(), 1000);
    if (fails) {
      EXPECT_THROW(CheckCommonRate(s), textio::InputError);
    } else {
      EXPECT_NO_THROW(CheckCommonRate(s));
    }
  }
}

}  // namespace
}  // namespace circspec
