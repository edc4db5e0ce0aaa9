#include "centre_series/series.h"

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace corral {
namespace {

using enum Series;

TEST(PlanForTest, NcompTable) {
  struct Case {
    int32_t ncomp;
    int values;
    std::vector<Series> files;
  };
  const Case cases[] = {
      {1, 2, {kVertical}},
      {2, 4, {kFirstHorizontal, kSecondHorizontal}},
      {3, 4, {kVertical, kFirstHorizontal, kSecondHorizontal}},
      {0, 0, {}},
      {-1, 0, {}},
      {4, 0, {}},
      {6, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ncomp);
    Plan p = PlanFor(c.ncomp);
    EXPECT_EQ(p.values_per_sample, c.values);
    EXPECT_EQ(p.files, c.files);
  }
}

std::vector<std::string> Lines(const Sample& s, const std::vector<Series>& files) {
  std::vector<std::string> text(files.size());
  std::vector<std::string*> lines;
  for (auto& t : text) lines.push_back(&t);
  SeriesFormatter formatter(files);
  formatter.Append(s, lines);
  return text;
}

TEST(SeriesFormatterTest, OneSampleInEverySeries) {
  const Sample s{0.5, 1.0, 2.0, 4.0};
  const std::string t = "      0.50000000    ";
  const std::string one = "       1.0000000    ";
  const std::string two = "       2.0000000    ";
  const std::string minus_two = "      -2.0000000    ";
  const std::string zero = "       0.0000000    ";
  EXPECT_EQ(Lines(s, PlanFor(3).files),
            (std::vector<std::string>{t + one + zero + "\n", t + one + minus_two + "\n", t + two + one + "\n"}));
  EXPECT_EQ(Lines(s, PlanFor(2).files), (std::vector<std::string>{t + one + minus_two + "\n", t + two + one + "\n"}));
  EXPECT_EQ(Lines(s, PlanFor(1).files), (std::vector<std::string>{t + one + zero + "\n"}));
}

TEST(SeriesFormatterTest, FieldsAreGeneralEditingInTwentyColumns) {
  struct Case {
    double value;
    const char* field;
  };
  const Case cases[] = {
      {123.456, "       123.45600    "},
      {0.5, "      0.50000000    "},
      {0.001, "      0.10000000E-02"},
      {-98765432.4, "      -98765432.    "},
      {123456789.0, "      0.12345679E+09"},
      {0.099999999, "      0.99999999E-01"},
      {0.0999999999, "      0.10000000    "},  // rounds up into the fixed range
      {1.0e-200, "      0.10000000-199"},
      {-0.0, "      -0.0000000    "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    // The value as the vertical component of a sample at time 0.
    std::string line = Lines({0.0, c.value, 0.0, 0.0}, {kVertical})[0];
    ASSERT_EQ(line.size(), 61u);
    EXPECT_EQ(line.substr(20, 20), c.field);
  }
}

TEST(SeriesFormatterTest, SecondHorizontalIsTheFirstTimesI) {
  std::mt19937_64 gen(5);
  std::uniform_real_distribution<double> value(-1e4, 1e4);
  SeriesFormatter formatter(PlanFor(3).files);
  std::string u, h1, h2;
  std::vector<std::string*> lines = {&u, &h1, &h2};
  for (int i = 0; i < 1000; ++i) {
    formatter.Append({0.01 * i, value(gen), value(gen), value(gen)}, lines);
  }
  std::istringstream a(h1), b(h2);
  double t1, re1, im1, t2, re2, im2;
  int count = 0;
  while (a >> t1 >> re1 >> im1) {
    ASSERT_TRUE(b >> t2 >> re2 >> im2);
    EXPECT_EQ(t1, t2);
    EXPECT_EQ(re2, -im1);
    EXPECT_EQ(im2, re1);
    ++count;
  }
  EXPECT_EQ(count, 1000);
  EXPECT_EQ(std::count(u.begin(), u.end(), '\n'), 1000);
}

}  // namespace
}  // namespace corral
