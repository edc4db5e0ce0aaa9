#include "log_resample/resampa.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace resampa {
namespace {

namespace fs = std::filesystem;

struct RunResult {
  int status;
  std::string out;
  std::string err;
};

// Each test works in a directory of its own: ctest runs tests in parallel.
class ResampaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("resampa_test_" + std::string(info->name()) + "_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string WriteFile(const std::string& name, const std::string& text) {
    fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  static RunResult RunResampaOn(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    int status = RunResampa(in, out, err);
    return {status, out.str(), err.str()};
  }

  // Runs on a pair file holding `pairs`, with the grid end and step given
  // as text.
  RunResult RunOnPairs(const std::string& pairs, const std::string& grid_end, const std::string& step) {
    std::string name = WriteFile("pairs.d", pairs);
    return RunResampaOn(name + "\n" + grid_end + "\n" + step + "\n");
  }

  fs::path dir_;
};

struct Point {
  double x;
  double value;
};

// The output lines as numbers.
std::vector<Point> Parse(const std::string& out) {
  std::vector<Point> points;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string x, v, extra;
    fields >> x >> v;
    EXPECT_FALSE(fields >> extra) << line;
    points.push_back({std::stod(x), std::stod(v)});
  }
  return points;
}

void ExpectPoints(const RunResult& r, const std::vector<Point>& want) {
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::vector<Point> got = Parse(r.out);
  ASSERT_EQ(got.size(), want.size()) << r.out;
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].x, want[i].x) << "point " << i + 1;
    if (want[i].value == 999.0) {
      EXPECT_EQ(got[i].value, 999.0) << "point " << i + 1;
    } else {
      EXPECT_NEAR(got[i].value, want[i].value, 1e-9 * want[i].value) << "point " << i + 1;
    }
  }
}

const char kDecades[] = "1 10\n2 100\n3 1000\n";

TEST_F(ResampaTest, InterpolatesGeometricallyBetweenPairs) {
  RunResult r = RunOnPairs(kDecades, "3", "0.5");
  ExpectPoints(r, {{0.5, std::sqrt(10.0)},  // extrapolated below, 0.5 from 1
                   {1.0, 10.0},
                   {1.5, std::sqrt(1000.0)},
                   {2.0, 100.0},
                   {2.5, std::sqrt(100000.0)},
                   {3.0, 1000.0}});
  EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1),
            "  0.50000000000000000        3.1622776601683795     \n");
}

TEST_F(ResampaTest, ExtrapolatesUpToOneStepBeyondTheEnds) {
  ExpectPoints(RunOnPairs(kDecades, "4", "0.5"),
               {{0.5, std::sqrt(10.0)},
                {1.0, 10.0},
                {1.5, std::sqrt(1000.0)},
                {2.0, 100.0},
                {2.5, std::sqrt(100000.0)},
                {3.0, 1000.0},
                {3.5, std::sqrt(1e7)},
                {4.0, 999.0}});
  // Below the data the same rule holds: 1.5 is one step from 2, 1.0 two.
  ExpectPoints(RunOnPairs("2 100\n3 1000\n", "1.5", "0.5"),
               {{0.5, 999.0}, {1.0, 999.0}, {1.5, std::sqrt(1000.0)}});
}

TEST_F(ResampaTest, GapsWiderThanTwoStepsAreMarked) {
  const double decade = std::log10(100.0) - 1.0;  // per 9 units
  auto at = [&](double x) { return std::pow(10.0, 1.0 + decade * (x - 1.0) / 9.0); };
  ExpectPoints(RunOnPairs("1 10\n10 100\n", "10", "1"),
               {{1, 10.0}, {2, at(2)}, {3, 999}, {4, 999}, {5, 999}, {6, 999}, {7, 999}, {8, 999},
                {9, at(9)}, {10, 100.0}});
  EXPECT_NEAR(at(2), 12.92, 0.005);
  EXPECT_NEAR(at(9), 77.43, 0.005);
}

TEST_F(ResampaTest, GridSizeIsGridEndOverStepRounded) {
  struct Case {
    const char* grid_end;
    const char* step;
    size_t points;
  } cases[] = {
      {"0.2", "0.5", 0},  {"0.25", "0.5", 1}, {"2.74", "0.5", 5}, {"2.76", "0.5", 6},
      {"-3", "0.5", 0},   {"0", "0", 0},      {"-1", "0", 0},
  };
  for (const Case& c : cases) {
    RunResult r = RunOnPairs(kDecades, c.grid_end, c.step);
    EXPECT_EQ(r.status, 0) << c.grid_end << " " << c.step;
    EXPECT_EQ(Parse(r.out).size(), c.points) << c.grid_end << " " << c.step;
  }
}

TEST_F(ResampaTest, NonPositiveValuesPropagate) {
  // log10(0) = -inf and log10(-1) = NaN spoil only the segments they end:
  // -inf extrapolated outwards comes back as 0, -inf + inf inside is NaN.
  std::vector<Point> got = Parse(RunOnPairs("1 0\n2 100\n3 1000\n4 -1\n", "4", "0.5").out);
  ASSERT_EQ(got.size(), 8u);
  EXPECT_EQ(got[0].value, 0.0);
  for (int i : {1, 2, 3, 6, 7}) EXPECT_TRUE(std::isnan(got[i].value)) << got[i].x;
  EXPECT_NEAR(got[4].value, std::sqrt(100000.0), 1e-9);
  EXPECT_EQ(got[5].value, 1000.0);
}

TEST_F(ResampaTest, ParametersAreOneRecordEach) {
  // The name is the whole line (blanks inside kept, trailing ones dropped);
  // the grid end and step are read one per record, text after them ignored.
  std::string name = WriteFile("pair file.d", kDecades);
  RunResult r = RunResampaOn(name + "   \n2 0.25 junk\n\n1 more\n");
  ExpectPoints(r, {{1.0, 10.0}, {2.0, 100.0}});
}

TEST_F(ResampaTest, RejectsBadPairFilesWithOneLine) {
  struct Case {
    const char* what;
    std::string pairs;
    std::string out;
  } cases[] = {
      {"empty", "", " ERROR(ndata<2) in rmkd:           0\n"},
      {"one pair", "1 10\n", " ERROR(ndata<2) in rmkd:           1\n"},
      {"one readable pair", "1 10\n2 none\n3 1000\n", " ERROR(ndata<2) in rmkd:           1\n"},
      {"repeated abscissa", "1 10\n2 100\n2 200\n3 1000\n",
       " ERROR(f not ascending) in rmkd: record           3   2.0000000000000000     \n"},
      {"descending", "3 10\n2 100\n", " ERROR(f not ascending) in rmkd: record           2   2.0000000000000000     \n"},
  };
  for (const Case& c : cases) {
    RunResult r = RunOnPairs(c.pairs, "3", "0.5");
    EXPECT_EQ(r.status, 0) << c.what;
    EXPECT_EQ(r.out, c.out) << c.what;
    EXPECT_EQ(r.err, "") << c.what;
  }
}

TEST_F(ResampaTest, RejectsGridsBeyondCapacity) {
  struct Case {
    const char* grid_end;
    const char* step;
    const char* out;
  } cases[] = {
      {"5000001", "1", " ERROR(m>nmax) in resampa:     5000001     5000000\n"},
      {"4.5e9", "0.5", " ERROR(m>nmax) in resampa:   9000000000.0000000          5000000\n"},
      {"1e300", "1e-300", " ERROR(m>nmax) in resampa:                  Infinity     5000000\n"},
      {"1", "0", " ERROR(m>nmax) in resampa:                  Infinity     5000000\n"},
  };
  for (const Case& c : cases) {
    RunResult r = RunOnPairs(kDecades, c.grid_end, c.step);
    EXPECT_EQ(r.status, 0) << c.grid_end;
    EXPECT_EQ(r.out, c.out) << c.grid_end;
  }
}

TEST_F(ResampaTest, TooManyPairsAreCountedAndReported) {
  std::string pairs;
  pairs.reserve(4 * 5000001);
  for (int i = 0; i < 5000001; ++i) pairs += "1 1\n";
  RunResult r = RunOnPairs(pairs, "3", "0.5");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, " Program resampa\n ERROR(ndata>nmax) in rmkd:     5000001     5000000\n");
}

TEST_F(ResampaTest, BackwardGridIsAllMissingAndSafe) {
  // A negative step runs the grid backwards; no distance is ever within a
  // negative step, so every point is marked.
  ExpectPoints(RunOnPairs("-3 1\n-2 10\n-1 100\n0 1000\n", "-2", "-0.5"),
               {{-0.5, 999}, {-1.0, 999}, {-1.5, 999}, {-2.0, 999}});
}

TEST_F(ResampaTest, RuntimeErrorsGoToStandardError) {
  struct Case {
    const char* what;
    std::string input;
  } cases[] = {
      {"no input", ""},
      {"no grid end", WriteFile("a.d", kDecades) + "\n"},
      {"unreadable step", WriteFile("b.d", kDecades) + "\n3\nhalf\n"},
      {"missing pair file", (dir_ / "absent.d").string() + "\n3\n0.5\n"},
  };
  for (const Case& c : cases) {
    RunResult r = RunResampaOn(c.input);
    EXPECT_EQ(r.status, 2) << c.what;
    EXPECT_EQ(r.out, "") << c.what;
    EXPECT_EQ(r.err.rfind("resampa: ", 0), 0u) << c.what << ": " << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.what;
  }
  EXPECT_NE(RunResampaOn((dir_ / "absent.d").string() + "\n3\n0.5\n").err.find("absent.d"),
            std::string::npos);
}

}  // namespace
}  // namespace resampa
