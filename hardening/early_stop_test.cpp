// Nothing is lost when a run ends early: at a message stop, at the end of
// input in the middle of a record, at a run-time error.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hardening/programs.h"
#include "hardening/support.h"

namespace hardening {
namespace {

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

TEST(EarlyStopTest, AMessageStopKeepsEveryLineBefore) {
  // Lines each program writes before its message in the stop input.
  const std::map<std::string, size_t> lines_before = {{"vantor", 0},  {"quillon", 4}, {"tessel", 203}, {"hollin", 0},
                                                      {"resampa", 0}, {"gauger", 0},  {"wendle", 0},   {"corral", 2}};
  TempDir dir("hardening_message_stop");
  for (const ProgramCase& p : AllPrograms(dir)) {
    if (p.stop_input.empty()) continue;
    SCOPED_TRACE(p.name);
    const Outcome o = RunOn(p.run, p.stop_input);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    ASSERT_FALSE(o.out.empty());
    EXPECT_EQ(o.out.back(), '\n');
    const std::vector<std::string> lines = Lines(o.out);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines.size() - 1, lines_before.at(p.name));
    const std::string& message = lines.back();
    EXPECT_TRUE(message.find("ERROR") != std::string::npos || message.find("Error") != std::string::npos) << message;
    if (StartsWith(p.stop_input, p.input)) {
      EXPECT_TRUE(StartsWith(o.out, RunOn(p.run, p.input).out));
    }
  }
}

TEST(EarlyStopTest, InputCutAfterAnyLineGivesALeadingPartOfTheOutput) {
  TempDir dir("hardening_cut_input");
  for (const ProgramCase& p : AllPrograms(dir)) {
    if (!p.streams) continue;
    const std::string whole = RunOn(p.run, p.input).out;
    std::vector<size_t> cuts = {0};
    for (size_t i = 0; i < p.input.size(); ++i) {
      if (p.input[i] == '\n') cuts.push_back(i + 1);
    }
    for (size_t cut : cuts) {
      const std::string part = p.input.substr(0, cut);
      SCOPED_TRACE(p.name + " on: " + part);
      const Outcome o = RunOn(p.run, part);
      EXPECT_TRUE(StartsWith(whole, o.out)) << o.out;
      EXPECT_TRUE(o.out.empty() || o.out.back() == '\n');
      if (o.status == 0) {
        EXPECT_EQ(o.err, "");
      } else {
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(IsOneDiagnosticLine(o.err, p.name)) << o.err;
      }
    }
  }
}

TEST(EarlyStopTest, EndOfInputInsideASegmentKeepsTheValuesCopied) {
  TempDir dir("hardening_snippa_cut");
  for (const ProgramCase& p : AllPrograms(dir)) {
    if (p.name != "snippa") continue;
    // Segment 2 of length 2 starts after 2 values: two values of it arrive, the run needs 2.
    const Outcome o = RunOn(p.run, "2 2\n5\n0.5\n1.25\n1\n2\n3\n");
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(IsOneDiagnosticLine(o.err, "snippa")) << o.err;
    EXPECT_EQ(o.out, "    2\n    0.5000\n    1.2500\n    3.0000\n");
  }
}

}  // namespace
}  // namespace hardening
