#include "result_plot/script.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "result_plot/picture.h"
#include "result_plot/read_inputs.h"
#include "result_plot/readers.h"
#include "testsupport/plot_inputs.h"
#include "testsupport/plot_scripts.h"
#include "textio/errors.h"
#include "textio/number.h"

namespace circplot {
namespace {

using testing::Block;
using testing::Draw;
using testing::Drawn;
using testing::LinesOf;
using testing::OneInput;
using testing::OneNoteWith;
using testing::Read;

TEST(ScriptTest, VantorOutputWithNoRootCountedFort7AndTrueCurve) {
  Request request = OneInput("ex/vantor.txt", testing::VantorExample());
  request.limits.push_back(ReadFort7("ex/fort.7", LinesOf(testing::Fort7Example())));
  request.truth = TrueCurve{"true.txt", {{1.0, 700.0}, {4.0, 440.0}, {8.0, 300.0}}};
  const Drawn d = Draw(request);
  ASSERT_EQ(d.picture.panels.size(), 1u);
  const std::string& s = d.script;
  EXPECT_TRUE(testing::HasAll(s, {
                                     "set logscale x\n",
                                     "set xlabel 'frequency (Hz)'",
                                     "set ylabel 'phase velocity (m/s)'",
                                     "title 'vantor.txt (vantor, r = 20 m)'",  // r read from the data
                                     "axes x1y2 with points",                  // NO_ROOT marks on the frequency axis
                                     "title 'NO_ROOT: 1 frequency'",
                                     "title 'resolution limit, fort.7 (above: not resolved)'",
                                     "title 'true curve (true.txt)'",
                                     "set output 'out.png'",
                                     "set multiplot layout 1,1 title 'vantor.txt (vantor)'",
                                 }));

  // The data are inline, exactly as read.
  const auto velocities = Block(s, "phase velocities of ex/vantor.txt");
  ASSERT_EQ(velocities.size(), 8u);
  EXPECT_EQ(velocities[0], (std::vector<double>{1.5, 682.114868}));
  EXPECT_EQ(velocities[7], (std::vector<double>{6.0, 320.129517}));
  const auto marks = Block(s, "frequencies of the NO_ROOT lines of ex/vantor.txt");
  EXPECT_EQ(marks, (std::vector<std::vector<double>>{{1.0}}));
  const auto limit = Block(s, "resolution-limit velocities of ex/fort.7");
  ASSERT_EQ(limit.size(), 7u);
  EXPECT_EQ(limit[0], (std::vector<double>{1.0, 424.9565}));
  EXPECT_EQ(Block(s, "true dispersion curve true.txt").size(), 3u);

  // The axis spans the measured values and the limit, not the wider true curve.
  EXPECT_LT(d.picture.fmin, 1.0);
  EXPECT_GT(d.picture.fmin, 0.9);
  EXPECT_GT(d.picture.fmax, 6.0);
  EXPECT_LT(d.picture.fmax, 7.0);
}

TEST(ScriptTest, LinesBreakWhereAFrequencyHasNoValue) {
  const Drawn d = Draw(OneInput("v.txt",
                                "   1.00000000       100.000000       10.0000000    \n"
                                "   2.00000000       999.000000      NO_ROOT            4   1.50000000    \n"
                                "   3.00000000       999.000000      NO_ROOT            4   1.50000000    \n"
                                "   4.00000000       80.0000000       2.00000000    \n"));
  const auto rows = Block(d.script, "phase velocities of v.txt");
  EXPECT_EQ(rows, (std::vector<std::vector<double>>{{1.0, 100.0}, {}, {4.0, 80.0}}));
  EXPECT_TRUE(testing::Has(d.script, "title 'NO_ROOT: 2 frequencies'"));
}

TEST(ScriptTest, NoRootOnlyStillDrawsTheMarks) {
  const Drawn d =
      Draw(OneInput("v.txt", "   2.00000000       999.000000      NO_ROOT            4   1.50000000    \n"));
  EXPECT_TRUE(testing::Has(d.script, "set yrange [0:1]\nunset ytics\n")) << "a panel of marks alone needs a y range";
  EXPECT_TRUE(testing::Has(d.script, "title 'NO_ROOT: 1 frequency'"));
  EXPECT_FALSE(testing::Has(d.script, "phase velocities of"));
}

TEST(ScriptTest, OneValueGetsARangeAroundIt) {
  const std::string s = Draw(OneInput("v.txt", "   2.00000000       82.6113205       4.13056612    \n")).script;
  // gnuplot would warn of an empty range [82.6:82.6] and widen it itself.
  // Phase velocities lie on a logarithmic axis: the range is centred on
  // the value in log c, 0.02 decades on either side.
  EXPECT_FALSE(testing::Has(s, "set autoscale y"));
  const auto ranges = testing::Ranges(s, "y");
  ASSERT_EQ(ranges.size(), 1u);
  const auto [lo, hi] = ranges[0];
  EXPECT_NEAR(std::sqrt(lo * hi), 82.6113205, 1e-9);
  EXPECT_NEAR(std::log10(hi / lo), 0.04, 1e-12);
}

TEST(ScriptTest, QuillonNoiseRatios) {
  const Drawn d = Draw(OneInput("q.txt", testing::QuillonExample()));
  ASSERT_EQ(d.picture.panels.size(), 1u);
  EXPECT_TRUE(d.picture.panels[0].log_y);  // every nsr0 is positive
  EXPECT_TRUE(testing::HasAll(
      d.script, {"set ylabel 'noise-to-signal ratio nsr0'", "title 'NO ROOT: 1 frequency'", "set logscale y\n"}));
  EXPECT_EQ(Block(d.script, "nsr0 of q.txt").size(), 7u);
  EXPECT_EQ(Block(d.script, "frequencies of the NO ROOT lines of q.txt"), (std::vector<std::vector<double>>{{4.5}}));

  // An nsr0 of zero cannot be shown on a log axis: the axis turns linear.
  const Drawn zero = Draw(OneInput("q.txt", "  0.1000000E+01  0.0000000E+00  0.4996293E-01  0.6427663E-05\n"));
  EXPECT_FALSE(zero.picture.panels[0].log_y);
}

TEST(ScriptTest, CircspecTablePanelsWithErrorBarsAndTheory) {
  Request request = OneInput("spectra.txt", testing::kSpectraTable);
  request.radius = 10.0;
  request.truth = TrueCurve{"true.txt", {{1.0, 200.0}, {10.0, 200.0}}};
  const Drawn d = Draw(request);
  ASSERT_EQ(d.picture.panels.size(), 2u);  // SPAC coefficients, CCA ratio
  const std::string& s = d.script;
  EXPECT_TRUE(testing::HasAll(s, {"set multiplot layout 2,1", "set logscale x\n", "using 1:2:3 with yerrorlines",
                                  "set title 'SPAC coefficients of spectra.txt, ring r = 10 m'",
                                  "title 'spac (vertical), bars: 1 standard error'",
                                  "title 'cca = G0/G1, bars: 1 standard error (1 frequency without a finite value)'"}));
  EXPECT_TRUE(d.picture.panels[1].log_y);
  EXPECT_FALSE(d.picture.panels[0].log_y);
  EXPECT_EQ(Block(s, "spac of spectra.txt")[3], (std::vector<double>{8.0, -0.12, 0.02}));

  // J0(k r) of the true curve beside the coefficient: c = 200 m/s, r = 10 m.
  const auto j0 = Block(s, "J0(k r) of the true curve true.txt");
  ASSERT_FALSE(j0.empty());
  EXPECT_EQ(j0.front()[0], 1.0);
  EXPECT_NEAR(j0.front()[1], std::cyl_bessel_j(0.0, 2.0 * std::numbers::pi * 1.0 * 10.0 / 200.0), 1e-14);
  EXPECT_EQ(j0.back()[0], 8.0);
  const auto cca = Block(s, "J0(k r)^2/J1(k r)^2 of the true curve true.txt");
  ASSERT_FALSE(cca.empty());
  EXPECT_LE(cca.back()[0], 2.4 * 200.0 / (2.0 * std::numbers::pi * 10.0) * (1.0 + 1e-12));
}

TEST(ScriptTest, TrueCurveWithATableButNoRadiusIsANote) {
  Request request = OneInput("spectra.txt", testing::kSpectraTable);
  request.truth = TrueCurve{"true.txt", {{1.0, 200.0}}};
  const Drawn d = Draw(request);
  EXPECT_FALSE(testing::Has(d.script, "J0(k r) of the true curve"));
  EXPECT_THAT(d.notes, OneNoteWith("--radius"));
}

TEST(ScriptTest, TablesWithoutDrawableColumnsAndRadiusMismatch) {
  EXPECT_THROW(Draw(OneInput("t.txt", "# circspec\n# freq j0sq j0sq_se\n1 0.9 0.01\n")), textio::InputError);

  Request radius = OneInput("v.txt", testing::VantorExample());
  radius.radius = 10.0;
  const Drawn d = Draw(radius);
  EXPECT_THAT(d.notes, OneNoteWith("--radius 10 differs from the radius 20 that vantor used for v.txt"));
}

TEST(ScriptTest, SeveralOutputsShareAPanelAndSayWhichIsWhich) {
  Request request;
  request.inputs.push_back(Read("a.txt", testing::VantorExample()));
  request.inputs.push_back(Read("b.txt", testing::VantorExample()));
  request.inputs.push_back(Read("q.txt", testing::QuillonExample()));
  request.inputs.push_back(Read("fort.7", testing::Fort7Example()));  // a fort.7 as an input
  request.title = "Site 'A'\nrun 2";
  const Drawn d = Draw(request);
  ASSERT_EQ(d.picture.panels.size(), 2u);
  EXPECT_TRUE(testing::HasAll(
      d.script, {"title 'NO_ROOT: 1 frequency (a.txt)'", "title 'NO_ROOT: 1 frequency (b.txt)'",
                 "title 'resolution limit, fort.7 (above: not resolved)'", "title 'Site ''A'' run 2'\n"}));
}

TEST(ScriptTest, NonPositiveFrequenciesMakeTheAxisLinear) {
  const Drawn d = Draw(OneInput("v.txt",
                                "   0.00000000       999.000000      NO_ROOT            4   1.50000000    \n"
                                "   4.00000000       80.0000000       2.00000000    \n"));
  EXPECT_TRUE(testing::Has(d.script, "unset logscale x\n"));
  EXPECT_THAT(d.notes, OneNoteWith("linear"));
}

TEST(ScriptTest, TheLegendAvoidsTheMarksAndTheCurves) {
  const Drawn v = Draw(OneInput("v.txt", testing::VantorExample()));
  // NO_ROOT at 1 Hz sits in the bottom left corner; velocities fall to the bottom right.
  EXPECT_NE(v.picture.panels[0].key, "bottom left");
  EXPECT_NE(v.picture.panels[0].key, "bottom right");
  const Drawn q = Draw(OneInput("q.txt", testing::QuillonExample()));
  EXPECT_EQ(q.picture.panels[0].key, "top left");  // nsr0 rises to the right
  EXPECT_TRUE(testing::Has(q.script, "set key top left\n"));
}

TEST(ScriptTest, TerminalsAndStrings) {
  Request request = OneInput("q.txt", testing::QuillonExample());
  const std::string png = Draw(request).script;
  EXPECT_TRUE(
      testing::Has(png, "if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {\n  set terminal pngcairo size 1000,420"));
  EXPECT_TRUE(testing::Has(png, "} else {\n  set terminal png size 1000,420"));
  request.format = Format::kSvg;
  request.output = "it's.svg";
  const std::string svg = Draw(request).script;
  EXPECT_TRUE(testing::Has(svg, "set terminal svg size 1000,420"));
  EXPECT_FALSE(testing::Has(svg, "pngcairo"));
  EXPECT_TRUE(testing::Has(svg, "set output 'it''s.svg'"));
  EXPECT_EQ(GnuplotString("a'b\tc\\d"), "'a''b c\\d'");
}

}  // namespace
}  // namespace circplot
