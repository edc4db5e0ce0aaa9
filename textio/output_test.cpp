#include "textio/output.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "textio/errors.h"

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
  EXPECT_EQ(Line([](FreeLine& l) { l.Add(1.0f).Add(999.0f).Add(" NO_ROOT ").Add(int32_t{4}).Add(0.5f); }),
            "   1.00000000       999.000000      NO_ROOT            4  0.500000000    \n");
  // Adjacent texts are joined without a separator.
  EXPECT_EQ(Line([](FreeLine& l) { l.Add("ab").Add("cd").Add(int32_t{1}).Add("ef"); }), " abcd           1 ef\n");
  EXPECT_EQ(Line([](FreeLine& l) { l.Add(1.5).Add(-2.0); }), "   1.5000000000000000       -2.0000000000000000     \n");
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

TEST(OutputTest, AFailedWriteNamesTheFile) {
  std::ofstream full("/dev/full");
  Output out(full, "rms.d");
  out.Line("x");
  try {
    out.Flush();
    ADD_FAILURE() << "no error";
  } catch (const WriteError& e) {
    EXPECT_STREQ(e.what(), "cannot write the output file \"rms.d\"");
  }
}

}  // namespace
}  // namespace textio
