#include "component_split/wendle.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "component_split/selector.h"

namespace wendle {
namespace {

namespace fs = std::filesystem;

// A fresh directory per test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() /
            ("wendle_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& path() const { return path_; }

  // The names of the files in the directory, sorted.
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

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunWith(const std::string& stdin_text) {
  std::istringstream in(stdin_text);
  std::ostringstream out;
  std::ostringstream err;
  int status = RunWendle(in, out, err);
  return {status, out.str(), err.str()};
}

// One output line: time and component, 17 significant digits each.
std::string Line(const char* t, const char* v) { return std::string(" ") + t + " " + v + "\n"; }

constexpr const char* kFourColumns = "0.5 1.5 -2 4e3\n1.0,2.5,3,-0.25 extra\n";
const char* const kT1 = " 0.50000000000000000     ";
const char* const kT2 = "  1.0000000000000000     ";

TEST(SplitForTest, SelectorTable) {
  struct Case {
    int32_t selector;
    int values;
    std::string suffixes;
  };
  const Case cases[] = {
      {1, 2, "u.d"}, {2, 4, "e.d n.d"}, {3, 4, "u.d e.d n.d"},
      {0, 2, ""},    {-7, 2, ""},       {4, 4, ""}, {99, 4, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selector);
    Split s = SplitFor(c.selector);
    EXPECT_EQ(s.values_per_sample, c.values);
    std::string suffixes;
    for (const ComponentFile& f : s.files) {
      if (!suffixes.empty()) suffixes += ' ';
      suffixes += f.suffix;
      EXPECT_EQ(f.suffix[0], "uen"[f.component]);
    }
    EXPECT_EQ(suffixes, c.suffixes);
  }
}

TEST(WendleTest, EachSelectorWritesItsFiles) {
  const std::string u = Line(kT1, "  1.5000000000000000     ") + Line(kT2, "  2.5000000000000000     ");
  const std::string e = Line(kT1, " -2.0000000000000000     ") + Line(kT2, "  3.0000000000000000     ");
  const std::string n = Line(kT1, "  4000.0000000000000     ") + Line(kT2, "-0.25000000000000000     ");
  struct Case {
    int selector;
    std::vector<std::pair<std::string, std::string>> files;  // name, text
  };
  const Case cases[] = {
      {1, {{"su.d", u}}},
      {2, {{"se.d", e}, {"sn.d", n}}},
      {3, {{"se.d", e}, {"sn.d", n}, {"su.d", u}}},
      {0, {}},
      {4, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selector);
    TempDir dir;
    WriteFile(dir / "in.txt", kFourColumns);
    Result r = RunWith(std::to_string(c.selector) + "\n1\n" + (dir / "in.txt") + "\n" + (dir / "s") + "\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    std::vector<std::string> expected_names = {"in.txt"};
    for (const auto& [name, text] : c.files) {
      EXPECT_EQ(ReadFile(dir / name), text) << name;
      expected_names.push_back(name);
    }
    std::sort(expected_names.begin(), expected_names.end());
    EXPECT_EQ(dir.Files(), expected_names);
  }
}

TEST(WendleTest, ValuesKeepTheirSeventeenDigits) {
  TempDir dir;
  WriteFile(dir / "in.txt", "0.1 0.3 1e-300 -1.7976931348623157e308\n2.5d-3 1.0000000000000002 0 -0\n");
  ASSERT_EQ(RunWith("3\n1\n" + (dir / "in.txt") + "\n" + (dir / "v") + "\n").status, 0);
  EXPECT_EQ(ReadFile(dir / "vu.d"), Line(" 0.10000000000000001     ", " 0.29999999999999999     ") +
                                        Line("  2.5000000000000001E-003", "  1.0000000000000002     "));
  EXPECT_EQ(ReadFile(dir / "ve.d"), Line(" 0.10000000000000001     ", "  1.0000000000000000E-300") +
                                        Line("  2.5000000000000001E-003", "  0.0000000000000000     "));
  EXPECT_EQ(ReadFile(dir / "vn.d"), Line(" 0.10000000000000001     ", " -1.7976931348623157E+308") +
                                        Line("  2.5000000000000001E-003", " -0.0000000000000000     "));
}

TEST(WendleTest, InputEndsAtEndOfFileOrFirstUnreadableValue) {
  struct Case {
    const char* what;
    std::string input;
    int lines;
  };
  const Case cases[] = {
      {"header line", "time u e n\n1 2 3 4\n", 0},
      {"text in the middle", "1 2 3 4\n2 x 3 4\n3 3 3 3\n", 1},
      {"sample cut short by the end", "1 2 3 4\n2 3\n", 1},
      {"short lines continue, blank lines pass", "1 2\n\n3 4\n2 2 2 2\n", 2},
      {"no final newline", "1 2 3 4\n2 2 2 2", 2},
      {"empty file", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    WriteFile(dir / "in.txt", c.input);
    Result r = RunWith("3\n1\n" + (dir / "in.txt") + "\n" + (dir / "b") + "\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    for (const char* f : {"bu.d", "be.d", "bn.d"}) {
      EXPECT_EQ(LineCount(dir / f), c.lines) << f;
    }
  }
}

TEST(WendleTest, SlashKeepsThePreviousSampleValues) {
  TempDir dir;
  WriteFile(dir / "in.txt", "1 2 3 4\n5 6 / 7\n");
  ASSERT_EQ(RunWith("3\n1\n" + (dir / "in.txt") + "\n" + (dir / "b") + "\n").status, 0);
  const std::string e = ReadFile(dir / "be.d");
  EXPECT_EQ(e.substr(e.find('\n') + 1), Line("  5.0000000000000000     ", "  3.0000000000000000     "));
}

TEST(WendleTest, SelectorOneReadsTwoColumnFiles) {
  TempDir dir;
  WriteFile(dir / "in.txt", "0.5 1.5\n1.0 2.5\n");
  ASSERT_EQ(RunWith("1\n1\n" + (dir / "in.txt") + "\n" + (dir / "t") + "\n").status, 0);
  EXPECT_EQ(ReadFile(dir / "tu.d"), Line(kT1, "  1.5000000000000000     ") + Line(kT2, "  2.5000000000000000     "));
}

TEST(WendleTest, NamesAreCutAsTheNameFieldsSay) {
  TempDir dir;
  const std::string in = dir / "in.txt";
  WriteFile(in, kFourColumns);
  // The base stops at its first blank; a comment may follow.
  ASSERT_EQ(RunWith("3\n1\n" + in + "\n" + (dir / "site01") + " comment here\n").status, 0);
  EXPECT_TRUE(fs::exists(dir / "site01u.d"));
  EXPECT_TRUE(fs::exists(dir / "site01n.d"));

  // An input name with an inner blank is opened whole.
  WriteFile(dir / "my data.txt", kFourColumns);
  ASSERT_EQ(RunWith("1\n1\n" + (dir / "my data.txt") + "   \n" + (dir / "blank") + "\n").status, 0);
  EXPECT_EQ(ReadFile(dir / "blanku.d"), ReadFile(dir / "site01u.d"));

  // Base name and suffix are cut together at 200 characters.
  const std::string prefix = dir / "";
  ASSERT_LT(prefix.size(), 190u);
  const std::string base198 = prefix + std::string(198 - prefix.size(), 'b');
  const std::string base199 = prefix + std::string(199 - prefix.size(), 'c');
  ASSERT_EQ(RunWith("3\n2\n" + in + "\n" + base198 + "\n" + in + "\n" + base199 + "\n").status, 0);
  EXPECT_TRUE(fs::exists(base198 + "u."));
  EXPECT_TRUE(fs::exists(base199 + "u"));
  EXPECT_EQ(OutputName(std::string(200, 'x'), "u.d"), std::string(200, 'x'));
  EXPECT_EQ(OutputName("ab", "e.d"), "abe.d");
}

// Runs in `dir` as the working directory, restoring the old one after.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
  ~WorkingDirectory() { fs::current_path(old_); }

 private:
  fs::path old_;
};

TEST(WendleTest, EmptyBaseWritesBareSuffixesInTheWorkingDirectory) {
  const std::string bases[] = {"", "   leading blank", std::string(200, 'z'), std::string(230, 'z')};
  for (const std::string& base : bases) {
    SCOPED_TRACE(base.size());
    TempDir dir;
    WriteFile(dir / "in.txt", kFourColumns);
    WorkingDirectory cwd(dir.path());
    ASSERT_EQ(RunWith("3\n1\nin.txt\n" + base + "\n").status, 0);
    EXPECT_EQ(dir.Files(), (std::vector<std::string>{"e.d", "in.txt", "n.d", "u.d"}));
  }
}

TEST(WendleTest, OutputFilesHoldOnlyThisRun) {
  TempDir dir;
  WriteFile(dir / "in.txt", kFourColumns);
  WriteFile(dir / "empty.txt", "");
  for (const char* f : {"ou.d", "pu.d"}) WriteFile(dir / f, std::string(5000, '#') + "\n");
  ASSERT_EQ(RunWith("1\n2\n" + (dir / "in.txt") + "\n" + (dir / "o") + "\n" + (dir / "empty.txt") + "\n" +
                    (dir / "p") + "\n")
                .status,
            0);
  EXPECT_EQ(ReadFile(dir / "ou.d").find('#'), std::string::npos);
  EXPECT_EQ(LineCount(dir / "ou.d"), 2);
  EXPECT_EQ(ReadFile(dir / "pu.d"), "") << "no line written: nothing stale is left";
}

TEST(WendleTest, OpenFailureEndsTheRunWithAMessage) {
  TempDir dir;
  WriteFile(dir / "in.txt", kFourColumns);
  fs::create_directory(dir / "sub");
  struct Case {
    const char* what;
    std::string items;  // item count and name lines
    std::string shown;  // name in the message
    std::vector<std::string> files;
  };
  const Case cases[] = {
      {"missing input is not created", "2\n" + (dir / "gone.txt") + "\n" + (dir / "a") + "\n" + (dir / "in.txt") +
                                           "\n" + (dir / "b") + "\n",
       dir / "gone.txt", {"in.txt", "sub"}},
      {"name shown up to its first blank", "1\n" + (dir / "my file.txt") + "\n" + (dir / "a") + "\n", dir / "my",
       {"in.txt", "sub"}},
      {"directory as input", "1\n" + (dir / "sub") + "\n" + (dir / "a") + "\n", dir / "sub", {"in.txt", "sub"}},
      {"earlier items are complete", "2\n" + (dir / "in.txt") + "\n" + (dir / "a") + "\n" + (dir / "gone") + "\n" +
                                         (dir / "b") + "\n",
       dir / "gone", {"ae.d", "an.d", "au.d", "in.txt", "sub"}},
      {"output cannot be created", "1\n" + (dir / "in.txt") + "\n" + (dir / "no/a") + "\n", dir / "no/au.d",
       {"in.txt", "sub"}},
      {"failed output leaves the earlier ones empty", "1\n" + (dir / "in.txt") + "\n" + (dir / "sub/") + "\n",
       dir / "sub/e.d", {"in.txt", "sub"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (std::string(c.what).rfind("failed output", 0) == 0) fs::create_directory(dir / "sub/e.d");
    Result r = RunWith("3\n" + c.items);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, " ERROR(wendle) OpenFile " + c.shown + "\n");
    EXPECT_EQ(dir.Files(), c.files);
    for (const auto& f : c.files) {
      if (f.size() == 4 && f[0] == 'a') {
        EXPECT_EQ(LineCount(dir / f), 2) << f;
      }
    }
    for (const auto& f : c.files) {
      if (f != "in.txt" && f != "sub") fs::remove(dir / f);
    }
  }
  EXPECT_EQ(ReadFile(dir / "sub/u.d"), "");
}

TEST(WendleTest, ParameterProblems) {
  TempDir dir;
  WriteFile(dir / "in.txt", kFourColumns);
  struct Case {
    const char* what;
    std::string input;
    int status;
    std::string out;
  };
  const Case cases[] = {
      {"selector not an integer", "x\n1\n", 0, " ERROR(wendle) Read Parameters\n"},
      {"item count not an integer", "3\n1.5\n", 0, " ERROR(wendle) Read Parameters\n"},
      {"no items", "3\n0\n", 0, ""},
      {"negative item count", "\n\n3 ignored\n-2\n", 0, ""},
      {"input ends before the selector", "", 2, ""},
      {"input ends before the count", "3\n", 2, ""},
      {"input ends before a name line", "3\n2\n" + (dir / "in.txt") + "\n" + (dir / "a") + "\n", 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Result r = RunWith(c.input);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err.empty(), c.status == 0) << r.err;
    if (c.status != 0) {
      EXPECT_EQ(r.err.rfind("wendle: ", 0), 0u) << r.err;
    }
  }
  EXPECT_EQ(ReadFile(dir / "au.d").size(), 2u * 53) << "the items before the early end are complete";
}

}  // namespace
}  // namespace wendle
