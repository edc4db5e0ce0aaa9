#include "textio/fields.h"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace textio {
namespace {

TEST(SplitFieldsTest, RunsBetweenSeparatorsWithoutEmptyFields) {
  using Fields = std::vector<std::string_view>;
  const struct {
    std::string_view line;
    std::string_view separators;
    Fields fields;
  } cases[] = {
      {"1.5 682.1 34.1", " ", {"1.5", "682.1", "34.1"}},
      {"  lead and trail  ", " ", {"lead", "and", "trail"}},
      {"a,,b\t, c", " \t,", {"a", "b", "c"}},  // runs of mixed separators
      {"one", " \t,", {"one"}},
      {"", " ", {}},
      {" \t, ", " \t,", {}},
      {"a b", "", {"a b"}},     // no separators: the line is one field
      {"x\r", " \t", {"x\r"}},  // only the separators named
      {std::string_view("a\0b c", 5), " ", {std::string_view("a\0b", 3), "c"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitFields(c.line, c.separators), c.fields) << "'" << c.line << "'";
  }
}

TEST(SplitFieldsTest, FieldsPointIntoTheLine) {
  const std::string line = "  12 34";
  const std::vector<std::string_view> fields = SplitFields(line, " ");
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0].data(), line.data() + 2);
  EXPECT_EQ(fields[1].data(), line.data() + 5);
}

}  // namespace
}  // namespace textio
