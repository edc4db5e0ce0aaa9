#include "suite/programs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"

namespace resampa {
namespace {

using testsupport::Outcome;

// Each test works in a directory of its own: ctest runs tests in parallel.
class ResampaTest : public ::testing::Test {
 protected:
  static Outcome Run(const std::string& input) { return testsupport::RunInProcess(kProgram, input); }
  Outcome RunOnPairs(const std::string& pairs, const std::string& grid_end, const std::string& step) {
    return Run(dir_.Write("pairs.d", pairs) + "\n" + grid_end + "\n" + step + "\n");
  }

  const testsupport::TempDir dir_{"resampa_test"};
};

// The output values, checked against `want` (999 exactly, others to 1e-9).
void ExpectValues(const Outcome& r, const std::vector<double>& want) {
  EXPECT_EQ(r.status + r.err.size(), 0u) << r.err;
  std::istringstream lines(r.out);
  std::vector<double> got;
  for (std::string x, v; lines >> x >> v;) got.push_back(std::stod(v));
  ASSERT_EQ(got.size(), want.size()) << r.out;
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9 * want[i]) << "point " << i + 1;
}

const char kDecades[] = "1 10\n2 100\n3 1000\n";

TEST_F(ResampaTest, GeometricInterpolationExtrapolatedEndsAndGaps) {
  const Outcome r = RunOnPairs(kDecades, "4", "0.5");
  // 0.5 and 3.5 are extrapolated (one step from the data), 4.0 is too far.
  ExpectValues(r, {std::sqrt(10.0), 10, std::sqrt(1000.0), 100, std::sqrt(1e5), 1000, std::sqrt(1e7), 999});
  EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "  0.50000000000000000        3.1622776601683795     \n");
  ExpectValues(RunOnPairs("2 100\n3 1000\n", "1.5", "0.5"), {999, 999, std::sqrt(1000.0)});
  auto at = [](double x) { return std::pow(10.0, 1.0 + (x - 1.0) / 9.0); };
  ExpectValues(RunOnPairs("1 10\n10 100\n", "10", "1"), {10, at(2), 999, 999, 999, 999, 999, 999, at(9), 100});
  // A negative step runs the grid backwards: no distance is within it.
  ExpectValues(RunOnPairs("-3 1\n-2 10\n-1 100\n0 1000\n", "-2", "-0.5"), {999, 999, 999, 999});
  // The name is a whole line; grid end and step are one record each.
  ExpectValues(Run(dir_.Write("pair file.d", kDecades) + "   \n2 0.25 junk\n\n1 more\n"), {10, 100});
}

TEST_F(ResampaTest, GridSizeAndNonPositiveValues) {
  for (auto [grid_end, step, points] :
       {std::tuple("0.2", "0.5", 0u), std::tuple("0.25", "0.5", 1u), std::tuple("2.74", "0.5", 5u),
        std::tuple("2.76", "0.5", 6u), std::tuple("-3", "0.5", 0u), std::tuple("-1", "0", 0u)}) {
    const std::string out = RunOnPairs(kDecades, grid_end, step).out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), points) << grid_end << " " << step;
  }
  // log10(0) = -inf extrapolated outwards comes back as 0; inside, and
  // from log10(-1), NaN.
  std::istringstream lines(RunOnPairs("1 0\n2 100\n3 1000\n4 -1\n", "4", "0.5").out);
  std::string values;
  for (std::string x, v; lines >> x >> v;) values += v + " ";
  EXPECT_EQ(values.substr(0, values.find(' ')), "0.0000000000000000");
  EXPECT_EQ(std::count(values.begin(), values.end(), 'N'), 10) << values;  // five "NaN"
}

TEST_F(ResampaTest, MessagesAndRuntimeErrors) {
  struct Case {
    const char* what;
    std::string pairs, grid_end, step, out;
  } cases[] = {
      {"empty", "", "3", "1", " ERROR(ndata<2) in rmkd:           0\n"},
      {"one readable pair", "1 10\n2 none\n3 1000\n", "3", "1", " ERROR(ndata<2) in rmkd:           1\n"},
      {"repeated abscissa", "1 10\n2 100\n2 200\n", "3", "1",
       " ERROR(f not ascending) in rmkd: record           3   2.0000000000000000     \n"},
      {"grid beyond capacity", kDecades, "5000001", "1", " ERROR(m>nmax) in resampa:     5000001     5000000\n"},
      {"grid beyond 32 bits", kDecades, "4.5e9", "0.5",
       " ERROR(m>nmax) in resampa:   9000000000.0000000          5000000\n"},
      {"step 0", kDecades, "1", "0", " ERROR(m>nmax) in resampa:                  Infinity     5000000\n"},
  };
  for (const Case& c : cases) {
    const Outcome r = RunOnPairs(c.pairs, c.grid_end, c.step);
    EXPECT_EQ(std::make_tuple(r.status, r.out), std::make_tuple(0, c.out)) << c.what;
    // The pair that cannot be read is named on standard error; nothing else is.
    if (c.pairs.find("none") != std::string::npos) {
      EXPECT_NE(r.err.find("pairs.d line 2: data end at unreadable value 'none' (1 pairs read)"), std::string::npos)
          << r.err;
    } else {
      EXPECT_EQ(r.err, "") << c.what;
    }
  }
  std::string pairs;
  pairs.reserve(4 * 5000001);
  for (int i = 0; i < 5000001; ++i) pairs += "1 1\n";
  EXPECT_EQ(RunOnPairs(pairs, "3", "0.5").out,
            " Program resampa\n ERROR(ndata>nmax) in rmkd:     5000001     5000000\n");

  for (const std::string& input :
       {std::string(), dir_.Write("b.d", kDecades) + "\n3\nhalf\n", dir_ / "absent.d" + "\n3\n0.5\n"}) {
    const Outcome r = Run(input);
    EXPECT_EQ(std::make_tuple(r.status, r.out, r.err.rfind("resampa: ", 0), r.err.find('\n')),
              std::make_tuple(2, "", 0u, r.err.size() - 1))
        << input;
  }
}

// Pair files with CRLF line ends and no final newline, named with blanks
// and by absolute paths at and one past the 200-character field.
TEST_F(ResampaTest, PairFileNamesWithBlanksAndAtTheFieldWidth) {
  const std::string pairs = "1 10\r\n2 100\r\n3 1000";
  const std::string expected = Run(dir_.Write("plain.d", kDecades) + "\n3\n1\n").out;
  ASSERT_EQ(testsupport::Lines(expected).size(), 3u);

  EXPECT_EQ(Run(dir_.Write("my pair file.d", pairs) + "\n3\n1\n").out, expected);

  const size_t base = (dir_.path() / "").string().size();
  ASSERT_LT(base, 190u);
  const std::string name200 = std::string(200 - base - 2, 'p') + ".d";
  const std::string path200 = dir_.Write(name200, pairs);
  ASSERT_EQ(path200.size(), 200u);
  EXPECT_EQ(Run(path200 + "\n3\n1\n").out, expected);
  EXPECT_EQ(Run(path200 + "   \r\n3\n1\n").out, expected);  // trailing blanks are padding

  const std::string path201 = dir_.Write("q" + name200, pairs);
  ASSERT_EQ(path201.size(), 201u);
  const Outcome cut = Run(path201 + "\n3\n1\n");
  EXPECT_EQ(cut.status, 2);
  EXPECT_EQ(cut.err, "resampa: cannot open the input file \"" + path201.substr(0, 200) + "\"\n");
  EXPECT_EQ(cut.out, "");
}

}  // namespace
}  // namespace resampa
