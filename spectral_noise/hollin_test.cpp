#include "suite/programs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/run_program.h"

namespace hollin {
namespace {

// One record in text, one group (abscissa, Re, Im, fourth) per line; `re`
// lists the real parts of G0, G1, ...; imaginary parts are 0.
std::string Record(const std::string& freq, const std::vector<std::string>& re) {
  std::string text;
  for (size_t g = 0; g < re.size(); ++g) text += (g == 0 ? freq : "9") + " " + re[g] + " 0 5\n";
  return text;
}

const std::vector<std::string> kMode1 = {"1", "1", "0.5", "1", "1", "0.1", "1"};
const std::vector<std::string> kMode2 = {"1", "1", "0.25", "1",    "0.5", "0.05", "0.5", "1",
                                         "0", "1", "1",    "0.25", "0.5", "0.5",  "0.05"};
const std::string kLine1 = "   1.00000000       5.26315793E-02\n";  // 0.1 / 1.9 at frequency 1
const std::string kLine3 = "   3.00000000       5.26315793E-02\n";

std::vector<std::string> With(std::vector<std::string> re, size_t g, const std::string& value) {
  re[g] = value;
  return re;
}

// Status 2 comes with one "hollin: " line on standard error.
TEST(HollinTest, OutputRuleMessagesAndErrors) {
  const std::string good1 = "1 2\n" + Record("1", kMode1), good3 = Record("3", kMode1);
  struct Case {
    const char* what;
    std::string input, out;
    int status;
  } cases[] = {
      {"mode 1 example", "1 2\n" + Record("0.75", kMode1), "  0.750000000       5.26315793E-02\n", 0},
      {"mode 2 example", "2 4\n" + Record("0.75", kMode2), "  0.750000000       5.26315793E-02\n", 0},
      // A skipped record between two good ones: processing goes on.
      {"epsilon 0", good1 + Record("2", std::vector<std::string>(7, "1")) + good3, kLine1 + kLine3, 0},
      {"zero divisor G1", good1 + Record("2", With(kMode1, 1, "0")) + good3, kLine1 + kLine3, 0},
      {"negative epsilon", good1 + Record("2", With(kMode1, 5, "-0.5")) + good3, kLine1 + kLine3, 0},
      {"NaN epsilon", good1 + Record("2", With(kMode1, 2, "NaN")) + good3, kLine1 + kLine3, 0},
      {"partial record ends quietly", good1 + "7 1 0 0 7 1 0\n", kLine1, 0},
      {"unreadable value ends quietly", good1 + "7 1 0 0 7 oops 0 0\n" + good3, kLine1, 0},
      {"mode 3 refused", "3 2\n" + Record("1", kMode1), " ERROR: no equation for mode            3\n", 0},
      {"mode 0 refused", "0 2\n", " ERROR: no equation for mode            0\n", 0},
      {"no first record", "", "", 2},
      {"nsta not an integer", "1 2.5\n", "", 2},
  };
  for (const Case& c : cases) {
    const testsupport::Outcome r = testsupport::RunInProcess(kProgram, c.input);
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_EQ(r.out, c.out) << c.what;
    // A run that ends normally writes nothing on standard error, except the
    // one warning of a data loop that stopped at an unreadable value.
    const bool warns = std::string(c.what) == "unreadable value ends quietly";
    EXPECT_TRUE(c.status || warns ? testsupport::IsOneDiagnosticLine(r.err, "hollin") : r.err.empty())
        << c.what << ": " << r.err;
    if (warns) {
      EXPECT_NE(r.err.find("data end at unreadable value 'oops'"), std::string::npos) << r.err;
    }
  }
}

}  // namespace
}  // namespace hollin
