#include "component_split/wendle.h"
#include "suite/programs.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"

namespace wendle {
namespace {

namespace fs = std::filesystem;

using testsupport::TempDir;

// The names in the directory, sorted, blank-separated.
std::string Listing(const TempDir& dir) {
  std::string all;
  for (const std::string& name : dir.Files()) all += name + " ";
  return all;
}

// Runs with the selector and per item an input line and a base line.
std::string RunWith(const std::string& input, int* status = nullptr) {
  const testsupport::Outcome o = testsupport::RunInProcess(kProgram, input);
  if (status) *status = o.status;
  return o.out + o.err.substr(0, o.err.find(':') + 1);
}

// 17 significant digits show the values read as doubles, not floats.
const char kData[] = "0.1 1.5 -2 1e-300\n1.0,2.5,3,-0.25 extra\n";
const std::string kT1 = "  0.10000000000000001      ", kT2 = "   1.0000000000000000      ";  // with the blanks around
const std::string kU = kT1 + "  1.5000000000000000     \n" + kT2 + "  2.5000000000000000     \n";
const std::string kE = kT1 + " -2.0000000000000000     \n" + kT2 + "  3.0000000000000000     \n";
const std::string kN = kT1 + "  1.0000000000000000E-300\n" + kT2 + "-0.25000000000000000     \n";

TEST(WendleTest, SelectorsReadingAndNames) {
  struct Case {
    int selector;
    std::string data, files, u, e, n;  // files in the directory after the run
  } cases[] = {
      {1, kData, "in.txt su.d ", kU, "", ""},
      {1, "0.1 1.5\n1.0 2.5\n", "in.txt su.d ", kU, "", ""},  // two values a sample
      {2, kData, "in.txt se.d sn.d ", "", kE, kN},
      {3, kData, "in.txt se.d sn.d su.d ", kU, kE, kN},
      {0, kData, "in.txt ", "", "", ""},
      {4, kData, "in.txt ", "", "", ""},
      // Reading stops at text; a slash keeps the previous sample's values.
      {2, "0.1 1.5 -2 1e-300\n1.0 2.5 3 /\nx\n5 5 5 5\n", "in.txt se.d sn.d ", "", kE,
       kT1 + "  1.0000000000000000E-300\n" + kT2 + "  1.0000000000000000E-300\n"},
  };
  for (const Case& c : cases) {
    TempDir dir("wendle_test");
    dir.Write("in data.txt", c.data);  // an input name is opened whole
    // Reading that stops at text says so on standard error ("wendle:").
    const bool stops_at_text = c.data.find("\nx\n") != std::string::npos;
    EXPECT_EQ(
        RunWith(std::to_string(c.selector) + "\n1\n" + (dir / "in data.txt") + "\n" + (dir / "s") + " a comment\n"),
        stops_at_text ? "wendle:" : "");
    fs::rename(dir / "in data.txt", dir / "in.txt");
    EXPECT_EQ(Listing(dir), c.files) << c.selector;
    for (auto [suffix, text] : {std::pair("u.d", c.u), std::pair("e.d", c.e), std::pair("n.d", c.n)}) {
      if (!text.empty()) {
        EXPECT_EQ(dir.Read(std::string("s") + suffix), text) << c.selector << suffix;
      }
    }
  }
  EXPECT_EQ(OutputName(std::string(199, 'x'), "u.d"), std::string(199, 'x') + "u");  // cut at 200
}

TEST(WendleTest, OutputFilesHoldOnlyThisRun) {
  TempDir dir("wendle_test");
  dir.Write("in.txt", kData);
  dir.Write("empty.txt", "");
  for (const char* f : {"ou.d", "pu.d"}) dir.Write(f, std::string(5000, '#') + "\n");
  EXPECT_EQ(RunWith("1\n2\n" + (dir / "in.txt") + "\n" + (dir / "o") + "\n" + (dir / "empty.txt") + "\n" + (dir / "p") +
                    "\n"),
            "");
  EXPECT_EQ(dir.Read("ou.d"), kU);
  EXPECT_EQ(dir.Read("pu.d"), "") << "no line written: nothing stale is left";
}

TEST(WendleTest, MessagesAndRunTimeErrors) {
  TempDir dir("wendle_test");
  dir.Write("in.txt", kData);
  const std::string in = dir / "in.txt";
  struct Case {
    const char* what;
    std::string input, out, files;
    int status;
  } cases[] = {
      {"missing input is not created",
       "3\n2\n" + (dir / "gone.txt") + "\n" + (dir / "a") + "\n" + in + "\n" + (dir / "b") + "\n",
       " ERROR(wendle) OpenFile " + (dir / "gone.txt") + "\n", "in.txt ", 0},
      {"name shown up to its first blank, earlier items complete",
       "1\n2\n" + in + "\n" + (dir / "a") + "\n" + (dir / "my file") + "\n" + (dir / "b") + "\n",
       " ERROR(wendle) OpenFile " + (dir / "my") + "\n", "au.d in.txt ", 0},
      {"output cannot be created", "1\n1\n" + in + "\n" + (dir / "no/a") + "\n",
       " ERROR(wendle) OpenFile " + (dir / "no/au.d") + "\n", "in.txt ", 0},
      {"selector not an integer", "x\n1\n", " ERROR(wendle) Read Parameters\n", "in.txt ", 0},
      {"item count not an integer", "3\n1.5\n", " ERROR(wendle) Read Parameters\n", "in.txt ", 0},
      {"negative item count", "3\n-2\n", "", "in.txt ", 0},
      {"input ends before the count", "3\n", "wendle:", "in.txt ", 2},
      {"input ends before a name line", "1\n2\n" + in + "\n" + (dir / "a") + "\n", "wendle:", "au.d in.txt ", 2},
  };
  for (const Case& c : cases) {
    int status = -1;
    EXPECT_EQ(RunWith(c.input, &status), c.out) << c.what;
    EXPECT_EQ(std::make_pair(status, Listing(dir)), std::make_pair(c.status, c.files)) << c.what;
    if (fs::exists(dir / "au.d")) {
      EXPECT_EQ(dir.Read("au.d"), kU) << c.what;
      fs::remove(dir / "au.d");
    }
  }
}

}  // namespace
}  // namespace wendle
