#include "suite/programs.h"

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ratio_inversion/models.h"
#include "testsupport/run_program.h"

namespace vantor {
namespace {

using testsupport::Lines;
using testsupport::Outcome;

Outcome RunWith(const std::string& input) { return testsupport::RunInProcess(kProgram, input); }

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> f;
  std::istringstream s(line);
  for (std::string w; s >> w;) f.push_back(w);
  return f;
}

TEST(VantorTest, SpacCoefficientOfOneHalf) {
  Outcome r = RunWith("1 10.0 0.0 100.0\n2.0 0.5\n");
  EXPECT_EQ(r.status, 0);
  std::vector<std::string> f = Fields(r.out);
  ASSERT_EQ(f.size(), 3u) << r.out;
  const double x = 1.5211440;  // J0(x) = 0.5
  EXPECT_EQ(f[0], "2.00000000");
  EXPECT_NEAR(std::stod(f[1]), 2 * M_PI * 2.0 * 10.0 / x, 1e-3);
  EXPECT_NEAR(std::stod(f[2]), 2 * M_PI / x, 1e-5);
}

// For every type code: observed values made by the model itself at a known
// x inside the bracket come back as that x (third column = 2*pi/x).
TEST(VantorTest, EveryTypeRecoversItsArgument) {
  const float x0 = 1.2f;
  for (const Itype& type : kItypes) {
    const int itype = type.code;
    const Itype* e = FindItype(itype);
    Blocks blk;
    blk.rdsr = 0.5f;
    float observed = Residual(e->model, x0, blk);  // o = 0: the model value
    std::ostringstream input;
    input.precision(9);
    input << itype << " 1.0 0.0 5.0\n";
    if (e->reads_radius2) input << "0.5\n";
    input << "1.0 " << observed << "\n";
    Outcome r = RunWith(input.str());
    std::vector<std::string> f = Fields(r.out);
    ASSERT_EQ(f.size(), 3u) << "itype " << itype << ": " << r.out;
    EXPECT_NEAR(2 * M_PI / std::stod(f[2]), x0, 2e-4) << "itype " << itype;
  }
}

TEST(VantorTest, FrequencyStepAndEndRules) {
  // fstep 0.5, fend 3: 1.2 is too close to 1.0; 0.8 lies below the last
  // used frequency; 3.0 reaches the end, so 4.0 is never read.
  Outcome r = RunWith("1 1.0 0.5 3.0\n1.0 0.5\n1.2 0.5\n0.8 0.5\n1.6 0.5\n3.0 0.5\n4.0 0.5\n");
  std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  EXPECT_EQ(Fields(lines[0])[0], "1.00000000");
  EXPECT_EQ(Fields(lines[1])[0], "1.60000002");
  EXPECT_EQ(Fields(lines[2])[0], "3.00000000");

  // A skipped line still ends the run when its frequency reaches fend.
  r = RunWith("1 1.0 0.5 1.2\n1.0 0.5\n1.2 0.5\n2.0 0.5\n");
  EXPECT_EQ(Lines(r.out).size(), 1u) << r.out;

  // The first line is used whatever its frequency.
  r = RunWith("1 1.0 0.5 1.0\n-999.4 0.5\n");
  EXPECT_EQ(Lines(r.out).size(), 1u) << r.out;
}

TEST(VantorTest, MarkedLines) {
  // Above the model's range: no sign change in the bracket.
  Outcome r = RunWith("1 1.0 0.0 10\n1.0 1.5\n2.0 -0.5\n");
  EXPECT_EQ(r.out,
            "   1.00000000       999.000000      NO_ROOT            4   1.50000000    \n"
            "   2.00000000       999.000000      NO_ROOT            4 -0.500000000    \n");
  // J0(0) = 1 exactly: x = 0 and an infinite velocity in a normal line.
  r = RunWith("1 1.0 0.0 10\n1.0 1.0\n");
  EXPECT_EQ(r.out, "   1.00000000             Infinity         Infinity\n");
}

TEST(VantorTest, MessagesStopWithStatusZero) {
  struct Case {
    const char* input;
    const char* out;
  };
  const Case cases[] = {
      {"6 1.0 0.0 10\n1 0.5\n", " ERROR: no list of itype            6\n"},
      {"10 1.0 0.0 10\n1.0\n1 0.5\n", " ERROR:radius.le.radius2:   1.00000000       1.00000000    \n"},
      {"11 2.0 0.0 10\n3\n1 0.5\n", " ERROR:radius.le.radius2:   2.00000000       3.00000000    \n"},
  };
  for (const Case& c : cases) {
    Outcome r = RunWith(c.input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
}

TEST(VantorTest, UnreadableParametersAreRuntimeErrors) {
  struct Case {
    const char* input;
    const char* err_start;
  };
  const Case cases[] = {
      {"", "vantor: input ended"},
      {"1.0 1.0 0.0 10\n", "vantor: line 1: cannot read the parameter record"},
      {"1 1.0 0.0\n", "vantor: input ended"},
      {"10 1.0 0.0 10\nabc\n", "vantor: line 2: cannot read the second radius"},
  };
  for (const Case& c : cases) {
    Outcome r = RunWith(c.input);
    EXPECT_EQ(r.status, 2) << c.input;
    EXPECT_EQ(r.out, "") << c.input;
    EXPECT_EQ(r.err.rfind(c.err_start, 0), 0u) << r.err;
    EXPECT_EQ(r.err.back(), '\n');
  }
}

TEST(VantorTest, DataEndsQuietly) {
  // An unreadable data line ends the run normally, keeping earlier lines,
  // and says where on standard error; the end of input says nothing.
  Outcome r = RunWith("1 1.0 0.0 10\n1 0.5\n2 x\n3 0.5\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Lines(r.out).size(), 1u);
  EXPECT_EQ(r.err, "vantor: standard input line 3: data end at unreadable value 'x' (1 data lines read)\n");
  r = RunWith("1 1.0 0.0 10\n1 0.5\n");
  EXPECT_EQ(r.err, "");
}

TEST(VantorTest, BesselRefusalStopsTheRun) {
  // A tiny inner radius drives J1(s*x) into underflow at the lower end of
  // the bracket, which every search evaluates: message, status 0.
  Outcome r = RunWith("11 1.0 0.0 10\n1e-36\n");
  EXPECT_EQ(r.out, "");  // no data line: nothing evaluated
  r = RunWith("11 1.0 0.0 10\n1e-36\n1.0 0.5\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, " Error:nz or ierr in cbesj()           1           0\n");
}

}  // namespace
}  // namespace vantor
