// Nothing is lost when a run ends early: at a message stop, at the end of
// input in the middle of a record, at a run-time error.
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hardening/cases.h"

namespace hardening {
namespace {

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

TEST(EarlyStopTest, AMessageStopKeepsEveryLineBefore) {
  for (const ProgramCase& p : AllCases()) {
    if (p.stop_input.empty()) continue;
    SCOPED_TRACE(p.name());
    TempDir dir("hardening_message_stop");
    PlaceFiles(p, dir);
    const Outcome o = RunIn(dir, p, p.stop_input);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    ASSERT_FALSE(o.out.empty());
    EXPECT_EQ(o.out.back(), '\n');
    const std::vector<std::string> lines = Lines(o.out);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines.size() - 1, p.lines_before_stop);
    const std::string& message = lines.back();
    EXPECT_TRUE(message.find("ERROR") != std::string::npos || message.find("Error") != std::string::npos) << message;
    if (StartsWith(p.stop_input, p.input)) {
      EXPECT_TRUE(StartsWith(o.out, RunIn(dir, p, p.input).out));
    }
  }
}

TEST(EarlyStopTest, InputCutAfterAnyLineGivesALeadingPartOfTheOutput) {
  for (const ProgramCase& p : AllCases()) {
    if (!p.streams) continue;
    TempDir dir("hardening_cut_input");
    PlaceFiles(p, dir);
    const std::string whole = RunIn(dir, p, p.input).out;
    std::vector<size_t> cuts = {0};
    for (size_t i = 0; i < p.input.size(); ++i) {
      if (p.input[i] == '\n') cuts.push_back(i + 1);
    }
    for (size_t cut : cuts) {
      const std::string part = p.input.substr(0, cut);
      SCOPED_TRACE(p.name() + " on: " + part);
      const Outcome o = RunIn(dir, p, part);
      EXPECT_TRUE(StartsWith(whole, o.out)) << o.out;
      EXPECT_TRUE(o.out.empty() || o.out.back() == '\n');
      ExpectCleanEnd(p, o);
    }
  }
}

// Every case folder is read, as the case of the program it names, and
// holds a run that ends normally.
TEST(HardeningCasesTest, EveryFolderIsTheCaseOfOneProgram) {
  EXPECT_THAT(StaleCaseFolders(), testing::IsEmpty());
  std::set<std::string> names;
  for (const ProgramCase& p : AllCases()) {
    EXPECT_TRUE(names.insert(p.name()).second) << p.name();
    EXPECT_FALSE(p.input.empty()) << p.name();
  }
  size_t folders = 0;
  for (const auto& entry : std::filesystem::directory_iterator(CIRCARRAY_HARDENING_CASES_DIR)) {
    folders += entry.is_directory() ? 1 : 0;
  }
  EXPECT_EQ(names.size(), folders);
}

// A setting the loader does not know fails loudly rather than being
// skipped, so a misspelt `streams` cannot switch a check off.
TEST(HardeningCasesTest, AnUnknownSettingIsRefused) {
  TempDir dir("hardening_unknown_setting");
  for (const char* settings : {"# a comment\nstream\n", "lines_before_stop two\n", "column_file x.d\n"}) {
    dir.Write("case", settings);
    EXPECT_THROW(LoadCase(AllCases().front().program, dir.path()), std::runtime_error) << settings;
  }
  dir.Write("case", "streams  # comment\nlines_before_stop 3\noutputs a b\n");
  const ProgramCase c = LoadCase(AllCases().front().program, dir.path());
  EXPECT_TRUE(c.streams);
  EXPECT_EQ(c.lines_before_stop, 3u);
  EXPECT_THAT(c.outputs, testing::ElementsAre("a", "b"));
}

}  // namespace
}  // namespace hardening
