#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "result_plot/read_inputs.h"
#include "result_plot/readers.h"
#include "result_plot/theory.h"
#include "testsupport/plot_inputs.h"
#include "textio/errors.h"
#include "textio/format.h"

namespace circplot {
namespace {

using testing::LinesOf;

ReadInput Recognise(const std::string& text) { return RecogniseInput("in.txt", LinesOf(text)); }

// A reading refused with an InputError whose message starts with `message`.
auto RefusedWith(const std::string& message) {
  return ::testing::ThrowsMessage<textio::InputError>(::testing::StartsWith(message));
}

TEST(RecogniseTest, VantorOutputByItsLineForms) {
  const ReadInput read = Recognise(testing::VantorExample());
  const auto* curve = std::get_if<DispersionCurve>(&read.input);
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->velocities.size(), 8u);
  EXPECT_EQ(curve->no_root, std::vector<double>{1.0});
  EXPECT_TRUE(curve->singular.empty());
  ASSERT_TRUE(curve->radius.has_value());
  EXPECT_NEAR(*curve->radius, 20.0, 1e-4);  // the radius of examples/vantor/input.txt
  EXPECT_EQ(curve->velocities[0].f, 1.5);
  EXPECT_EQ(curve->velocities[0].v, 682.114868);
  EXPECT_FALSE(read.stop_message.has_value());
}

TEST(RecogniseTest, QuillonOutputAndFort7ByTheirFixedColumns) {
  const ReadInput noise = Recognise(testing::QuillonExample());
  const auto* ratios = std::get_if<NoiseRatios>(&noise.input);
  ASSERT_NE(ratios, nullptr);
  EXPECT_EQ(ratios->nsr0.size(), 7u);
  EXPECT_EQ(ratios->no_root, std::vector<double>{4.5});
  EXPECT_EQ(ratios->nsr0[1].v, 0.8003020E-01);

  // A ratio that is not finite is a line of quillon's too, counted apart.
  const double nan = std::nan("");
  const std::string odd = textio::E15_7(2.0) + textio::E15_7(nan) + "    1234567    " + textio::E15_7(nan) + "\n";
  const auto with_nan = std::get<NoiseRatios>(Recognise(testing::QuillonExample() + odd).input);
  EXPECT_EQ(with_nan.nsr0.size(), 7u);
  EXPECT_EQ(with_nan.not_finite, 1);

  // The same columns, but the third value is 2*pi/rkmin of the fourth.
  const ReadInput limit = Recognise(testing::Fort7Example());
  const auto* fort7 = std::get_if<ResolutionLimit>(&limit.input);
  ASSERT_NE(fort7, nullptr);
  EXPECT_EQ(fort7->velocities.size(), 7u);
  EXPECT_EQ(fort7->velocities[0].v, 0.4249565E+03);
}

TEST(RecogniseTest, CircspecTableByItsHeader) {
  const ReadInput read = Recognise(testing::kSpectraTable);
  const auto* table = std::get_if<SpectraTable>(&read.input);
  ASSERT_NE(table, nullptr);
  std::vector<std::string> names;
  for (const Quantity& q : table->quantities) names.push_back(q.name);
  EXPECT_EQ(names, (std::vector<std::string>{"spac", "coh", "cca"}));  // "segments" is not a quantity
  const Quantity* spac = table->Find("spac");
  ASSERT_EQ(spac->points.size(), 4u);
  EXPECT_TRUE(spac->has_se);
  EXPECT_EQ(spac->points[3].v, -0.12);
  EXPECT_EQ(spac->points[3].se, 0.02);
  const Quantity* cca = table->Find("cca");
  EXPECT_EQ(cca->points.size(), 3u);
  EXPECT_EQ(cca->not_finite, 1);
}

TEST(RecogniseTest, HorizontalColumnsAndColumnsWithoutErrors) {
  const ReadInput read = Recognise(
      "# circspec --component h\n"
      "# freq spac_r spac_r_se spac_t spac_t_se spac_tr spac_tr_se ringsq\n"
      "2 0.5 0.01 0.7 0.02 1.4 0.05 3.5\n");
  const auto& table = std::get<SpectraTable>(read.input);
  ASSERT_NE(table.Find("spac_tr"), nullptr);
  EXPECT_EQ(table.Find("spac_tr")->points[0].se, 0.05);
  EXPECT_FALSE(table.Find("ringsq")->has_se);
  EXPECT_EQ(table.Find("spac"), nullptr);
}

TEST(RecogniseTest, SingularPointsGapsAndAStopMessage) {
  const ReadInput read = Recognise(
      "   1.00000000       100.000000       10.0000000    \n"
      "   2.00000000       999.000000      NO_ROOT            4   1.50000000    \n"
      "   3.00000000       90.0000000     SINGULAR_POINT\n"
      "   4.00000000       80.0000000       2.00000000    \n"
      " Error:nz or ierr in cbesj()           1           4\n");
  const auto& curve = std::get<DispersionCurve>(read.input);
  ASSERT_EQ(curve.velocities.size(), 2u);
  EXPECT_FALSE(curve.velocities[0].gap_before);
  EXPECT_TRUE(curve.velocities[1].gap_before);  // no root and a pole lie between them
  EXPECT_EQ(curve.singular.size(), 1u);
  EXPECT_EQ(curve.no_root, std::vector<double>{2.0});
  ASSERT_TRUE(read.stop_message.has_value());
  EXPECT_EQ(*read.stop_message, "Error:nz or ierr in cbesj()           1           4");
  EXPECT_EQ(read.stop_line, 5);
}

// Every refusal names the input and the first line that fits no kind.
TEST(RecogniseTest, RefusalsNameTheLine) {
  const std::string quillon_line = "  0.1000000E+01  0.4996829E-01  0.4996293E-01  0.6427663E-05\n";
  const std::pair<std::string, std::string> cases[] = {
      {"hello world\n", "in.txt line 1: not a circspec table ('#' header), vantor output"},
      {"\n\n1 20.0 0.4 6.0\n1.0 1.004\n", "in.txt line 3: not a circspec table"},  // vantor's input
      {"   1.00000000       100.000000       10.0000000    \n 2.0 abc\n", "in.txt line 2: not a line of vantor output"},
      {"   1.00000000       100.000000       10.0000000    \n   2.00000000       100.000000       10.0000000    \n",
       "in.txt line 2: the third value is not velocity/(radius*frequency) with the radius of line 1"},
      {"   2.00000000       998.000000      NO_ROOT            4   1.50000000    \n", "in.txt line 1: not a circspec"},
      {" ERROR: no list of itype           7\n", "in.txt line 1: not a circspec table"},
      {"# freq spac spac_se\n1 0.9 0.01\n", "in.txt line 1: a '#' header that does not name circspec"},
      {"# circspec\n# frequency spac\n1 0.9\n", "in.txt line 2: the last header line of a circspec table"},
      {"# circspec\n# freq spac spac_se\n1 0.9 0.01\n2 0.8\n",
       "in.txt line 4: 2 values where the header (line 2) names 3 columns"},
      {"# circspec\n# freq spac spac_se\n1 0.9O 0.01\n", "in.txt line 3: the value of column 'spac' is not a number"},
      {"# circspec\n# freq spac spac_se\n", "in.txt: a circspec table without data lines"},
      {quillon_line + quillon_line.substr(1), "in.txt line 2: not a line of quillon output"},
      {quillon_line + "  0.2000000E+01    NO RO0T      0.0000000E+00 -0.4411865E-03\n",
       "in.txt line 2: not a line of quillon output"},
      {"", "in.txt: no lines to draw"},
      {"  \n\n", "in.txt: no lines to draw"},
  };
  for (const auto& [text, message] : cases) {
    EXPECT_THAT([&] { Recognise(text); }, RefusedWith(message)) << text;
  }
}

TEST(RecogniseTest, ARefusedLineReachesTheTerminalWithoutItsControlBytes) {
  try {
    Recognise("\x1b]0;title\x07" + std::string(100, 'x') + "\n");
    ADD_FAILURE() << "accepted";
  } catch (const textio::InputError& e) {
    const std::string what = e.what();
    EXPECT_EQ(what.find('\x1b'), std::string::npos) << what;
    EXPECT_EQ(what.find('\x07'), std::string::npos) << what;
    EXPECT_NE(what.find("'\\x1b]0;title\\x07xxx"), std::string::npos) << what;
    EXPECT_NE(what.find("xxx...'"), std::string::npos) << what;
  }
}

TEST(RecogniseTest, Fort7FilesAreChecked) {
  EXPECT_EQ(ReadFort7("fort.7", LinesOf(testing::Fort7Example())).velocities.size(), 7u);
  const std::pair<std::string, std::string> cases[] = {
      {testing::QuillonExample(), "q.txt line 1: not a line of quillon's fort.7"},
      {"", "q.txt: no lines"},
  };
  for (const auto& [text, message] : cases) {
    EXPECT_THAT([&] { ReadFort7("q.txt", LinesOf(text)); }, RefusedWith(message)) << text;
  }
}

TEST(TheoryTest, SpacAndCcaOfTheTrueCurve) {
  // c = 100 m/s everywhere, r = 10 m: k r = 2*pi*f/10.
  const TrueCurve truth{"t", {{1.0, 100.0}}};
  constexpr double kJ0Zero = 2.404825557695773;  // first zero of J0
  const double f_zero = kJ0Zero * 10.0 / (2.0 * std::numbers::pi);
  const double f_one = 1.0 * 10.0 / (2.0 * std::numbers::pi);  // k r = 1
  const std::vector<Point> spac = SpacOfTrueCurve(truth, 10.0, {f_one, f_zero});
  EXPECT_NEAR(spac[0].v, 0.7651976865579666, 1e-12);  // J0(1)
  EXPECT_NEAR(spac[1].v, 0.0, 1e-12);
  const double ratio = 0.7651976865579666 / 0.44005058574493355;  // J0(1)/J1(1)
  const std::vector<Point> cca = CcaOfTrueCurve(truth, 10.0, {f_one, f_zero});
  ASSERT_EQ(cca.size(), 1u);  // k r = 2.4048 lies beyond the drawn range
  EXPECT_NEAR(cca[0].v, ratio * ratio, 1e-10);
}

}  // namespace
}  // namespace circplot
