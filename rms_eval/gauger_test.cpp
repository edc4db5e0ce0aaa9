#include "rms_eval/gauger.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rms_eval/test_files.h"

namespace gauger {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunWith(const std::string& stdin_text) {
  std::istringstream in(stdin_text);
  std::ostringstream out;
  std::ostringstream err;
  int status = RunGauger(in, out, err);
  return {status, out.str(), err.str()};
}

std::string Params(double wl, double dt, double t0, double overlap, int nskip, const std::string& letter,
                   const std::string& input, const std::string& output) {
  std::ostringstream s;
  s.precision(17);
  s << wl << "\n" << dt << "\n" << t0 << "\n" << overlap << "\n" << nskip << "\n"
    << letter << "\n" << input << "\n" << output << "\n";
  return s.str();
}

// The (t, ratio) pairs of a result file after its first line.
std::vector<std::pair<double, double>> Windows(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  std::vector<std::pair<double, double>> windows;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string t, r;
    fields >> t >> r;
    windows.emplace_back(std::stod(t), r == "NaN" ? kNaN : std::stod(r));
  }
  return windows;
}

std::string Record(const std::vector<double>& u) {
  std::ostringstream s;
  s.precision(17);
  for (size_t i = 0; i < u.size(); ++i) s << "t" << i << " " << u[i] << " 0 0\n";
  return s.str();
}

TEST(PlaceWindowTest, IndexRuleAndRecordEnds) {
  struct Case {
    const char* what;
    double t, dt, nw;
    int32_t n;
    WindowFit fit;
    int64_t first, last;
  };
  const Case cases[] = {
      {"time 0.01 is sample 1", 0.01, 0.01, 100, 500, WindowFit::kInside, 1, 100},
      {"time 0.51 is sample 51", 0.51, 0.01, 100, 500, WindowFit::kInside, 51, 150},
      {"rounds half up", 0.0149, 0.01, 10, 500, WindowFit::kInside, 1, 10},
      {"ends exactly at n", 4.01, 0.01, 100, 500, WindowFit::kInside, 401, 500},
      {"ends at n + 1", 4.02, 0.01, 100, 500, WindowFit::kPastEnd, 0, 0},
      {"starts at 451 of 500", 4.51, 0.01, 100, 500, WindowFit::kPastEnd, 0, 0},
      {"below half a sample", 0.004, 0.01, 10, 500, WindowFit::kBeforeStart, 0, 0},
      {"negative time", -3.0, 0.01, 10, 500, WindowFit::kBeforeStart, 0, 0},
      {"NaN time", kNaN, 0.01, 10, 500, WindowFit::kBeforeStart, 0, 0},
      {"empty record", 0.01, 0.01, 1, 0, WindowFit::kPastEnd, 0, 0},
      {"NaN window", 0.01, 0.01, kNaN, 500, WindowFit::kPastEnd, 0, 0},
      {"huge window", 0.01, 0.01, 1e300, 500, WindowFit::kPastEnd, 0, 0},
      {"huge time", 1e300, 0.01, 10, 500, WindowFit::kPastEnd, 0, 0},
      {"window of one sample", 0.05, 0.01, 1, 5, WindowFit::kInside, 5, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Window w = PlaceWindow(c.t, c.dt, c.nw, c.n);
    EXPECT_EQ(w.fit, c.fit);
    if (c.fit == WindowFit::kInside) {
      EXPECT_EQ(w.first, c.first);
      EXPECT_EQ(w.last, c.last);
    }
  }
  EXPECT_EQ(SamplesPerWindow(1.0, 0.01), 100.0);
  EXPECT_EQ(SamplesPerWindow(0.0149, 0.01), 1.0);
  EXPECT_EQ(SamplesPerWindow(0.004, 0.01), 0.0);
}

TEST(ColumnOfComponentTest, LowerCaseLettersOnly) {
  const std::pair<const char*, int32_t> cases[] = {
      {"u", 1}, {"e", 2}, {"n", 3}, {"U", 0}, {"x", 0}, {"", 0}, {"un", 0}};
  for (const auto& [letter, type] : cases) EXPECT_EQ(ColumnOfComponent(letter), type) << letter;
}

TEST(GaugerTest, NineHalfOverlappingWindowsOfAFiveHundredSampleRecord) {
  TempDir dir;
  std::mt19937_64 gen(3);
  std::normal_distribution<double> noise(0.0, 1.0);
  std::vector<double> u(500);
  for (double& v : u) v = noise(gen);
  WriteFile(dir / "rec.txt", Record(u));

  Result r = RunWith(Params(1.0, 0.01, 0.01, 0.5, 0, "u", dir / "rec.txt", dir / "out.txt"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  const std::string text = ReadFile(dir / "out.txt");
  EXPECT_EQ(text.substr(0, text.find('\n') + 1),
            "   1.0000000000000000        1.0000000000000000E-002   1.0000000000000000E-002"
            "  0.50000000000000000     \n");

  auto windows = Windows(text);
  ASSERT_EQ(windows.size(), 9u);
  // Expected ratios from an independent detrend (long double least squares).
  long double si = 0, sx = 0, sii = 0, six = 0;
  for (int i = 1; i <= 500; ++i) {
    si += i, sx += u[i - 1], sii += static_cast<long double>(i) * i, six += i * (long double)u[i - 1];
  }
  const long double b = (500 * six - si * sx) / (500 * sii - si * si);
  const long double a = (sx - b * si) / 500;
  auto residual = [&](int i) { return static_cast<double>(u[i - 1] - (a + b * i)); };
  double whole = 0.0;
  for (int i = 1; i <= 500; ++i) whole += residual(i) * residual(i);
  whole = std::sqrt(whole / (499 * 0.01));

  double t = 0.01;
  for (int k = 0; k < 9; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(windows[k].first, t) << "times are accumulated sums";
    double sum = 0.0;
    for (int i = 50 * k + 1; i <= 50 * k + 100; ++i) sum += residual(i) * residual(i);
    EXPECT_NEAR(windows[k].second, std::sqrt(sum / (99 * 0.01)) / whole, 1e-9);
    EXPECT_NEAR(windows[k].second, 1.0, 0.5) << "a stationary record stays near 1";
    t = t + 0.5;
  }
}

TEST(GaugerTest, WindowsEndAtTheLastFullWindow) {
  struct Case {
    const char* what;
    int samples;
    double t0;
    size_t windows;
    double first_time;
  };
  // dt 1, window 50 samples, no overlap: windows at indices 1, 51, ...
  const Case cases[] = {
      {"last window ends exactly at n", 100, 1.0, 2, 1.0},
      {"last window would end at n + 1", 99, 1.0, 1, 1.0},
      {"record shorter than a window", 49, 1.0, 0, 0.0},
      {"starts before sample 1 are skipped", 100, -49.6, 1, 50.4},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<double> u(c.samples);
    for (int i = 0; i < c.samples; ++i) u[i] = (i % 3) - 1.0;
    WriteFile(dir / "rec.txt", Record(u));
    Result r = RunWith(Params(50.0, 1.0, c.t0, 0.0, 0, "u", dir / "rec.txt", dir / "out.txt"));
    ASSERT_EQ(r.status, 0);
    auto windows = Windows(ReadFile(dir / "out.txt"));
    ASSERT_EQ(windows.size(), c.windows);
    if (c.windows > 0) {
      EXPECT_DOUBLE_EQ(windows[0].first, c.first_time);
    }
  }
}

TEST(GaugerTest, ComponentAndSkipChooseTheSamples) {
  // Column e is a line (zero residual) except one spike; u and n are noise.
  // Skipping moves the spike, so the window holding it is the loud one.
  TempDir dir;
  std::string text;
  for (int i = 1; i <= 40; ++i) {
    const double e = (i == 15) ? 100.0 : 0.5 * i;
    text += "t " + std::to_string(i % 2) + " " + std::to_string(e) + " " + std::to_string(i % 5) + "\n";
  }
  WriteFile(dir / "rec.txt", text);
  struct Case {
    int nskip;
    size_t loud_window;
  };
  for (const Case c : {Case{0, 1}, Case{10, 0}}) {
    SCOPED_TRACE(c.nskip);
    Result r = RunWith(Params(10.0, 1.0, 1.0, 0.0, c.nskip, "e", dir / "rec.txt", dir / "out.txt"));
    ASSERT_EQ(r.status, 0);
    auto windows = Windows(ReadFile(dir / "out.txt"));
    ASSERT_EQ(windows.size(), static_cast<size_t>((40 - c.nskip) / 10));
    for (size_t k = 0; k < windows.size(); ++k) {
      if (k == c.loud_window) {
        EXPECT_GT(windows[k].second, 1.5) << k;
      } else {
        EXPECT_LT(windows[k].second, 0.5) << k;
      }
    }
  }
}

TEST(GaugerTest, DegenerateRecordsStillWriteDefinedLines) {
  struct Case {
    const char* what;
    std::string record;
    int nskip;
    size_t windows;
    bool nan_ratios;
  };
  const Case cases[] = {
      {"constant record: whole RMS 0, ratios NaN", Record(std::vector<double>(30, 5.0)), 0, 3, true},
      {"straight line: whole RMS 0, ratios NaN", Record({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), 0, 1, true},
      {"skip equal to the count: first line only", Record({1, 2, 3}), 3, 0, false},
      {"skip beyond the count: first line only", Record({1, 2, 3}), 8, 0, false},
      {"no readable sample: first line only", "time u e n\n1 2 3 4\n", 0, 0, false},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(dir / "rec.txt", c.record);
    Result r = RunWith(Params(10.0, 1.0, 1.0, 0.0, c.nskip, "u", dir / "rec.txt", dir / "out.txt"));
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.out, "");
    auto windows = Windows(ReadFile(dir / "out.txt"));
    ASSERT_EQ(windows.size(), c.windows);
    for (const auto& w : windows) {
      EXPECT_EQ(std::isnan(w.second), c.nan_ratios);
    }
  }
}

TEST(GaugerTest, WindowCountIsBoundedWhenTheStepIsZero) {
  TempDir dir;
  WriteFile(dir / "rec.txt", Record({1, -1, 2, 0}));
  // Overlap 1: the same one-sample window again and again.
  Result r = RunWith(Params(1.0, 1.0, 2.0, 1.0, 0, "u", dir / "rec.txt", dir / "out.txt"));
  ASSERT_EQ(r.status, 0);
  const std::string text = ReadFile(dir / "out.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + kMaxWindows);
  // A window before sample 1 that never moves is skipped every time.
  r = RunWith(Params(1.0, 1.0, 0.0, 1.0, 0, "u", dir / "rec.txt", dir / "out.txt"));
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(Windows(ReadFile(dir / "out.txt")).size(), 0u);
}

TEST(GaugerTest, RefusedParametersTouchNoFile) {
  struct Case {
    const char* what;
    double overlap;
    int nskip;
    std::string letter;
    std::string message;
  };
  const Case cases[] = {
      {"upper-case letter", 0.5, 0, "U", " ERROR: component letter not u, e or n: U\n"},
      {"other letter", 0.5, 0, "z", " ERROR: component letter not u, e or n: z\n"},
      {"letter not in column 1", 0.5, 0, " u", " ERROR: component letter not u, e or n: \n"},
      {"overlap above 1", 1.25, 0, "u",
       " ERROR: overlap above 1 steps the windows backwards:   1.2500000000000000     \n"},
      {"negative skip", 0.5, -1, "u", " ERROR: negative skip count:          -1\n"},
  };
  TempDir dir;
  WriteFile(dir / "rec.txt", Record({1, 2, 3, 4}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Result r = RunWith(Params(1.0, 1.0, 1.0, c.overlap, c.nskip, c.letter, dir / "rec.txt", dir / "out.txt"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.message);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
  }
}

TEST(GaugerTest, MissingInputLeavesAnExistingResultAlone) {
  TempDir dir;
  WriteFile(dir / "out.txt", "old result\n");
  Result r = RunWith(Params(1.0, 1.0, 1.0, 0.0, 0, "u", dir / "no such.txt", dir / "out.txt"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Program gauger.\n ERROR:opening file " + (dir / "no") + "\n");
  EXPECT_EQ(ReadFile(dir / "out.txt"), "old result\n");
}

TEST(GaugerTest, ResultFileHoldsOnlyThisRun) {
  TempDir dir;
  WriteFile(dir / "rec.txt", Record({1, -1, 1, -1}));
  WriteFile(dir / "out.txt", std::string(10000, 'x') + "\n");
  Result r = RunWith(Params(2.0, 1.0, 1.0, 0.0, 0, "u", dir / "rec.txt", dir / "out.txt"));
  ASSERT_EQ(r.status, 0);
  const std::string text = ReadFile(dir / "out.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
  EXPECT_EQ(text.find('x'), std::string::npos);
}

TEST(GaugerTest, RunTimeErrorsGoToStandardError) {
  TempDir dir;
  WriteFile(dir / "rec.txt", Record({1, 2, 3}));
  const std::string good = Params(1.0, 1.0, 1.0, 0.0, 0, "u", dir / "rec.txt", dir / "out.txt");
  struct Case {
    const char* what;
    std::string input;
  };
  const Case cases[] = {
      {"unreadable window length", "one\n" + good},
      {"skip count not an integer", "1\n1\n1\n0\n2.5\nu\na\nb\n"},
      {"input ends before the names", "1\n1\n1\n0\n0\nu\n"},
      {"empty input", ""},
      {"result file cannot be created", Params(1.0, 1.0, 1.0, 0.0, 0, "u", dir / "rec.txt", dir / "no/out.txt")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Result r = RunWith(c.input);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("gauger: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  }
}

}  // namespace
}  // namespace gauger
