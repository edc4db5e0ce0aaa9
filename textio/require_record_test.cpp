#include <sstream>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "textio/errors.h"
#include "textio/free_reader.h"
#include "textio/require.h"

namespace textio {
namespace {

// A record read with RequireRecord holds what a Read into zeroed variables
// holds: every value given, and 0 for those a slash or a null value leaves
// unread; each record starts on a new line.
TEST(RequireRecordTest, ValuesOfEachTypeAndZeroWhereTheRecordEndsEarly) {
  std::istringstream in("7 2.5 0.125 tail\n3 /\n,, 4\n-1\n");
  FreeReader reader(in);
  EXPECT_EQ((RequireRecord<int32_t, float, double>(reader, "first")), std::make_tuple(7, 2.5f, 0.125));
  EXPECT_EQ((RequireRecord<int32_t, float, double>(reader, "slash")), std::make_tuple(3, 0.0f, 0.0));
  EXPECT_EQ((RequireRecord<int32_t, float, double>(reader, "nulls")), std::make_tuple(0, 0.0f, 4.0));
  EXPECT_EQ(RequireValue<int32_t>(reader, "one value"), -1);
}

// A record that cannot be read stops as Require does, with the same text
// naming the record.
TEST(RequireRecordTest, AnUnreadableOrMissingRecordThrowsRequiresMessage) {
  for (const std::string text : {"x 1\n", "1.5\n", ""}) {
    std::istringstream in(text), again(text);
    FreeReader reader(in), reference(again);
    int32_t first = 0;
    float second = 0.0f;
    const std::string expected = DescribeFailure(reference.Read({first, second}), "the record (n, x)");
    try {
      RequireRecord<int32_t, float>(reader, "the record (n, x)");
      ADD_FAILURE() << "no stop on '" << text << "'";
    } catch (const InputError& e) {
      EXPECT_EQ(e.what(), expected) << text;
    }
  }
}

}  // namespace
}  // namespace textio
