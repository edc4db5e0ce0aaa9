#include "textio/program.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testsupport/run_program.h"

namespace textio {
namespace {

int Echo(std::istream& in, std::ostream& out, std::ostream&) {
  std::string s;
  in >> s;
  out << "ran:" << s;
  return 7;
}

constexpr ProgramInfo kInfo{"prog", "Usage: prog < input\n", "the first record"};

using testsupport::Outcome;

Outcome Call(std::vector<std::string_view> args, bool interactive) {
  std::istringstream in("data");
  std::ostringstream out, err;
  int status = Dispatch(args, kInfo, Echo, in, out, err, interactive);
  return {status, out.str(), err.str()};
}

TEST(DispatchTest, ArgumentsAreForPeopleOnly) {
  Outcome o = Call({}, false);
  EXPECT_EQ(o.status, 7);  // the program's own status
  EXPECT_EQ(o.out, "ran:data");
  EXPECT_EQ(o.err, "");  // nothing extra when input is a pipe or a file

  o = Call({}, true);
  EXPECT_EQ(o.out, "ran:data");
  EXPECT_EQ(o.err, "prog: reading the first record from standard input (end with Ctrl-D; 'prog --help' explains the layout)\n");

  for (std::string_view flag : {"--help", "-h"}) {
    o = Call({flag}, true);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "Usage: prog < input\n");
    EXPECT_EQ(o.err, "");
  }

  o = Call({"--version"}, false);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "prog (circarray) " + std::string(SuiteVersion()) + "\n");

  for (std::vector<std::string_view> bad : {std::vector<std::string_view>{"-x"}, {"input.txt"}, {"--help", "extra"}}) {
    o = Call(bad, false);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");  // the program did not run
    EXPECT_EQ(o.err.rfind("prog: unexpected argument '" + std::string(bad[0]) + "'", 0), 0u) << o.err;
  }
}

}  // namespace
}  // namespace textio
