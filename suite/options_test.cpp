#include "suite/options.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace suite {
namespace {

constexpr Option kOptions[] = {{"window", true, 'w'}, {"grid", true}, {"quiet", false, 'q'}, {"band", true, 0, 1}};

struct Parsed {
  std::vector<std::pair<std::string, std::string>> options;
  std::vector<std::string> operands;
};

Parsed Parse(const std::vector<std::string>& args) {
  Parsed p;
  p.operands = ParseOptions(args, kOptions, [&](std::string_view name, const std::string& value) {
    p.options.emplace_back(std::string(name), value);
  });
  return p;
}

TEST(ParseOptionsTest, GnuForms) {
  const Parsed p = Parse({"layout.txt", "--window", "20", "--grid=log", "-q", "-w", "5", "--", "--quiet"});
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"window", "20"}, {"grid", "log"}, {"quiet", ""}, {"window", "5"}};
  EXPECT_EQ(p.options, expected);
  EXPECT_EQ(p.operands, (std::vector<std::string>{"layout.txt", "--quiet"}));
  // getopt's state does not leak from one call into the next.
  EXPECT_EQ(Parse({"a", "b"}).operands, (std::vector<std::string>{"a", "b"}));
}

TEST(ParseOptionsTest, AnOptionOfTwoValuesTakesTheNextArgumentWhateverItIs) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    std::vector<std::string> args;
    Pairs options;
    std::vector<std::string> operands;
  };
  const Case cases[] = {
      {{"layout.txt", "--band", "1", "20", "x"}, {{"band", "1"}, {"band", "20"}}, {"layout.txt", "x"}},
      {{"--band=1", "20", "layout.txt", "-q"}, {{"band", "1"}, {"band", "20"}, {"quiet", ""}}, {"layout.txt"}},
      // A second value that looks like an option or "--" is still a value.
      {{"a", "--band", "1", "-q", "b"}, {{"band", "1"}, {"band", "-q"}}, {"a", "b"}},
      {{"--band", "1", "--", "a"}, {{"band", "1"}, {"band", "--"}}, {"a"}},
      {{"--ban", "2", "3", "-w", "4"}, {{"band", "2"}, {"band", "3"}, {"window", "4"}}, {}},
  };
  for (const Case& c : cases) {
    const Parsed p = Parse(c.args);
    EXPECT_EQ(p.options, c.options) << c.args[0];
    EXPECT_EQ(p.operands, c.operands) << c.args[0];
  }
  try {
    Parse({"a", "--band", "1"});
    ADD_FAILURE() << "accepted one value";
  } catch (const UsageError& e) {
    EXPECT_EQ(std::string(e.what()), "option '--band' needs 2 values (see --help)");
  }
}

TEST(ParseOptionsTest, MistakesAreUsageErrorsNamingTheOption) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--windwo", "3"}, "unknown option '--windwo'"},     {{"-x"}, "unknown option '-x'"},
      {{"--window"}, "option '--window' needs a value"},    {{"-w"}, "option '--window' needs a value"},
      {{"--quiet=yes"}, "option '--quiet' takes no value"},
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

TEST(ParseOptionsTest, NumbersAreReadAsTheSuiteReadsThem) {
  EXPECT_EQ(OptionReal("window", "20.48"), 20.48);
  EXPECT_EQ(OptionReal("window", "1d3"), 1000.0);
  EXPECT_EQ(OptionInteger("nfreq", "120"), 120);
  EXPECT_THROW(OptionReal("window", "20s"), UsageError);
  EXPECT_THROW(OptionInteger("nfreq", "1.5"), UsageError);
}

}  // namespace
}  // namespace suite
