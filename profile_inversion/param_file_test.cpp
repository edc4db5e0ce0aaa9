#include "profile_inversion/param_file.h"

#include <sstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "textio/errors.h"

namespace circinv {
namespace {

ParameterSpace Read(const std::string& text) {
  std::istringstream in(text);
  return ReadParameterSpace(in, "ranges.txt");
}

TEST(ParamFile, ReadsRowsCommentsAndTheKeyword) {
  const ParameterSpace space = Read(
      "# thickness      vs          nu\n"
      "\n"
      "1  5     100 300   0.25 0.45   # the soil\n"
      "increasing\n"
      "  2\t20   150 600   0.25 0.45  1900\r\n"
      "0 0      400 1500  0.2 0.35\n");
  ASSERT_EQ(space.layers.size(), 3u);
  EXPECT_TRUE(space.increasing);
  EXPECT_EQ(space.layers[0].thickness.min, 1);
  EXPECT_EQ(space.layers[0].thickness.max, 5);
  EXPECT_EQ(space.layers[0].density, 0);
  EXPECT_EQ(space.layers[1].thickness.max, 20);
  EXPECT_EQ(space.layers[1].vs.max, 600);
  EXPECT_EQ(space.layers[1].density, 1900);
  EXPECT_EQ(space.layers[2].vs.min, 400);
  EXPECT_EQ(space.layers[2].poisson.max, 0.35);
  EXPECT_FALSE(Read("5 5 100 100 0.3 0.3\n0 0 300 500 0.3 0.3\n").increasing);
}

TEST(ParamFile, RefusesBadRowsAndInconsistentRanges) {
  const std::string half_space = "0 0 400 1500 0.2 0.35\n";
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"1 5 100 300 0.25\n", "ranges.txt line 1: expected six numbers"},
      {"1 5 100 300 0.25 0.45 1900 7\n", "ranges.txt line 1: expected six numbers"},
      {"1 5 100 3OO 0.25 0.45\n", "ranges.txt line 1: unreadable value '3OO'"},
      {"# c\n5 1 100 300 0.25 0.45\n", "ranges.txt line 2: thickness 5 1: minimum above maximum"},
      {"0 5 100 300 0.25 0.45\n", "ranges.txt line 1: thickness 0 5: must be positive"},
      {"-1 5 100 300 0.25 0.45\n", "ranges.txt line 1: thickness -1 5: must be positive"},
      {"1 5 300 100 0.25 0.45\n", "ranges.txt line 1: vs 300 100: minimum above maximum"},
      {"1 5 0 100 0.25 0.45\n", "ranges.txt line 1: vs 0 100: must be positive"},
      {"1 5 100 inf 0.25 0.45\n", "ranges.txt line 1: vs 100 inf: not finite"},
      {"1 5 100 300 0.45 0.25\n", "ranges.txt line 1: Poisson's ratio 0.45 0.25: minimum above maximum"},
      {"1 5 100 300 0 0.45\n", "ranges.txt line 1: Poisson's ratio 0 0.45: must lie inside (0, 0.5)"},
      {"1 5 100 300 0.3 0.5\n", "ranges.txt line 1: Poisson's ratio 0.3 0.5: must lie inside (0, 0.5)"},
      {"1 5 100 300 0.3 nan\n", "ranges.txt line 1: Poisson's ratio 0.3 nan: not finite"},
      {"1 5 100 300 0.25 0.45 0\n", "ranges.txt line 1: density 0: must be positive"},
      {"1 5 100 300 0.25 0.45 -2000\n", "ranges.txt line 1: density -2000: must be positive"},
      {"increasing please\n", "ranges.txt line 1: expected six numbers"},
      {"", "ranges.txt: no half-space"},
      {"# only comments\n", "ranges.txt: no half-space"},
      {"1 5 100 300 0.25 0.45\n", "ranges.txt: no half-space"},
      {"0 0 400 1500 0.2 0.35\n", "ranges.txt: at least one layer is needed over the half-space"},
      {"0 0 400 1500 0.2 0.35\n1 5 100 300 0.25 0.45\n", "ranges.txt line 2: a row after the half-space"},
      {"increasing\n1 5 500 600 0.25 0.45\n0 0 100 400 0.2 0.35\n",
       "ranges.txt: the ranges admit no profile whose velocities increase with depth"},
  };
  for (const Case& c : cases) {
    try {
      Read(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const textio::InputError& e) {
      EXPECT_THAT(e.what(), ::testing::StartsWith(c.message)) << c.text;
    }
  }
  // The half-space row: its thickness must be 0 0, which is how it is
  // recognised, so a row of thickness 0 x is a layer's and refused as such.
  EXPECT_NO_THROW(Read("1 5 100 300 0.25 0.45\n" + half_space));
}

}  // namespace
}  // namespace circinv
