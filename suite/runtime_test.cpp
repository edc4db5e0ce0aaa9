#include "suite/runtime.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bessel.h"
#include "suite/stop.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"
#include "textio/errors.h"

namespace suite {
namespace {

using testsupport::Outcome;
using testsupport::RunInProcess;
using testsupport::RunOptions;

void Echo(Context& context) {
  std::string s;
  context.in() >> s;
  context.out().Write("ran:" + s);
}

constexpr Program kEcho{"prog", "Usage: prog < input\n", "the first record", Echo};

Outcome Call(std::vector<std::string> args, bool interactive) {
  RunOptions options;
  options.args = std::move(args);
  options.stdin_is_terminal = interactive;
  return RunInProcess(kEcho, "data", options);
}

TEST(InvokeTest, FilterArgumentsAreForPeopleOnly) {
  Outcome o = Call({}, false);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "ran:data");
  EXPECT_EQ(o.err, "");  // nothing extra when input is a pipe or a file

  o = Call({}, true);
  EXPECT_EQ(o.out, "ran:data");
  EXPECT_EQ(
      o.err,
      "prog: reading the first record from standard input (end with Ctrl-D; 'prog --help' explains the layout)\n");

  for (const char* flag : {"--help", "-h"}) {
    o = Call({flag}, true);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "Usage: prog < input\n");
    EXPECT_EQ(o.err, "");
  }

  o = Call({"--version"}, false);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "prog (circarray) " + std::string(Version()) + "\n");

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"-x"}, {"input.txt"}, {"--help", "extra"}}) {
    o = Call(bad, false);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");  // the program did not run
    EXPECT_EQ(o.err.rfind("prog: unexpected argument '" + bad[0] + "'", 0), 0u) << o.err;
  }
}

void ShowArgs(Context& context) {
  for (const std::string& a : context.args()) context.out().Line(a);
}

constexpr Program kTool{"tool", "Usage: tool [options] FILE\n", "", ShowArgs, Arguments::kOptions};

TEST(InvokeTest, ToolsGetTheirArgumentsButNotHelpOrVersion) {
  RunOptions options;
  options.args = {"--window", "3", "layout.txt"};
  Outcome o = RunInProcess(kTool, "", options);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "--window\n3\nlayout.txt\n");

  for (const char* help : {"--help", "-h"}) {
    options.args = {"layout.txt", help};
    o = RunInProcess(kTool, "", options);
    EXPECT_EQ(o.out, "Usage: tool [options] FILE\n") << help;
  }

  options.args = {"--", "--version"};  // an operand after "--"
  o = RunInProcess(kTool, "", options);
  EXPECT_EQ(o.out, "--\n--version\n");
}

// Each way a run can end, with the files it opened: the status, what
// standard output and standard error hold, and what the files hold.
TEST(ExecuteTest, EveryEndingClosesTheFilesAndMapsToItsStatus) {
  struct Case {
    const char* what;
    void (*run)(Context&);
    int status;
    std::string out;
    std::string err;
    std::string file;  // contents of "result.d"; "-" if absent
  };
  const Case cases[] = {
      {"normal end",
       [](Context& c) {
         c.out().Line("a");
         c.CreateOutput("result.d").Line("r");
       },
       0, "a\n", "", "r\n"},
      {"message stop",
       [](Context& c) {
         c.out().Line("a");
         c.OutputOnFirstLine("result.d").Line("r");
         suite::StopWith("ERROR: no list of itype ", int32_t{6});
       },
       0, "a\n ERROR: no list of itype            6\n", "", "r\n"},
      {"Bessel refusal",
       [](Context& c) {
         c.OutputOnFirstLine("result.d").Line("r");
         throw core::BesselRefusal(0, 3);
       },
       0, " Error:nz or ierr in cbesj()           0           3\n", "", "r\n"},
      {"run-time error",
       [](Context& c) {
         c.out().Line("a");
         c.CreateOutput("result.d").Line("r");
         throw textio::InputError("line 2: bad");
       },
       2, "a\n", "prog: line 2: bad\n", "r\n"},
      {"file never written", [](Context& c) { c.OutputOnFirstLine("result.d"); }, 0, "", "", "-"},
      {"missing input", [](Context& c) { c.OpenInput("none.d"); }, 2, "",
       "prog: cannot open the input file \"none.d\"\n", "-"},
      {"directory as input", [](Context& c) { c.OpenInput("."); }, 2, "", "prog: cannot open the input file \".\"\n",
       "-"},
      {"output that cannot be created", [](Context& c) { c.CreateOutput("no/such/dir"); }, 2, "",
       "prog: cannot create the output file \"no/such/dir\"\n", "-"},
      {"first line of a file that cannot be created", [](Context& c) { c.OutputOnFirstLine("no/such/dir").Line("x"); },
       2, "", "prog: cannot create the output file \"no/such/dir\"\n", "-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::TempDir dir("suite_execute");
    RunOptions options;
    options.directory = dir.path();
    const Program program{"prog", "", "", c.run};
    const Outcome o = RunInProcess(program, "", options);
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(o.out, c.out);
    EXPECT_EQ(o.err, c.err);
    const bool exists = std::filesystem::exists(dir.path() / "result.d");
    EXPECT_EQ(exists ? dir.Read("result.d") : "-", c.file);
  }
}

// Output that cannot be written, on standard output or in a file, is a
// failure naming where, even when the run itself ended with a message.
TEST(ExecuteTest, WriteFailuresAreNeverSuccess) {
  const Program to_stdout{"prog", "", "", [](Context& c) { c.out().Line("x"); }};
  RunOptions full;
  full.stdout_limit = 1;
  Outcome o = RunInProcess(to_stdout, "", full);
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "prog: cannot write output: write failed\n");
  EXPECT_EQ(o.out, "x");

  testsupport::TempDir dir("suite_full_file");
  std::filesystem::create_symlink("/dev/full", dir.path() / "full.d");
  RunOptions here;
  here.directory = dir.path();
  for (void (*run)(Context&) : {+[](Context& c) { c.CreateOutput("full.d").Line("x"); },
                                +[](Context& c) {
                                  c.OutputOnFirstLine("full.d").Line("x");
                                  suite::StopWith("ERROR: stop");
                                }}) {
    o = RunInProcess(Program{"prog", "", "", run}, "", here);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "prog: cannot write the output file \"full.d\"\n");
  }
}

// A message line is one free-format line of its items; counts beyond 32
// bits turn into reals rather than wrapping.
TEST(MessageLineTest, ItemsAsFreeLineWritesThem) {
  EXPECT_EQ(MessageLine("ERROR: no list of itype ", int32_t{6}), " ERROR: no list of itype            6\n");
  EXPECT_EQ(MessageLine("n:", textio::Count{5.0}), " n:           5\n");
  EXPECT_EQ(MessageLine("n:", textio::Count{3e9}), " n:   3000000000.0000000     \n");
  try {
    StopWith("ERROR:radius.le.radius2:", 1.0f, 2.0f);
    ADD_FAILURE() << "no stop";
  } catch (const Stop& stop) {
    EXPECT_EQ(stop.text(), " ERROR:radius.le.radius2:   1.00000000       2.00000000    \n");
    EXPECT_EQ(stop.status(), 0);
  }
}

}  // namespace
}  // namespace suite
