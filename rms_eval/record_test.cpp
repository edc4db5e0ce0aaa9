#include "rms_eval/record.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rms_eval/test_files.h"
#include "textio/errors.h"

namespace gauger {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// Lines "label a b c" with a = i, b = 10 i, c = -i for i = 1 .. count.
std::string ColumnFile(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += "12:00:" + std::to_string(i) + " " + std::to_string(i) + " " + std::to_string(10 * i) +
            ".5 " + std::to_string(-i) + "\n";
  }
  return text;
}

std::vector<double> Samples(const Datblk& store, int32_t n) {
  if (n <= 0) return {};
  return std::vector<double>(store.first(), store.first() + n);
}

struct ReadCase {
  const char* what;
  std::string text;
  int32_t nskip;
  int32_t type;
  int32_t n;
  std::vector<double> samples;  // the first few kept samples
};

TEST(RfileTest, KeepsOneColumnAndDropsLeadingSamples) {
  const ReadCase cases[] = {
      {"type 1 keeps column 1", ColumnFile(3), 0, 1, 3, {1, 2, 3}},
      {"type 2 keeps column 2", ColumnFile(3), 0, 2, 3, {10.5, 20.5, 30.5}},
      {"type 3 keeps column 3", ColumnFile(3), 0, 3, 3, {-1, -2, -3}},
      {"skip 10 of 100", ColumnFile(100), 10, 2, 90, {110.5, 120.5}},
      {"skip all", ColumnFile(7), 7, 1, 0, {}},
      {"skip more than read", ColumnFile(3), 5, 1, -2, {}},
      {"type 4 reads nothing", ColumnFile(3), 2, 4, -2, {}},
      {"type 0 reads nothing", ColumnFile(3), 0, 0, 0, {}},
      {"unreadable column ends the record", "a 1\nb 2\nc x\nd 4\n", 0, 1, 2, {1, 2}},
      {"unreadable earlier column ends it too", "a 1 5\nb bad 6\nc 3 7\n", 0, 2, 1, {5}},
      {"header line gives an empty record", "time u e n\n0 1 2 3\n", 0, 1, 0, {}},
      {"short line continues on the next", "a 1\n2 3\nb 4 5 6\n", 0, 3, 2, {3, 6}},
      {"blank lines, commas and tabs", "\n\na,1,2\n\t b\t3 , 4 extra\n", 0, 2, 2, {2, 4}},
      {"last line without newline", "a 1\nb 2", 0, 1, 2, {1, 2}},
      {"cut-off last record is not counted", "a 1 2\nb 3", 0, 2, 1, {2}},
      // A slash ends a record's read; the record counts and its sample
      // keeps the store's value, 0.
      {"slash in a label", "a 1\n2020/01/02 7\nc 3\n", 0, 1, 3, {1, 0, 3}},
      {"slash after the label", "a / 5\nb 6\n", 0, 1, 2, {0, 6}},
      {"quoted label with blanks", "'a b c' 4\n", 0, 1, 1, {4}},
      {"long label is cut, not refused", std::string(300, 'L') + " 9\n", 0, 1, 1, {9}},
  };
  TempDir dir;
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(dir / "rec.txt", c.text);
    Datblk store;
    const int32_t n = rfile(&store, c.nskip, c.type, dir / "rec.txt");
    EXPECT_EQ(n, c.n);
    std::vector<double> got = Samples(store, n);
    got.resize(std::min(got.size(), c.samples.size()));
    EXPECT_EQ(got, c.samples);
  }
}

TEST(RfileTest, ThousandLinesKeepTheirOrder) {
  TempDir dir;
  WriteFile(dir / "rec.txt", ColumnFile(1000));
  Datblk store;
  ASSERT_EQ(rfile(&store, 0, 2, dir / "rec.txt"), 1000);
  for (int i = 1; i <= 1000; ++i) ASSERT_EQ(store.samples[i], 10 * i + 0.5) << i;
}

TEST(RfileTest, ValuesAreReadAsDoubles) {
  TempDir dir;
  WriteFile(dir / "rec.txt", "t 0.1 1.0000000000000002 1d-300\n");
  Datblk store;
  ASSERT_EQ(rfile(&store, 0, 2, dir / "rec.txt"), 1);
  EXPECT_EQ(store.samples[1], 1.0000000000000002);
  ASSERT_EQ(rfile(&store, 0, 3, dir / "rec.txt"), 1);
  EXPECT_EQ(store.samples[1], 1e-300);
}

std::string StopText(const std::string& name) {
  Datblk store;
  try {
    rfile(&store, 0, 1, name);
  } catch (const textio::Stop& stop) {
    EXPECT_EQ(stop.status(), 0);
    return stop.text();
  }
  return "(no stop)";
}

TEST(RfileTest, OpenFailureNamesThePathUpToItsFirstBlank) {
  TempDir dir;
  EXPECT_EQ(StopText(dir / "missing.txt"),
            "Program gauger.\n ERROR:opening file " + (dir / "missing.txt") + "\n");
  EXPECT_EQ(StopText(dir / "my data.txt"), "Program gauger.\n ERROR:opening file " + (dir / "my") + "\n");
  EXPECT_EQ(StopText(dir / ""), "Program gauger.\n ERROR:opening file " + (dir / "") + "\n")
      << "a directory is not a readable record";
}

TEST(RfileTest, PathWithBlankIsOpenedWhole) {
  TempDir dir;
  WriteFile(dir / "my data.txt", "a 4\n");
  Datblk store;
  EXPECT_EQ(rfile(&store, 0, 1, dir / "my data.txt"), 1);
}

TEST(RfileTest, StoreLimitIsReachedButNeverPassed) {
  TempDir dir;
  std::string text;
  text.reserve(4 * (kStoreSize + 1));
  for (int32_t i = 0; i < kStoreSize; ++i) text += "a 1\n";
  WriteFile(dir / "full.txt", text);
  Datblk store;
  EXPECT_EQ(rfile(&store, 3, 1, dir / "full.txt"), kStoreSize - 3);

  WriteFile(dir / "over.txt", text + "a 2\n");
  try {
    rfile(&store, 3, 1, dir / "over.txt");
    ADD_FAILURE() << "a record beyond the store was accepted";
  } catch (const textio::Stop& stop) {
    EXPECT_EQ(stop.status(), 0);
    EXPECT_EQ(stop.text(), " ERROR: record longer than the sample store of     5000000 samples\n");
  }
}

}  // namespace
}  // namespace gauger
