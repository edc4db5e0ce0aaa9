#include "rms_eval/gauger.h"
#include "suite/programs.h"

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rms_eval/record.h"
#include "rms_eval/rms.h"
#include "suite/stop.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"

namespace gauger {
namespace {

// rfile in a run context of its own, as the program calls it.
int32_t ReadRecord(Datblk* store, int32_t nskip, int32_t type, const std::string& name) {
  std::istringstream in;
  std::ostringstream out, err;
  suite::Context context("gauger", {in, out, err}, {});
  return rfile(store, nskip, type, name, context);
}

using testsupport::Outcome;
using testsupport::TempDir;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> Line(int n, double a, double b) {
  std::vector<double> x(n);
  for (int i = 1; i <= n; ++i) x[i - 1] = a + b * i;
  return x;
}

TEST(DtrdTest, RemovesTheLeastSquaresLine) {
  for (auto [x, want_slope, want_mean] :
       {std::tuple(Line(500, 2.0, 0.5), 0.5, 127.25), std::tuple(std::vector<double>(500, 5.0), 0.0, 5.0)}) {
    double slope = 0.0, mean = 0.0;
    dtrd(x.data(), 500, x.data(), 1, &slope, &mean);  // in place, as the program calls it
    EXPECT_EQ(std::make_tuple(slope, mean, x), std::make_tuple(want_slope, want_mean, std::vector<double>(500, 0.0)));
  }
  // A slope exact on lines may still be wrong on data (an end-point
  // difference, say): a wiggle tells the least-squares fit apart.
  std::vector<double> x = Line(1001, 3.0, -0.01);
  long double si = 0, sx = 0, sii = 0, six = 0;
  for (int i = 1; i <= 1001; ++i) {
    x[i - 1] += std::sin(i * 0.37 * i);
    si += i, sx += x[i - 1], sii += static_cast<long double>(i) * i, six += i * static_cast<long double>(x[i - 1]);
  }
  double slope = 0.0, mean = 0.0;
  dtrd(x.data(), 1001, x.data(), 1, &slope, &mean);
  EXPECT_NEAR(slope, static_cast<double>((1001 * six - si * sx) / (1001 * sii - si * si)), 1e-12);
}

TEST(RfileTest, KeepsOneColumnAndDropsLeadingSamples) {
  struct Case {
    const char* what;
    std::string text;
    int32_t nskip, type, n;
    std::vector<double> samples;  // the first few kept samples
  } cases[] = {
      {"skip 2 of 4", "a 1\nb 2\nc 3\nd 4\n", 2, 1, 2, {3, 4}},
      {"skip more than read", "a 1\nb 2\n", 5, 1, -3, {}},
      {"read as doubles", "t 0.1 1.0000000000000002\n", 0, 2, 1, {1.0000000000000002}},
      {"unreadable column ends the record", "a 1\nb x\nd 4\n", 0, 1, 1, {1}},
      {"short line continues on the next", "a 1\n2 3\nb 4 5 6\n", 0, 3, 2, {3, 6}},
      // A slash ends a record's read; the record counts and keeps 0.
      {"slash in a label", "a 1\n2020/01/02 7\nc 3\n", 0, 1, 3, {1, 0, 3}},
      {"slash after the label", "a / 5\nb 6\n", 0, 1, 2, {0, 6}},
      {"long label is cut, not refused", std::string(300, 'L') + " 9\n", 0, 1, 1, {9}},
  };
  TempDir dir("gauger_test");
  for (const Case& c : cases) {
    dir.Write("my rec.txt", c.text);  // a name with a blank is opened whole
    Datblk store;
    const int32_t n = ReadRecord(&store, c.nskip, c.type, dir / "my rec.txt");
    EXPECT_EQ(n, c.n) << c.what;
    std::vector<double> got(store.first(), store.first() + std::min<int32_t>(std::max(n, 0), c.samples.size()));
    EXPECT_EQ(got, c.samples) << c.what;
  }
}

// The stop text of an rfile call, or "(no stop)".
std::string StopText(const std::string& name) {
  Datblk store;
  try {
    ReadRecord(&store, 3, 1, name);
  } catch (const suite::Stop& stop) {
    return stop.text();
  }
  return "(no stop)";
}

TEST(RfileTest, OpenFailuresAndTheStoreLimitStopTheRun) {
  TempDir dir("gauger_test");
  const std::string opening = "Program gauger.\n ERROR:opening file ";
  EXPECT_EQ(StopText(dir / "my data.txt"), opening + (dir / "my") + "\n") << "name cut at its first blank";
  EXPECT_EQ(StopText(dir / ""), opening + (dir / "") + "\n") << "a directory is not a readable record";
  std::string text;
  text.reserve(4 * (kStoreSize + 1));
  for (int32_t i = 0; i < kStoreSize; ++i) text += "a 1\n";
  dir.Write("full.txt", text);
  Datblk store;
  EXPECT_EQ(ReadRecord(&store, 3, 1, dir / "full.txt"), kStoreSize - 3);
  dir.Write("over.txt", text + "a 2\n");
  EXPECT_EQ(StopText(dir / "over.txt"), " ERROR: record longer than the sample store of     5000000 samples\n");
}

Outcome RunWith(const std::string& stdin_text) { return testsupport::RunInProcess(kProgram, stdin_text); }

std::string Params(double wl, double dt, double t0, double overlap, int nskip, const std::string& letter,
                   const std::string& input, const std::string& output) {
  std::ostringstream s;
  s.precision(17);
  s << wl << "\n"
    << dt << "\n"
    << t0 << "\n"
    << overlap << "\n"
    << nskip << "\n"
    << letter << "\n"
    << input << "\n"
    << output << "\n";
  return s.str();
}

// The (t, ratio) pairs of a result file after its first line.
std::vector<std::pair<double, double>> Windows(const std::string& text) {
  std::istringstream in(text.substr(text.find('\n') + 1));
  std::vector<std::pair<double, double>> windows;
  for (std::string t, r; in >> t >> r;) windows.emplace_back(std::stod(t), r == "NaN" ? kNaN : std::stod(r));
  return windows;
}

// A column file with columns u and e (n is 0); e is a wiggle when asked for.
std::string Record(const std::vector<double>& u, bool wiggle_e = false) {
  std::ostringstream s;
  s.precision(17);
  for (size_t i = 0; i < u.size(); ++i) s << "t" << i << " " << u[i] << " " << (wiggle_e ? i % 3 : 0) << " 0\n";
  return s.str();
}

std::vector<double> Wiggle(int n) {
  std::vector<double> u(n);
  for (int i = 0; i < n; ++i) u[i] = (i % 3) - 1.0;
  return u;
}

TEST(GaugerTest, NineHalfOverlappingWindowsOfAFiveHundredSampleRecord) {
  TempDir dir("gauger_test");
  std::vector<double> u(500);
  for (int i = 0; i < 500; ++i) u[i] = std::sin(i * 0.37 * i);
  dir.Write("rec.txt", Record(u));
  ASSERT_EQ(RunWith(Params(1.0, 0.01, 0.01, 0.5, 0, "u", dir / "rec.txt", dir / "out.txt")).out, "");
  const std::string text = dir.Read("out.txt");
  EXPECT_EQ(text.substr(0, text.find('\n') + 1),
            "   1.0000000000000000        1.0000000000000000E-002"
            "   1.0000000000000000E-002  0.50000000000000000     \n");
  double slope = 0.0, mean = 0.0;  // dtrd is tested above
  dtrd(u.data(), 500, u.data(), 1, &slope, &mean);
  auto rms_of = [&](int first, int last) {
    double s = 0.0;
    for (int i = first; i <= last; ++i) s += u[i - 1] * u[i - 1];
    return std::sqrt(s / ((last - first) * 0.01));
  };
  const auto windows = Windows(text);
  ASSERT_EQ(windows.size(), 9u);
  double t = 0.01;
  for (int k = 0; k < 9; ++k, t = t + 0.5) {
    EXPECT_EQ(windows[k].first, t) << "times are accumulated sums";
    EXPECT_NEAR(windows[k].second, rms_of(50 * k + 1, 50 * k + 100) / rms_of(1, 500), 1e-9);
  }
}

TEST(GaugerTest, WindowsOfTheChosenColumnUpToTheLastFullOne) {
  struct Case {  // dt 1, windows of 10 samples, no overlap
    const char* what;
    std::string record, letter;
    int nskip;
    double t0;
    size_t windows;
    bool nan;
  } cases[] = {
      {"last window ends exactly at n", Record(Wiggle(20)), "u", 0, 1.0, 2, false},
      {"last window would end at n + 1", Record(Wiggle(19)), "u", 0, 1.0, 1, false},
      {"starts before sample 1 are skipped", Record(Wiggle(20)), "u", 0, -9.6, 1, false},
      {"skip shortens the record", Record(Wiggle(25)), "u", 6, 1.0, 1, false},
      {"skip beyond the count: first line only", Record(Wiggle(3)), "u", 8, 1.0, 0, false},
      {"constant column: ratios NaN", Record(std::vector<double>(20, 5.0), true), "u", 0, 1.0, 2, true},
      {"letter e reads column e", Record(std::vector<double>(20, 5.0), true), "e", 0, 1.0, 2, false},
  };
  TempDir dir("gauger_test");
  for (const Case& c : cases) {
    dir.Write("rec.txt", c.record);
    ASSERT_EQ(RunWith(Params(10, 1, c.t0, 0, c.nskip, c.letter, dir / "rec.txt", dir / "out.txt")).status, 0);
    const auto windows = Windows(dir.Read("out.txt"));
    ASSERT_EQ(windows.size(), c.windows) << c.what;
    for (const auto& w : windows) EXPECT_EQ(std::isnan(w.second), c.nan) << c.what;
    if (c.t0 < 0) {
      EXPECT_DOUBLE_EQ(windows[0].first, 10.4) << c.what;
    }
  }
  // Overlap 1 places the same one-sample window again and again: bounded.
  dir.Write("rec.txt", Record({1, -1, 2, 0}));
  ASSERT_EQ(RunWith(Params(1.0, 1.0, 2.0, 1.0, 0, "u", dir / "rec.txt", dir / "out.txt")).status, 0);
  const std::string text = dir.Read("out.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + kMaxWindows);
}

TEST(GaugerTest, RefusalsAndErrorsLeaveTheResultFileAlone) {
  TempDir dir("gauger_test");
  dir.Write("rec.txt", Record({1, 2, 3, 4}));
  const std::string rec = dir / "rec.txt", out = dir / "out.txt";
  struct Case {
    std::string input, out;
    int status;
  } cases[] = {
      {Params(1, 1, 1, 0.5, 0, "U", rec, out), " ERROR: component letter not u, e or n: U\n", 0},
      {Params(1, 1, 1, 0.5, 0, " u", rec, out), " ERROR: component letter not u, e or n: \n", 0},
      {Params(1, 1, 1, 1.25, 0, "u", rec, out),
       " ERROR: overlap above 1 steps the windows backwards:   1.2500000000000000     \n", 0},
      {Params(1, 1, 1, 0.5, -1, "u", rec, out), " ERROR: negative skip count:          -1\n", 0},
      {Params(1, 1, 1, 0, 0, "u", dir / "no such.txt", out),
       "Program gauger.\n ERROR:opening file " + (dir / "no") + "\n", 0},
      {"one\n" + Params(1, 1, 1, 0, 0, "u", rec, out), "", 2},
      {"1\n1\n1\n0\n0\nu\n", "", 2},  // input ends before the names
  };
  for (const Case& c : cases) {
    dir.Write("out.txt", "old result\n");
    const Outcome r = RunWith(c.input);
    EXPECT_EQ(std::make_tuple(r.status, r.out, dir.Read("out.txt")), std::make_tuple(c.status, c.out, "old result\n"));
    EXPECT_EQ(r.err.empty(), c.status == 0) << r.err;
  }
  // The result file holds only this run; one that cannot be created is a run-time error.
  dir.Write("out.txt", std::string(10000, 'x') + "\n");
  ASSERT_EQ(RunWith(Params(2.0, 1.0, 1.0, 0.0, 0, "u", rec, out)).status, 0);
  EXPECT_EQ(dir.Read("out.txt").find('x'), std::string::npos);
  EXPECT_EQ(Windows(dir.Read("out.txt")).size(), 2u);
  EXPECT_EQ(RunWith(Params(1.0, 1.0, 1.0, 0.0, 0, "u", rec, dir / "no/out.txt")).err.rfind("gauger: ", 0), 0u);
}

// Overlap 1 steps by 0: the same window a million times over (the run's
// bound), each line the same, and the RMS computed once rather than a
// million times over the window.
TEST(GaugerTest, StepZeroRepeatsOneWindow) {
  TempDir dir("gauger_test");
  std::string record;
  for (int i = 1; i <= 2000; ++i) record += std::to_string(i) + (i % 3 == 0 ? " 2.5\n" : " -1\n");
  const std::string column = dir.Write("column.d", record);
  const std::string out = dir / "rms.d";
  const Outcome o = RunWith("1500\n1\n10\n1\n0\nu\n" + column + "\n" + out + "\n");
  ASSERT_EQ(o.status, 0) << o.err;
  const std::vector<std::string> lines = testsupport::Lines(dir.Read("rms.d"));
  ASSERT_EQ(lines.size(), 1u + kMaxWindows);
  for (size_t i = 2; i < lines.size(); ++i) ASSERT_EQ(lines[i], lines[1]) << i;

  // The same window alone gives the same line.
  const Outcome one = RunWith("1500\n1\n10\n-1e300\n0\nu\n" + column + "\n" + out + "\n");
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(testsupport::Lines(dir.Read("rms.d")).at(1), lines[1]);
}

}  // namespace
}  // namespace gauger
