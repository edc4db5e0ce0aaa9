#include "profile_inversion/model_file.h"

#include <sstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "textio/errors.h"

namespace circinv {
namespace {

TEST(ModelFileTest, ReadsCommentsBlankLinesAndTabs) {
  std::istringstream in(
      "# thickness vp vs density\n\n  2\t300 150 1700  # soft\n8 900 400 1.9e3\r\n\n0 1600 800 2100\n# end\n");
  const LayeredModel model = ReadModel(in, "m.txt");
  ASSERT_EQ(model.layers.size(), 3u);
  EXPECT_EQ(model.layers[0].thickness, 2);
  EXPECT_EQ(model.layers[1].density, 1900);
  EXPECT_EQ(model.layers[2].thickness, 0);
  EXPECT_EQ(model.layers[2].vs, 800);
}

TEST(ModelFileTest, WriterRoundTripsExactly) {
  const LayeredModel model{
      {{2.5, 301.25, 150.1, 1700}, {0.1, 1e3 / 3, 123.456789012345, 2000.5}, {0, 2200, 800, 2100}}};
  std::ostringstream out;
  WriteModel(out, model, "best.txt");
  std::istringstream in(out.str());
  const LayeredModel back = ReadModel(in, "best.txt");
  ASSERT_EQ(back.layers.size(), model.layers.size());
  for (size_t i = 0; i < model.layers.size(); ++i) {
    EXPECT_EQ(back.layers[i].thickness, model.layers[i].thickness);
    EXPECT_EQ(back.layers[i].vp, model.layers[i].vp);
    EXPECT_EQ(back.layers[i].vs, model.layers[i].vs);
    EXPECT_EQ(back.layers[i].density, model.layers[i].density);
  }
}

TEST(ModelFileTest, RefusesWithFileAndLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"2 300 150\n0 900 400 1900\n", "m.txt line 1: density is missing"},
      {"# c\n2 300 150 1700 5\n0 900 400 1900\n", "m.txt line 2: extra value '5'"},
      {"2 300 abc 1700\n0 900 400 1900\n", "m.txt line 1: vs 'abc' is not a number"},
      {"2 300 150 1700\n0 900 nan 1900\n", "m.txt line 2: vs 'nan' is not finite"},
      {"2 inf 150 1700\n0 900 400 1900\n", "m.txt line 1: vp 'inf' is not finite"},
      {"-2 300 150 1700\n0 900 400 1900\n", "m.txt line 1: thickness -2 is not positive"},
      {"2 300 150 0\n0 900 400 1900\n", "m.txt line 1: density 0 is not positive"},
      {"2 300 150 1700\n\n0 450 400 1900\n", "m.txt line 3: vp/vs is not above sqrt(4/3) (a negative bulk modulus)"},
      // Beyond the materials the forward model is proven over (a vs of
      // 1e-300 m/s hung the root search; a density contrast of 1e7 made
      // it fail).
      {"2 300 1e-300 1700\n0 900 400 1900\n", "m.txt line 1: vp and vs must lie within 0.001 to 1e6 m/s"},
      {"2 300 150 1e-3\n0 900 400 1900\n", "m.txt line 1: density must lie within 0.1 to 1e6 kg/m^3"},
      {"2 300 150 1700\n4 3 0.1 1700\n0 900 400 1900\n",
       "m.txt line 2: the shear velocities span 0.1 to 150 m/s, more than a factor 1000"},
      {"2 300 150 1\n0 900 400 1900\n", "m.txt line 2: the densities span 1 to 1900 kg/m^3, more than a factor 1000"},
      {"2 300 150 1700\n0 900 400 1900\n5 1000 500 2000\n",
       "m.txt line 2: a row of thickness 0 (the half-space) must be the last row"},
      {"2 300 150 1700\n3 900 400 1900\n", "m.txt line 2: no half-space"},
      {"# nothing\n\n", "m.txt line 2: no half-space"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::istringstream in(c.text);
    try {
      ReadModel(in, "m.txt");
      ADD_FAILURE() << "accepted";
    } catch (const textio::InputError& e) {
      EXPECT_THAT(e.what(), ::testing::StartsWith(c.message));
    }
  }
}

}  // namespace
}  // namespace circinv
