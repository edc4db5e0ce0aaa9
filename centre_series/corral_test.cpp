#include "centre_series/corral.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace corral {
namespace {

namespace fs = std::filesystem;

// A fresh directory per test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() /
            ("corral_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
};

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

long LineCount(const std::string& path) {
  const std::string text = ReadFile(path);
  return std::count(text.begin(), text.end(), '\n');
}

// "f1", "f2", ...
std::string NumberedName(size_t k) {
  std::string name = "f";
  name += std::to_string(k);
  return name;
}

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunWith(const std::string& stdin_text) {
  std::istringstream in(stdin_text);
  std::ostringstream out;
  std::ostringstream err;
  int status = RunCorral(in, out, err);
  return {status, out.str(), err.str()};
}

const std::string kEcho = "   1.5000000000000000       -2.0000000000000000     \n";
const std::string kSample = "0.5 1 2 4\n";
const std::string kFieldT = "      0.50000000    ";

// Standard input: echo pair, input line, ncomp, the ignored integer, names.
std::string Params(const std::string& input_line, int ncomp, const std::vector<std::string>& names) {
  std::string text = "1.5 -2\n" + input_line + "\n" + std::to_string(ncomp) + "\n7\n";
  for (const auto& n : names) text += n + "\n";
  return text;
}

TEST(CorralTest, ThreeSeriesAndTheProgressLines) {
  TempDir dir;
  WriteFile(dir / "data.txt", kSample + "\n1.0, 3 ,-8, 0.25 extra\n");
  Result r = RunWith(Params(dir / "data.txt" + " the centre station", 3,
                            {dir / "u.d", dir / "h1.d", dir / "h2.d"}));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kEcho + "INPUT: " + (dir / "data.txt") + "\n read ncomp   :            3\nOUTPUT: " + (dir / "u.d") +
                       "\nOUTPUT: " + (dir / "h1.d") + "\nOUTPUT: " + (dir / "h2.d") + "\n Done.\n");
  EXPECT_EQ(ReadFile(dir / "u.d"), kFieldT + "       1.0000000           0.0000000    \n" +
                                       "       1.0000000           3.0000000           0.0000000    \n");
  EXPECT_EQ(ReadFile(dir / "h1.d"), kFieldT + "       1.0000000          -2.0000000    \n" +
                                        "       1.0000000          -4.0000000         -0.12500000    \n");
  EXPECT_EQ(ReadFile(dir / "h2.d"), kFieldT + "       2.0000000           1.0000000    \n" +
                                        "       1.0000000          0.12500000          -4.0000000    \n");
}

TEST(CorralTest, NcompChoosesSeriesAndValuesPerSample) {
  struct Case {
    int ncomp;
    std::string data;
    std::vector<std::string> expected;  // file 1, 2, ...
  };
  const std::string h1 = kFieldT + "       1.0000000          -2.0000000    \n";
  const std::string h2 = kFieldT + "       2.0000000           1.0000000    \n";
  const Case cases[] = {
      {2, kSample, {h1, h2}},
      // ncomp 1 reads two values a sample: two-column files serve.
      {1, "0.5 1\n0.5 1 x y\n", {kFieldT + "       1.0000000           0.0000000    \n" + kFieldT +
                                 "       1.0000000           0.0000000    \n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ncomp);
    TempDir dir;
    WriteFile(dir / "data.txt", c.data);
    std::vector<std::string> names;
    for (size_t k = 1; k <= c.expected.size(); ++k) names.push_back(dir / NumberedName(k));
    Result r = RunWith(Params(dir / "data.txt", c.ncomp, names));
    ASSERT_EQ(r.status, 0);
    for (size_t k = 0; k < names.size(); ++k) EXPECT_EQ(ReadFile(names[k]), c.expected[k]) << k;
  }
}

TEST(CorralTest, CountsOutsideOneToThreeWriteNoSeries) {
  struct Case {
    int ncomp;
    size_t names;
    std::string out_tail;
  };
  const Case cases[] = {
      {0, 0, " read ncomp   :            0\n Done.\n"},
      {-2, 0, " read ncomp   :           -2\n Done.\n"},
      {4, 4, " read ncomp   :            4\n Done.\n"},
      {6, 6, " read ncomp   :            6\n Done.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ncomp);
    TempDir dir;
    WriteFile(dir / "data.txt", kSample);
    std::vector<std::string> names;
    for (size_t k = 1; k <= c.names; ++k) names.push_back(dir / NumberedName(k));
    // A line after the names shows how many were consumed: none is left.
    Result r = RunWith(Params(dir / "data.txt", c.ncomp, names));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kEcho + "INPUT: " + (dir / "data.txt") + "\n" + c.out_tail);
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"data.txt"});
  }
}

TEST(CorralTest, NcompAboveTheNameTableIsRefused) {
  TempDir dir;
  WriteFile(dir / "data.txt", kSample);
  Result r = RunWith(Params(dir / "data.txt", 7, {}));  // no name line at all
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kEcho + "INPUT: " + (dir / "data.txt") + "\n ERROR: ncomp above the 6 output names:           7\n");
  EXPECT_EQ(r.err, "");
}

TEST(CorralTest, NamesAreCutAsTheirFieldsSay) {
  TempDir dir;
  WriteFile(dir / "data.txt", kSample);
  // The output name keeps its inner blank; its OUTPUT line does not.
  Result r = RunWith(Params(dir / "data.txt", 1, {dir / "vertical series.d"}));
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\nOUTPUT: " + (dir / "vertical") + "\n"), std::string::npos) << r.out;
  EXPECT_EQ(LineCount(dir / "vertical series.d"), 1);

  // An input line that begins with a blank names no file.
  r = RunWith(Params(std::string(" ").append(dir / "data.txt"), 1, {dir / "x.d"}));
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, kEcho + "INPUT: \n read ncomp   :            1\n");
}

TEST(CorralTest, OutputFilesHoldOnlyThisRun) {
  TempDir dir;
  WriteFile(dir / "data.txt", kSample);
  WriteFile(dir / "empty.txt", "time u e n\n");
  WriteFile(dir / "a.d", std::string(3000, '#') + "\n");
  ASSERT_EQ(RunWith(Params(dir / "data.txt", 1, {dir / "a.d"})).status, 0);
  EXPECT_EQ(LineCount(dir / "a.d"), 1);
  EXPECT_EQ(ReadFile(dir / "a.d").find('#'), std::string::npos);
  ASSERT_EQ(RunWith(Params(dir / "empty.txt", 1, {dir / "a.d"})).status, 0);
  EXPECT_EQ(ReadFile(dir / "a.d"), "") << "no sample: nothing stale is left";
}

TEST(CorralTest, RunTimeErrors) {
  TempDir dir;
  WriteFile(dir / "data.txt", kSample);
  fs::create_directory(dir / "sub");
  struct Case {
    const char* what;
    std::string input;
    std::string out;
    std::vector<std::string> files;
  };
  const std::string head = kEcho + "INPUT: " + (dir / "data.txt") + "\n";
  const Case cases[] = {
      {"missing input", Params(dir / "none.txt", 2, {dir / "a", dir / "b"}),
       kEcho + "INPUT: " + (dir / "none.txt") + "\n read ncomp   :            2\n", {"data.txt", "sub"}},
      {"directory as input", Params(dir / "sub", 0, {}), kEcho + "INPUT: " + (dir / "sub") + "\n read ncomp   :            0\n",
       {"data.txt", "sub"}},
      {"output cannot be created", Params(dir / "data.txt", 3, {dir / "a", dir / "no/b", dir / "c"}),
       head + " read ncomp   :            3\nOUTPUT: " + (dir / "a") + "\nOUTPUT: " + (dir / "no/b") +
           "\nOUTPUT: " + (dir / "c") + "\n",
       {"a", "data.txt", "sub"}},
      {"first line unreadable", "x 1\n", "", {"data.txt", "sub"}},
      {"ncomp not an integer", "1 2\n" + (dir / "data.txt") + "\n3.5\n0\n", head, {"data.txt", "sub"}},
      {"input ends before the names", "1 2\n" + (dir / "data.txt") + "\n2\n0\n" + (dir / "a") + "\n", head,
       {"data.txt", "sub"}},
      {"empty input", "", "", {"data.txt", "sub"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Result r = RunWith(c.input);
    EXPECT_EQ(r.status, 2);
    std::string out = r.out;
    if (c.input.rfind("1 2\n", 0) == 0) out.replace(0, out.find('\n') + 1, kEcho);  // other echo values
    EXPECT_EQ(out, c.out);
    EXPECT_EQ(r.err.rfind("corral: ", 0), 0u) << r.err;
    EXPECT_EQ(dir.Files(), c.files);
    EXPECT_EQ(fs::exists(dir / "a") ? LineCount(dir / "a") : 0, 0);
    fs::remove(dir / "a");
  }
}

}  // namespace
}  // namespace corral
