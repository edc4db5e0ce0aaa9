#include "centre_series/corral.h"
#include "suite/programs.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"

namespace corral {
namespace {

namespace fs = std::filesystem;

using testsupport::Outcome;
using testsupport::TempDir;

// Runs on standard input: echo pair, input line, ncomp, the ignored integer, names.
Outcome RunWith(const std::string& input_line, int ncomp, const std::vector<std::string>& names) {
  std::string text = "1.5 -2\n" + input_line + "\n" + std::to_string(ncomp) + "\n7\n";
  for (const auto& n : names) text += n + "\n";
  return testsupport::RunInProcess(kProgram, text);
}

const std::string kEcho = "   1.5000000000000000       -2.0000000000000000     \n";
const std::string kT = "      0.50000000    ";

TEST(CorralTest, ThreeSeriesAndTheProgressLines) {
  TempDir dir("corral_test");
  dir.Write("data.txt", "0.5 1 2 4\n\n1.0, 3 ,-8, 0.25 extra\n");
  // Names are cut at their first blank in the progress lines; the output
  // file is opened under its whole name.
  const Outcome r = RunWith(dir / "data.txt" + " the centre station", 3, {dir / "u.d", dir / "h1 x.d", dir / "h2.d"});
  EXPECT_EQ(r.status + r.err.size(), 0u);
  EXPECT_EQ(r.out, kEcho + "INPUT: " + (dir / "data.txt") + "\n read ncomp   :            3\nOUTPUT: " + (dir / "u.d") +
                       "\nOUTPUT: " + (dir / "h1") + "\nOUTPUT: " + (dir / "h2.d") + "\n Done.\n");
  // u, (e - i n)/2 and (n + i e)/2 in (3g20.8).
  EXPECT_EQ(dir.Read("u.d"), kT + "       1.0000000           0.0000000    \n" +
                                 "       1.0000000           3.0000000           0.0000000    \n");
  EXPECT_EQ(dir.Read("h1 x.d"), kT + "       1.0000000          -2.0000000    \n" +
                                    "       1.0000000          -4.0000000         -0.12500000    \n");
  EXPECT_EQ(dir.Read("h2.d"), kT + "       2.0000000           1.0000000    \n" +
                                  "       1.0000000          0.12500000          -4.0000000    \n");
}

TEST(CorralTest, NcompChoosesTheSeries) {
  struct Case {
    int ncomp;
    std::string data;
    std::vector<std::string> files;  // expected content of file 1, 2, ...; none written when empty
  } cases[] = {
      {2,
       "0.5 1 2 4\n",
       {kT + "       1.0000000          -2.0000000    \n", kT + "       2.0000000           1.0000000    \n"}},
      // ncomp 1 reads two values a sample: two-column files serve.
      {1,
       "0.5 1\n0.5 1 x y\n",
       {kT + "       1.0000000           0.0000000    \n" + kT + "       1.0000000           0.0000000    \n"}},
      // The general field: E form outside 0.1 .. 1e8, exponent letter dropped for 3 digits.
      {1,
       "0 0.001\n0 123456789\n0 1e-200\n0 -0\n",
       {"       0.0000000          0.10000000E-02       0.0000000    \n"
        "       0.0000000          0.12345679E+09       0.0000000    \n"
        "       0.0000000          0.10000000-199       0.0000000    \n"
        "       0.0000000          -0.0000000           0.0000000    \n"}},
      {0, "0.5 1 2 4\n", {}},
      {-2, "0.5 1 2 4\n", {}},
      {4, "0.5 1 2 4\n", {"", "", "", ""}},
      {6, "0.5 1 2 4\n", {"", "", "", "", "", ""}},  // names read, not used
  };
  for (const Case& c : cases) {
    TempDir dir("corral_test");
    dir.Write("data.txt", c.data);
    std::vector<std::string> names;
    for (size_t k = 1; k <= c.files.size(); ++k) names.push_back(dir / std::string("f").append(std::to_string(k)));
    const Outcome r = RunWith(dir / "data.txt", c.ncomp, names);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(r.out.size() - 7), " Done.\n") << "every name line consumed";
    const bool written = c.ncomp >= 1 && c.ncomp <= 3;
    EXPECT_EQ(dir.Files().size(), written ? names.size() + 1 : 1) << c.ncomp;
    for (size_t k = 0; written && k < names.size(); ++k)
      EXPECT_EQ(testsupport::ReadFile(names[k]), c.files[k]) << c.ncomp;
  }
}

TEST(CorralTest, OutputFilesHoldOnlyThisRun) {
  TempDir dir("corral_test");
  dir.Write("data.txt", "0.5 1 2 4\n");
  dir.Write("empty.txt", "time u e n\n");
  dir.Write("a.d", std::string(3000, '#') + "\n");
  ASSERT_EQ(RunWith(dir / "data.txt", 1, {dir / "a.d"}).status, 0);
  EXPECT_EQ(dir.Read("a.d"), kT + "       1.0000000           0.0000000    \n");
  ASSERT_EQ(RunWith(dir / "empty.txt", 1, {dir / "a.d"}).status, 0);
  EXPECT_EQ(dir.Read("a.d"), "") << "no sample: nothing stale is left";
}

TEST(CorralTest, RunTimeErrorsGoToStandardError) {
  TempDir dir("corral_test");
  dir.Write("data.txt", "0.5 1 2 4\n");
  fs::create_directory(dir / "sub");
  const std::string head = kEcho + "INPUT: " + (dir / "data.txt") + "\n read ncomp   :            3\n";
  struct Case {
    const char* what;
    Outcome r;
    std::string out;
  } cases[] = {
      {"missing input", RunWith(dir / "none.txt", 1, {dir / "a"}),
       kEcho + "INPUT: " + (dir / "none.txt") + "\n read ncomp   :            1\n"},
      {"directory as input", RunWith(dir / "sub", 0, {}),
       kEcho + "INPUT: " + (dir / "sub") + "\n read ncomp   :            0\n"},
      {"input line begins with a blank", RunWith(std::string(" ").append(dir / "data.txt"), 1, {dir / "a"}),
       kEcho + "INPUT: \n read ncomp   :            1\n"},
      {"output cannot be created", RunWith(dir / "data.txt", 3, {dir / "a", dir / "no/b", dir / "c"}),
       head + "OUTPUT: " + (dir / "a") + "\nOUTPUT: " + (dir / "no/b") + "\nOUTPUT: " + (dir / "c") + "\n"},
      {"input ends before the names", RunWith(dir / "data.txt", 2, {dir / "a"}),
       kEcho + "INPUT: " + (dir / "data.txt") + "\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::make_tuple(c.r.status, c.r.out, c.r.err.rfind("corral: ", 0)), std::make_tuple(2, c.out, 0u))
        << c.what;
  }
  EXPECT_EQ(dir.Read("a"), "") << "nothing written when a later output fails";
}

}  // namespace
}  // namespace corral
