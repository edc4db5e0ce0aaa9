// The axes of the velocity panels (logarithmic, the y range from the
// measured values, limit lines clipped to it), the tables of circspec
// --for curve and circdisp, the panels of a circinv result, and the tick
// format, read from the scripts circplot writes.
#include "result_plot/axis_range.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "array/ring_models.h"
#include "result_plot/inversion_files.h"
#include "result_plot/readers.h"
#include "testsupport/plot_inputs.h"
#include "testsupport/plot_scripts.h"
#include "testsupport/temp_dir.h"
#include "testsupport/test_context.h"

namespace circplot {
namespace {

using testing::Block;
using testing::Draw;
using testing::Drawn;
using testing::Has;
using testing::HasAll;
using testing::OneInput;
using Rows = std::vector<std::vector<double>>;

// The y range of the only panel of a drawing.
std::pair<double, double> OnlyYRange(const Drawn& d) {
  const auto ranges = testing::Ranges(d.script, "y");
  EXPECT_EQ(ranges.size(), 1u) << d.script;
  return ranges.empty() ? std::pair{0.0, 0.0} : ranges[0];
}

// The lower end of the range of values lo..hi on a logarithmic axis with
// its margin of 10 % of the span in decades.
double LowerEnd(double lo, double hi) { return lo / std::pow(hi / lo, 0.1); }

// Every point of the block lies within [lo, hi].
void ExpectWithin(const Rows& rows, double lo, double hi, const std::string& what) {
  for (const std::vector<double>& row : rows) {
    if (row.empty()) continue;
    EXPECT_GE(row[1], lo * (1 - 1e-12)) << what << " at " << row[0];
    EXPECT_LE(row[1], hi * (1 + 1e-12)) << what << " at " << row[0];
  }
}

TEST(AxesTest, CurveTableOnLogAxesWithTheRangeOfItsValidEstimates) {
  const Drawn d = Draw(OneInput("c.txt", testing::kCurveTable));
  ASSERT_EQ(d.picture.panels.size(), 1u);
  EXPECT_TRUE(HasAll(d.script, {"set logscale x\n", "set logscale y\n", "set ytics (",
                                "title 'c.txt, spac (circspec), bars: 1 standard error; 2 invalid estimates (alias 1, "
                                "noise 1) left out'",
                                "title 'c.txt, cca (circspec), bars: 1 standard error; 2 invalid estimates (branch 1, "
                                "noise 1) left out'"}));
  // The valid estimates and their bars span 225 - 5 to 620 + 20 m/s; the
  // legend may raise the top, never the bottom; the alias (90000) and the
  // branch (2000) leave it alone.
  const auto [lo, hi] = OnlyYRange(d);
  EXPECT_NEAR(lo, LowerEnd(220, 640), 1e-9);
  EXPECT_GE(hi, 640 * std::pow(640.0 / 220.0, 0.1) * (1 - 1e-12));
  EXPECT_LT(hi, 2000);
  // One colour per method; a method's line breaks where rows without a
  // valid estimate of it lie between two.
  EXPECT_EQ(Block(d.script, "phase velocities c_spac of c.txt"), (Rows{{2, 620, 20}, {4, 420, 12}, {}, {16, 225, 5}}));
  EXPECT_EQ(Block(d.script, "phase velocities c_cca of c.txt"), (Rows{{2, 600, 12}, {4, 410, 8}, {8, 270, 5}}));
  EXPECT_TRUE(HasAll(d.script, {"lc rgb '#0072b2'", "lc rgb '#d55e00'"}));
  EXPECT_FALSE(Has(d.script, "90000"));
}

TEST(AxesTest, TheRingsLinesAreClippedToTheRange) {
  const Drawn d = Draw(OneInput("c.txt", testing::kCurveTable));
  const auto [lo, hi] = OnlyYRange(d);
  EXPECT_TRUE(HasAll(d.script, {"title 'lambda = 2 r = 20 m, c.txt (below: waves shorter than the ring''s diameter)'",
                                "title 'resolution limit lambda_max(eps) = 2 pi r / x(eps, N = 5), c.txt (above: not "
                                "resolved)'"}));
  // c = 2 r f from 2 to 16 Hz is 40 to 320 m/s: it enters the range at its
  // bottom, at f = lo / 20.
  const Rows wavelength = Block(d.script, "c = 2 r f, r = 10 m, of c.txt");
  ASSERT_EQ(wavelength.size(), 2u);
  EXPECT_EQ(wavelength[0][1], lo);
  EXPECT_NEAR(wavelength[0][0], lo / 20.0, 1e-12 * lo);
  EXPECT_EQ(wavelength[1], (std::vector<double>{16, 320}));
  // lambda_max = 2 pi r / x(eps, N): at 2 Hz (eps 0.02) within the range,
  // at k r = x of the ring's 5 stations; rising with frequency (to 2200
  // m/s at 16 Hz) it is cut at the top.
  const Rows limit = Block(d.script, "c = lambda_max(eps) f of the ring of c.txt");
  ASSERT_GE(limit.size(), 2u);
  EXPECT_EQ(limit[0][0], 2);
  EXPECT_NEAR(2 * std::numbers::pi * 2 * 10 / limit[0][1], array::ResolutionLimitKr(0.02, 5), 1e-12);
  EXPECT_EQ(limit.back()[1], hi);
  ExpectWithin(limit, lo, hi, "lambda_max");
}

TEST(AxesTest, AllDrawsTheInvalidEstimatesHollowWithoutWideningTheRange) {
  Request request = OneInput("c.txt", testing::kCurveTable);
  const auto without = OnlyYRange(Draw(request));
  request.all = true;
  const Drawn d = Draw(request);
  EXPECT_EQ(OnlyYRange(d).first, without.first);  // cca's 150 m/s at 16 Hz is not valid
  EXPECT_EQ(Block(d.script, "invalid phase velocities c_spac of c.txt"), (Rows{{8, 275, 8}, {12, 90000, 500}}));
  EXPECT_TRUE(HasAll(d.script, {"1:2:3 with yerrorbars lc rgb '#0072b2' pt 6",
                                "title 'c.txt, spac (circspec): 2 invalid estimates (alias 1, noise 1), hollow (1 "
                                "outside the velocity axis)'",
                                "title 'c.txt, spac (circspec), bars: 1 standard error'"}));
}

TEST(AxesTest, CircdispTableHasItsOwnColourAndNoRing) {
  Request request = OneInput("c.txt", testing::kCurveTable);
  request.inputs.push_back(testing::Read("d.txt", testing::kCircdispTable));
  const Drawn d = Draw(request);
  ASSERT_EQ(d.picture.panels.size(), 1u);
  EXPECT_EQ(Block(d.script, "phase velocities of d.txt"), (Rows{{2, 600, 12}, {4, 410, 8}, {}, {16, 225, 5}}));
  EXPECT_TRUE(HasAll(d.script, {"title 'd.txt (circdisp), bars: 1 standard error'", "lc rgb '#009e73'",
                                "set multiplot layout 1,1 title 'c.txt (circspec curve), d.txt (circdisp)'"}));
  EXPECT_FALSE(Has(d.script, "of the ring of d.txt"));
}

TEST(AxesTest, VantorVelocitiesSetTheRangeNotTheResolutionLimit) {
  // quillon's fort.7 at one frequency can reach 1.6e6 m/s: the curve would
  // be a flat line at the bottom of a linear axis.
  const std::string spike = "  0.2200000E+01  0.1600000E+07  0.8000000E+01  0.7853982E+00\n";
  Request request = OneInput("v.txt", testing::VantorExample());
  request.limits.push_back(ReadFort7("fort.7", testing::LinesOf(testing::Fort7Example() + spike)));
  request.truth = TrueCurve{"true.txt", {{0.5, 2000.0}, {8.0, 300.0}}};
  const Drawn d = Draw(request);
  EXPECT_TRUE(HasAll(d.script, {"set logscale x\n", "set logscale y\n"}));
  const auto [lo, hi] = OnlyYRange(d);
  EXPECT_NEAR(lo, LowerEnd(320.129517, 682.114868), 1e-9);
  EXPECT_LT(hi, 2000);
  const Rows limit = Block(d.script, "resolution-limit velocities of fort.7");
  ExpectWithin(limit, lo, hi, "fort.7");
  EXPECT_EQ(limit.front(), (std::vector<double>{1.0, 424.9565}));
  ExpectWithin(Block(d.script, "true dispersion curve true.txt"), lo, hi, "true curve");
}

TEST(AxesTest, TicksInTheirShortestForm) {
  for (const std::string& text : {testing::QuillonExample(), std::string(testing::kCurveTable)}) {
    const std::string s = Draw(OneInput("in.txt", text)).script;
    EXPECT_TRUE(HasAll(s, {"set format x '%g'\n", "set format y '%g'\n", "set format cb '%g'\n"}));
  }
}

TEST(AxesTest, ClipToRangeCutsAtTheEdgesInLogCoordinates) {
  const AxisRange range{100, 1000};
  struct Case {
    std::vector<Point> line;
    Rows expected;  // f, v; {} where the line breaks
  };
  auto rows = [](const std::vector<Point>& points) {
    Rows out;
    for (const Point& p : points) {
      if (p.gap_before) out.push_back({});
      out.push_back({p.f, p.v});
    }
    return out;
  };
  const Case cases[] = {
      // Inside: as it is.
      {{{1, 200}, {2, 300}}, {{1, 200}, {2, 300}}},
      // c = 10 f from 1 to 1000 Hz: in the range from 10 to 100 Hz.
      {{{1, 10}, {1000, 10000}}, {{10, 100}, {100, 1000}}},
      // Out at the top and back: broken there.
      {{{1, 500}, {2, 4000}, {4, 500}},
       {{1, 500}, {std::pow(2.0, 1.0 / 3.0), 1000}, {}, {std::pow(2.0, 5.0 / 3.0), 1000}, {4, 500}}},
      // Wholly outside: nothing.
      {{{1, 5000}, {2, 6000}}, {}},
      // A gap stays a gap; a value a log axis cannot show breaks the line.
      {{{1, 200}, {2, 200, 0, true}, {3, -1}, {4, 300}}, {{1, 200}, {}, {2, 200}, {}, {4, 300}}},
  };
  for (const Case& c : cases) {
    const Rows got = rows(ClipToRange(c.line, range, true, true));
    ASSERT_EQ(got.size(), c.expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].size(), c.expected[i].size()) << i;
      for (size_t k = 0; k < got[i].size(); ++k) EXPECT_NEAR(got[i][k], c.expected[i][k], 1e-12 * c.expected[i][k]);
    }
  }
}

TEST(AxesTest, LogTicsAtRoundValues) {
  const std::pair<std::pair<double, double>, std::vector<double>> cases[] = {
      {{0.95, 6.3}, {1, 2, 3, 4, 5, 6}},                 // every digit: 1 2 5 gives three
      {{95, 1200}, {100, 200, 500, 1000}},               // 1 2 5
      {{179, 470}, {200, 250, 300, 400}},                // 1 1.5 2 2.5 3 4 ...
      {{78.9, 86.5}, {79, 80, 81, 82, 83, 84, 85, 86}},  // every two digits
      // 33 decades: every third power of ten, no more than 16 tics.
      {{1e-3, 1e30}, {1e-3, 1, 1e3, 1e6, 1e9, 1e12, 1e15, 1e18, 1e21, 1e24, 1e27, 1e30}},
  };
  for (const auto& [range, tics] : cases) {
    const std::vector<double> got = LogTics(range.first, range.second);
    ASSERT_EQ(got.size(), tics.size()) << range.first;
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], tics[i], 1e-9 * tics[i]);
  }
}

TEST(AxesTest, InversionResultInTwoPanelsSideBySide) {
  testsupport::TempDir dir("circplot_inversion_panels");
  testing::WriteInversionFiles(dir, "run1");
  testsupport::TestContext context(dir.path());
  Request request;
  request.inputs.push_back(ReadInversionRun(context, "run1"));
  const Drawn d = Draw(request);
  ASSERT_EQ(d.picture.panels.size(), 2u);
  EXPECT_EQ(PictureHeight(d.picture), 420);  // one row
  const std::string& s = d.script;
  EXPECT_TRUE(
      HasAll(s, {"set multiplot title 'run1 (circinv)'\n", "set origin 0.50000000000000000, 0.0000000000000000",
                 "set size 0.50000000000000000, ", "set xlabel 'shear velocity vs (m/s)'", "set cblabel 'misfit'",
                 "title 'Profile of run1: Vs30 262 m/s (10-90 %: 251 to 274)'", "title '2 of 5 models, misfit <= 1'",
                 "title 'best model (misfit 0.5)'", "title 'Fit to the observed rayleigh curve, run1'"}));
  // The profile: depth downward from the surface to 20 m, vs from what is drawn.
  const auto y = testing::Ranges(s, "y");
  ASSERT_EQ(y.size(), 2u);
  EXPECT_EQ(y[0], (std::pair<double, double>{20, 0}));
  EXPECT_EQ(Block(s, "the best model of run1"), (Rows{{150, 0}, {150, 5}, {250, 5}, {250, 15}, {500, 15}, {500, 20}}));
  // The acceptable models shaded by misfit, the worst first.
  const Rows models = Block(s, "the acceptable models of run1");
  ASSERT_FALSE(models.empty());
  EXPECT_EQ(models.front(), (std::vector<double>{170, 0, 0.9}));
  EXPECT_EQ(models.back(), (std::vector<double>{500, 20, 0.5}));
  // The fit on the frequency axis again, its range from the observed
  // values and bars (187 to 435) and the models' curves within them.
  EXPECT_LT(s.find("unset logscale x"), s.rfind("set logscale x\n"));
  EXPECT_NEAR(y[1].first, LowerEnd(187, 435), 1e-9);
  EXPECT_EQ(Block(s, "c_p10 and c_p90 (rayleigh) of run1"), (Rows{{2, 400, 430}, {5, 270, 295}, {}, {20, 190, 202}}));
  EXPECT_EQ(Block(s, "c_best (rayleigh) of run1"), (Rows{{2, 415}, {5, 285}, {}, {20, 196}}));
}

}  // namespace
}  // namespace circplot
