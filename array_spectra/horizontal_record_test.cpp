// The horizontal components of a column file: both read from one reading
// of the file, in any interleaving, refused as the vertical reader
// refuses, and the file closed once both sources are gone.
#include "array_spectra/horizontal_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "array_spectra/segmenter.h"
#include "testsupport/temp_dir.h"
#include "testsupport/test_context.h"
#include "textio/errors.h"

namespace circspec {
namespace {

constexpr char kRecord[] = "0.5 1 10 20\n0.75 2 11 21\n1.0 3 12 22\n1.25 4 13 23\n1.5 5 14 24\n";

TEST(HorizontalRecord, GivesEastAndNorthInAnyInterleaving) {
  testsupport::TempDir dir("circspec_horizontal");
  testsupport::TestContext context;
  const std::string path = dir.Write("rec.txt", kRecord);
  // Blocks taken alternately: east `a` samples, then north `b`, and so on.
  struct Steps {
    size_t east, north;
  };
  for (const Steps s : {Steps{1, 1}, Steps{2, 3}, Steps{5, 5}, Steps{10, 1}}) {
    auto [east, north] = OpenHorizontal(context, path);
    EXPECT_EQ(east->start_time(), 0.5);
    EXPECT_EQ(north->first_step(), 0.25);
    EXPECT_EQ(east->name(), path + " (e)");
    EXPECT_EQ(north->name(), path + " (n)");
    std::vector<double> e, n;
    double buf[10];
    for (bool more = true; more;) {
      const size_t ge = east->Read(buf, s.east);
      e.insert(e.end(), buf, buf + ge);
      const size_t gn = north->Read(buf, s.north);
      n.insert(n.end(), buf, buf + gn);
      more = ge > 0 || gn > 0;
    }
    EXPECT_EQ(e, (std::vector<double>{10, 11, 12, 13, 14})) << s.east << "/" << s.north;
    EXPECT_EQ(n, (std::vector<double>{20, 21, 22, 23, 24})) << s.east << "/" << s.north;
    EXPECT_EQ(east->samples_read(), 5);
    EXPECT_EQ(north->last_time(), 1.5);
  }
}

TEST(HorizontalRecord, RefusesABadRecordNamingTheFileAndTheLine) {
  testsupport::TempDir dir("circspec_horizontal_bad");
  testsupport::TestContext context;
  struct Case {
    const char* text;
    const char* says;
  };
  const Case cases[] = {
      {"", ": no samples"},
      {"0 1 2 3\n", ": only one sample"},
      {"0 1 2 3\n0 1 2 3\n", " line 2: time 0 does not increase from 0 on line 1"},
      {"0 1\n0.01 2\n0.02 3\n0.03 4\n", " line 2: expected 'time u e n' (the column file; --component h needs e and n)"},
      {"0 1 2 3\n0.01 1 2\n0.02 1 2 3\n", " line 3: expected 'time u e n'"},
      {"0 1 2 3\n0.01 1 2 3\n0.02 1 x 3\n", " line 3: expected numbers 'time u e n'"},
      {"0 1 2 3\n0.01 1 2 3\n0.02 1 2 inf\n", " line 3: expected finite numbers"},
      {"0 1 2 3\n0.01 1 2 3\n0.03 1 2 3\n", " line 3: time 0.03 follows 0.01: a step of"},
      {"0 1 2 3\n0.01 1 2 3\n0.02 1 2", " line 3: the file ends inside a sample"},
  };
  for (const Case& c : cases) {
    const std::string path = dir.Write("rec.txt", c.text);
    try {
      auto [east, north] = OpenHorizontal(context, path);
      double buf[8];
      while (east->Read(buf, 1) > 0 && north->Read(buf, 1) > 0) {
      }
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const textio::InputError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(path + c.says, 0), 0u) << e.what();
    }
  }
}

TEST(HorizontalRecord, ClosesTheFileOnceBothComponentsHaveGone) {
  testsupport::TempDir dir("circspec_horizontal_close");
  dir.Write("good.txt", kRecord);
  dir.Write("short.txt", "0 1 2 3\n");
  testsupport::TestContext context(dir.path());
  auto open_descriptors = [] {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return std::distance(std::filesystem::begin(fds), std::filesystem::end(fds));
  };
  const auto before = open_descriptors();
  for (int i = 0; i < 50; ++i) {
    auto pair = OpenHorizontal(context, "good.txt");
    pair.first.reset();
    double v = 0;
    EXPECT_EQ(pair.second->Read(&v, 1), 1u);  // the north still reads
    EXPECT_EQ(v, 20);
    pair.second.reset();
    EXPECT_THROW(OpenHorizontal(context, "short.txt"), textio::InputError);
  }
  EXPECT_EQ(open_descriptors(), before);
}

}  // namespace
}  // namespace circspec
