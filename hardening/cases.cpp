#include "hardening/cases.h"

namespace hardening {

namespace {

// The list, built by the registration objects during static
// initialisation: a function-local static exists before its first use
// whatever order the objects are initialised in.
std::vector<ProgramCase>& Registry() {
  static std::vector<ProgramCase> cases;
  return cases;
}

}  // namespace

bool RegisterCase(ProgramCase c) {
  Registry().push_back(std::move(c));
  return true;
}

const std::vector<ProgramCase>& AllCases() { return Registry(); }

void ExpectCleanEnd(const ProgramCase& c, const testsupport::Outcome& o) {
  if (o.status == 0) {
    EXPECT_EQ(o.err, "");
  } else {
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(o.err, c.program.name)) << o.err;
  }
}

void PlaceFiles(const ProgramCase& c, const testsupport::TempDir& dir) {
  for (const auto& [name, text] : c.files) dir.Write(name, text);
}

testsupport::Outcome RunIn(const testsupport::TempDir& dir, const ProgramCase& c, std::string_view input,
                           size_t stdout_limit) {
  testsupport::RunOptions options;
  options.directory = dir.path();
  options.stdout_limit = stdout_limit;
  return testsupport::RunInProcess(c.program, input, options);
}

std::string ColumnFile(int samples) {
  std::string text;
  for (int i = 0; i < samples; ++i) {
    text += std::to_string(i * 0.01) + " " + std::to_string((i * 7) % 13 - 6.5) + " " +
            std::to_string((i * 5) % 11 - 5.25) + " " + std::to_string((i * 3) % 7 - 3.125) + "\n";
  }
  return text;
}

}  // namespace hardening
