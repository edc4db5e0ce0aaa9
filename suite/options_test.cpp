#include "suite/options.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace suite {
namespace {

constexpr Option kOptions[] = {{"window", true, 'w'}, {"grid", true}, {"quiet", false, 'q'}, {"band", true, 0, 1}};

CommandLine Parse(const std::vector<std::string>& args) { return CommandLine(args, kOptions); }

TEST(CommandLineTest, GnuForms) {
  const CommandLine c = Parse({"layout.txt", "--window", "20", "--grid=log", "-q", "-w", "5", "--", "--quiet"});
  EXPECT_EQ(c.Every("window"), (std::vector<std::string>{"20", "5"}));
  EXPECT_EQ(c.Text("window"), "5");  // the last one counts
  EXPECT_EQ(c.Text("grid"), "log");
  EXPECT_TRUE(c.Has("quiet"));
  EXPECT_FALSE(c.Has("band"));
  EXPECT_EQ(c.operands(), (std::vector<std::string>{"layout.txt", "--quiet"}));
  // getopt's state does not leak from one call into the next.
  EXPECT_EQ(Parse({"a", "b"}).operands(), (std::vector<std::string>{"a", "b"}));
}

TEST(CommandLineTest, AnOptionOfTwoValuesTakesTheNextArgumentWhateverItIs) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> band;
    std::vector<std::string> operands;
  };
  const Case cases[] = {
      {{"layout.txt", "--band", "1", "20", "x"}, {"1", "20"}, {"layout.txt", "x"}},
      {{"--band=1", "20", "layout.txt", "-q"}, {"1", "20"}, {"layout.txt"}},
      // A second value that looks like an option or "--" is still a value.
      {{"a", "--band", "1", "-q", "b"}, {"1", "-q"}, {"a", "b"}},
      {{"--band", "1", "--", "a"}, {"1", "--"}, {"a"}},
      {{"--ban", "2", "3", "-w", "4"}, {"2", "3"}, {}},
  };
  for (const Case& c : cases) {
    const CommandLine p = Parse(c.args);
    EXPECT_EQ(p.Every("band"), c.band) << c.args[0];
    EXPECT_EQ(p.operands(), c.operands) << c.args[0];
  }
  EXPECT_EQ(Parse({"--band", "1", "2", "--band", "3", "4"}).Numbers("band", AnyNumber("two numbers")),
            (std::vector<double>{3, 4}));
}

TEST(CommandLineTest, MistakesAreUsageErrorsNamingTheOption) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--windwo", "3"}, "unknown option '--windwo'"}, {{"-x"}, "unknown option '-x'"},
      {{"--window"}, "--window: needs a value"},        {{"-w"}, "--window: needs a value"},
      {{"--quiet=yes"}, "--quiet: takes no value"},     {{"a", "--band", "1"}, "--band: needs 2 values"},
  };
  for (const auto& [args, message] : cases) {
    try {
      Parse(args);
      ADD_FAILURE() << "accepted " << args[0];
    } catch (const UsageError& e) {
      EXPECT_EQ(std::string(e.what()), message + " (see --help)");
    }
  }
}

// Every value a typed read refuses is worded alike, naming the option,
// what it takes and what it got; values within the rule are read as the
// suite reads numbers.
TEST(CommandLineTest, ValuesAreCheckedAndRefusedInOneWording) {
  enum class Grid { kLog, kLinear };
  const auto grid = [](const CommandLine& c) {
    return c.Keyword<Grid>("grid", {{"log", Grid::kLog}, {"linear", Grid::kLinear}});
  };
  const CommandLine good = Parse({"--window", "1d3", "--grid", "linear"});
  EXPECT_EQ(good.Number("window", Positive("a positive number of seconds")), 1000.0);
  EXPECT_EQ(grid(good), Grid::kLinear);
  EXPECT_EQ(Parse({}).Number("window", Positive("x")), std::nullopt);

  struct Case {
    std::vector<std::string> args;
    std::function<void(const CommandLine&)> read;
    std::string message;
  };
  const NumberRule positive = Positive("a positive number of seconds");
  const Case cases[] = {
      {{"--window", "x"},
       [&](const CommandLine& c) { c.Number("window", positive); },
       "--window: expected a positive number of seconds, got 'x'"},
      {{"--window", "0"},
       [&](const CommandLine& c) { c.Number("window", positive); },
       "--window: expected a positive number of seconds, got '0'"},
      {{"--window", "inf"},
       [&](const CommandLine& c) { c.Number("window", AnyNumber("a number")); },
       "--window: expected a number, got 'inf'"},
      {{"--window", "1"},
       [&](const CommandLine& c) {
         c.Number("window", {"a fraction 0 <= F < 1", 0, false, 1, true});
       },
       "--window: expected a fraction 0 <= F < 1, got '1'"},
      {{"--window", "1.5"},
       [&](const CommandLine& c) { c.Integer("window", 1, 9, "a count from 1 to 9"); },
       "--window: expected a count from 1 to 9, got '1.5'"},
      {{"--window", "10"},
       [&](const CommandLine& c) { c.Integer("window", 1, 9, "a count from 1 to 9"); },
       "--window: expected a count from 1 to 9, got '10'"},
      {{"--band", "1", "x"},
       [&](const CommandLine& c) { c.Numbers("band", Positive("a positive frequency")); },
       "--band: expected a positive frequency, got 'x'"},
      {{"--grid", "octave"}, [&](const CommandLine& c) { grid(c); }, "--grid: expected log or linear, got 'octave'"},
  };
  for (const Case& c : cases) {
    try {
      c.read(Parse(c.args));
      ADD_FAILURE() << "accepted " << c.args[1];
    } catch (const OptionValueError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
  EXPECT_EQ(CommandLine::Alternatives({"text", "mseed", "sac"}), "text, mseed or sac");
}

}  // namespace
}  // namespace suite
