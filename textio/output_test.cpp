#include "textio/output.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "textio/errors.h"
#include "textio/program.h"

namespace textio {
namespace {

std::string Line(const std::function<void(FreeLine&)>& build) {
  std::string s;
  FreeLine line(&s);
  build(line);
  line.End();
  return s;
}

TEST(FreeLineTest, ListDirectedLayout) {
  EXPECT_EQ(Line([](FreeLine& l) { l.Add(1.0f); }), "   1.00000000    \n");
  EXPECT_EQ(Line([](FreeLine& l) { l.Add("ERROR: no list of itype ").Add(int32_t{6}); }),
            " ERROR: no list of itype            6\n");
  EXPECT_EQ(Line([](FreeLine& l) {
              l.Add(1.0f).Add(999.0f).Add(" NO_ROOT ").Add(int32_t{4}).Add(0.5f);
            }),
            "   1.00000000       999.000000      NO_ROOT            4  0.500000000    \n");
  // Adjacent texts are joined without a separator.
  EXPECT_EQ(Line([](FreeLine& l) { l.Add("ab").Add("cd").Add(int32_t{1}).Add("ef"); }),
            " abcd           1 ef\n");
  EXPECT_EQ(Line([](FreeLine& l) { l.Add(1.5).Add(-2.0); }),
            "   1.5000000000000000       -2.0000000000000000     \n");
}

TEST(OutputTest, BuffersAndFlushes) {
  std::ostringstream os;
  {
    Output out(os);
    for (int i = 0; i < 20000; ++i) out.Line("0123456789");
    out.Flush();
    EXPECT_EQ(os.str().size(), 20000u * 11);
    out.Write("tail");
  }
  EXPECT_EQ(os.str().size(), 20000u * 11 + 4);  // the destructor flushes too
}

TEST(OutputTest, FailedWriteThrows) {
  std::ofstream full("/dev/full");
  ASSERT_TRUE(full.is_open());
  Output out(full);
  out.Line("x");
  EXPECT_THROW(out.Flush(), WriteError);
}

TEST(RunProgramTest, EndingsMapToStatuses) {
  struct Case {
    std::function<void(Output&)> body;
    int status;
    const char* out;
    const char* err;
  };
  const Case cases[] = {
      {[](Output& o) { o.Line("a"); }, 0, "a\n", ""},
      {[](Output& o) {
         o.Line("a");
         throw Stop(" MESSAGE\n");
       },
       0, "a\n MESSAGE\n", ""},
      {[](Output& o) {
         o.Line("a");
         throw InputError("line 2: bad");
       },
       2, "a\n", "prog: line 2: bad\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(RunProgram("prog", out, err, c.body), c.status);
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), c.err);
  }
}

TEST(RunProgramTest, FullDeviceIsAnErrorNotSuccess) {
  std::ofstream full("/dev/full");
  std::ostringstream err;
  int status = RunProgram("prog", full, err, [](Output& o) { o.Line("x"); });
  EXPECT_NE(status, 0);
  EXPECT_EQ(err.str().rfind("prog: cannot write output", 0), 0u) << err.str();
}

}  // namespace
}  // namespace textio
