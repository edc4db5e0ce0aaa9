// The dispersion-curve table: its columns, its methods, its refusals.
#include "curve/curve_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "textio/errors.h"

namespace curve {
namespace {

CurveTable Parse(const std::string& text) {
  std::istringstream in(text);
  return ParseCurveTable(in, "t.txt");
}

constexpr char kCircspecCurve[] =
    "# circspec (circarray) 0.1.0\n"
    "# curve of ring 1: radius 10 m, 5 stations\n"
    "# freq c c_se method kr c_spac c_spac_se flag_spac c_cca c_cca_se flag_cca\n"
    " 4 450 12 cca 0.56 460 30 noise 450 12 ok\n"
    " 2 nan nan - nan 600 80 error nan nan noroot\n"
    " 8 290 4 spac 2.2 290 4 ok 300 5 branch  # a note\n";

TEST(CurveTable, ColumnsMethodsAndEstimates) {
  const CurveTable t = Parse(kCircspecCurve);
  EXPECT_EQ(t.writer(), "circspec");
  EXPECT_EQ(t.radius(), 10);
  EXPECT_EQ(t.methods(), (std::vector<std::string>{"spac", "cca"}));
  const std::vector<Estimate> best = t.EstimatesOf("");
  ASSERT_EQ(best.size(), 2u);  // the nan row has no estimate
  EXPECT_EQ(best[0].f, 4);
  EXPECT_EQ(best[1].se, 4);
  const std::vector<Estimate> spac = t.EstimatesOf("spac");
  ASSERT_EQ(spac.size(), 3u);  // sorted by frequency
  EXPECT_EQ(spac[0].f, 2);
  EXPECT_FALSE(spac[0].valid());
  EXPECT_EQ(spac[0].flag, "error");
  EXPECT_TRUE(spac[2].valid());
  EXPECT_EQ(t.Column("kr")[2], 2.2);
  EXPECT_TRUE(std::isnan(t.Column("kr")[1]));
  // A plain curve file of three columns is a table of them.
  const CurveTable plain = Parse("1 300 10\n2 250 8\n");
  EXPECT_EQ(plain.writer(), "");
  EXPECT_FALSE(plain.radius());
  EXPECT_TRUE(plain.methods().empty());
  EXPECT_EQ(plain.EstimatesOf("").size(), 2u);
  // Further columns of a plain curve file are passed over.
  const CurveTable wide = Parse("1 300 10 2.2 x\n2 250 8 1.1\n");
  EXPECT_EQ(wide.columns.size(), 3u);
  EXPECT_EQ(wide.rows[1], (std::vector<std::string>{"2", "250", "8"}));
}

TEST(CurveTable, RefusalsNameTheFileAndTheLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"1 300\n",
       "t.txt line 1: 2 fields where the columns are 3 ('frequency velocity standard_error': the standard "
       "error is needed in the third column)"},
      {"# freq c c_se x\n1 300 10\n", "t.txt line 2: 3 fields where the columns are 4 (named by the header)"},
      {"0 300 10\n", "t.txt line 1: the frequency must be a positive number, got '0'"},
      {"1 300 10\n1.0 200 10\n", "t.txt line 2: frequency 1.0 Hz is given twice"},
      {"1 -300 10\n", "t.txt line 1: the velocity must be a positive number or nan, got '-300'"},
      {"1 300 0\n", "t.txt line 1: the standard error must be a positive number, got '0'"},
      {"# only a header\n", "t.txt: no rows"},
  };
  for (const auto& [text, message] : cases) {
    try {
      Parse(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const textio::InputError& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, std::string(message).size()), message);
    }
  }
}

}  // namespace
}  // namespace curve
