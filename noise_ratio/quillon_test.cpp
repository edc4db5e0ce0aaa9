#include "noise_ratio/quillon.h"
#include "suite/programs.h"

#include <cmath>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "core/fzero.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

using testsupport::ReadFile;

// The root eps of the plain coherence model, a quadratic in u = 1 + eps:
//   coh = rho^2 u / (rho^2 u^2 + (u - 1) / nsta).
double PlainRoot(double coh, double rho, double nsta) {
  const double a = coh * rho * rho, b = coh / nsta - rho * rho, c = -coh / nsta;
  return (-b + std::sqrt(b * b - 4 * a * c)) / (2 * a) - 1.0;
}

// Each test runs in a directory of its own, where fort.7 is written.
class QuillonTest : public ::testing::Test {
 protected:
  int Run(const std::string& input) {
    testsupport::RunOptions options;
    options.directory = fort7_.parent_path();
    const testsupport::Outcome o = testsupport::RunInProcess(kProgram, input, options);
    out_ = o.out;
    err_ = o.err;
    return o.status;
  }

  const testsupport::TempDir dir_{"quillon_test"};
  fs::path fort7_ = dir_.path() / "fort.7";
  std::string out_;
  std::string err_;
};

// One record per case: four stations, radius 3, frequency 2.
TEST_F(QuillonTest, ColumnsByOutcomeOfEachSearch) {
  struct Case {
    const char* coh_rho;
    const char* line;   // standard output
    const char* fort7;  // "" for no line
  };
  const Case cases[] = {
      // coh = rho = 0.5: plain root (sqrt(5) - 1) / 2; with the excess term
      // eps = 0 is an exact zero (status 2), shown as a root.
      {"0.5 2 0.5", "  0.2000000E+01  0.6180339E+00  0.0000000E+00  0.2500000E+00",
       "  0.2000000E+01  0.3551995E+02  0.5919991E+01  0.1061350E+01"},
      // First and third searches end on exact zeros: a root, a resolution
      // limit, and its fort.7 line.
      {"0.15 2 0.35", "  0.2000000E+01  0.4031461E+01  0.3487972E+01  0.3258016E+00",
       "  0.2000000E+01  0.3013585E+02  0.5022641E+01  0.1250973E+01"},
      // Second search without a sign change: placeholder, bound still shown,
      // resolution limit still sought.
      {"0.95 2 0.8", "  0.2000000E+01  0.3824309E-01    1234567      0.3368423E-01",
       "  0.2000000E+01  0.9624097E+02  0.1604016E+02  0.3917159E+00"},
      // Neither search finds a root (coh > 1); no resolution limit.
      {"1.5 2 0.95", "  0.2000000E+01    NO ROOT        1234567     -0.3008333E+00", ""},
      {"1.05 2 -0.4", "  0.2000000E+01    NO ROOT      0.0000000E+00 -0.7619048E-02", ""},
      // A root at 0, but the resolution search finds no sign change.
      {"1 2 -0.3", "  0.2000000E+01  0.0000000E+00  0.0000000E+00 -0.1000000E-07", ""},
  };
  for (const Case& c : cases) {
    fs::remove(fort7_);
    const std::string record = std::string("2 ") + c.coh_rho + " 2 7.5\n";
    ASSERT_EQ(Run("3.0 4\n" + record), 0) << record;
    EXPECT_EQ(out_, std::string(c.line) + "\n") << record;
    EXPECT_EQ(fs::exists(fort7_), *c.fort7 != '\0') << record;
    if (*c.fort7 != '\0') {
      EXPECT_EQ(ReadFile(fort7_), std::string(c.fort7) + "\n") << record;
    }
  }
}

// The exact zeros above really are status 2, and the roots are the model's.
TEST_F(QuillonTest, ExactZerosAreRoots) {
  Observed obs{0.15f, 0.35f, 0.0f, 4};
  const Estimate est = EstimateNoise(obs);
  ASSERT_EQ(est.status0, core::FzeroStatus::kExactZero);
  EXPECT_NEAR(est.nsr0, PlainRoot(0.15f, 0.35f, 4), 1e-6 * est.nsr0);
  EXPECT_EQ(FindResolutionLimit(est.nsr0, obs, 3.0f, 2.0f).status, core::FzeroStatus::kExactZero);

  obs = Observed{0.5f, 0.5f, 0.0f, 4};
  const Estimate worked = EstimateNoise(obs);
  EXPECT_EQ(worked.status0, core::FzeroStatus::kConverged);
  EXPECT_NEAR(worked.nsr0, (std::sqrt(5.0) - 1) / 2, 1e-7);
  EXPECT_EQ(worked.status1, core::FzeroStatus::kExactZero);
  EXPECT_EQ(worked.nsr1, 0.0f);
  const ResolutionLimit limit = FindResolutionLimit(worked.nsr0, obs, 1.0f, 1.0f);
  EXPECT_NEAR(limit.rkmin, 1.06135, 1e-5);
  EXPECT_EQ(limit.wavelength, 6.2831855f / limit.rkmin);
  EXPECT_EQ(limit.velocity, limit.wavelength);  // radius * frequency = 1
  // The velocity multiplies radius by frequency first; here the other
  // order would round differently.
  const float w = limit.wavelength;
  ASSERT_NE(w * (0.7f * 3.3f), (w * 0.7f) * 3.3f);
  EXPECT_EQ(FindResolutionLimit(worked.nsr0, obs, 0.7f, 3.3f).velocity, w * (0.7f * 3.3f));

  for (core::FzeroStatus s :
       {core::FzeroStatus::kSingular, core::FzeroStatus::kNoSignChange, core::FzeroStatus::kTooManyEvaluations}) {
    EXPECT_FALSE(core::Found(s)) << static_cast<int>(s);
  }
}

TEST_F(QuillonTest, FrequenciesMustAgree) {
  const std::pair<const char*, const char*> cases[] = {
      {"10 .5 10.0 .5 10.00 0\n", "  0.1000000E+02  0.6180339E+00  0.0000000E+00  0.2500000E+00\n"},
      {"10 .5 9 .5 10 0\n", " ERROR: inconcistent frequency !   10.0000000       9.00000000       10.0000000    \n"},
      {"nan .5 nan .5 nan 0\n",
       " ERROR: inconcistent frequency !              NaN              NaN              NaN\n"},
  };
  for (const auto& [record, out] : cases) {
    ASSERT_EQ(Run(std::string("1 4\n") + record), 0) << record;
    EXPECT_EQ(out_, out) << record;
  }
  // The stop comes after the earlier records' lines, in both outputs.
  fs::remove(fort7_);
  ASSERT_EQ(Run("1 4\n2 .5 2 .5 2 0\n3 .5 3 .5 3.5 0\n4 .5 4 .5 4 0\n"), 0);
  EXPECT_EQ(out_.substr(61), " ERROR: inconcistent frequency !   3.00000000       3.00000000       3.50000000    \n");
  EXPECT_EQ(ReadFile(fort7_).size(), 61u);
}

TEST_F(QuillonTest, DataLoopEndsQuietly) {
  const std::pair<const char*, size_t> cases[] = {
      {"", 0},
      {"2 .5 2 .5 2 0\n3 .5 3\n", 61},              // input ends inside a record
      {"2 .5 2 .5 2 0\nbad\n3 .5 3 .5 3 0\n", 61},  // an unreadable record
      {"2 .5\n2 .5\n2 0\n", 61},                    // a record over three lines
      {"2 .5 2 .5 2 0\n2 .4 /\n", 122},             // a slash keeps the rest of the last record
  };
  for (const auto& [data, size] : cases) {
    EXPECT_EQ(Run(std::string("1 4\n") + data), 0) << data;
    // Only the unreadable record is worth a word on standard error.
    const bool unreadable = std::string(data).find("bad") != std::string::npos;
    EXPECT_EQ(err_,
              unreadable ? "quillon: standard input line 3: data end at unreadable value 'bad' (1 records read)\n" : "")
        << data;
    EXPECT_EQ(out_.size(), size) << data;
  }
}

TEST_F(QuillonTest, UnreadableFirstRecordIsRuntimeError) {
  const std::string what = "the first record (radius, nsta integer)";
  const std::pair<const char*, std::string> cases[] = {
      {"", "quillon: input ended while reading " + what + "\n"},
      {"1.0\n", "quillon: input ended after line 1 while reading " + what + "\n"},
      {"1.0 4.5\n2 .5 2 .5 2 0\n", "quillon: line 1: cannot read " + what + ": unreadable value '4.5'\n"},
  };
  for (const auto& [input, err] : cases) {
    EXPECT_EQ(Run(input), 2) << input;
    EXPECT_EQ(out_, "") << input;
    EXPECT_EQ(err_, err) << input;
    EXPECT_FALSE(fs::exists(fort7_)) << input;
  }
}

// fort.7 comes into being with its first line and not before.
TEST_F(QuillonTest, Fort7CreatedOnlyByItsFirstLine) {
  const std::string no_limit = "1 4\n2 1.5 2 0.95 2 0\n";
  ASSERT_EQ(Run("1 4\n"), 0);
  EXPECT_EQ(out_, "");
  EXPECT_FALSE(fs::exists(fort7_));
  ASSERT_EQ(Run(no_limit), 0);
  EXPECT_FALSE(fs::exists(fort7_));

  // An existing file that is not needed is left exactly as it was ...
  dir_.Write("fort.7", "earlier run\n");
  const auto stamp = fs::last_write_time(fort7_);
  ASSERT_EQ(Run(no_limit), 0);
  EXPECT_EQ(ReadFile(fort7_), "earlier run\n");
  EXPECT_EQ(fs::last_write_time(fort7_), stamp);

  // ... and one that is needed is rewritten from its start.
  dir_.Write("fort.7", std::string(500, 'x') + "\n");
  ASSERT_EQ(Run("1 4\n2 0.5 2 0.5 2 0\n"), 0);
  EXPECT_EQ(ReadFile(fort7_), "  0.2000000E+01  0.1183998E+02  0.5919991E+01  0.1061350E+01\n");

  // A file that cannot be created matters only once a line is due.
  fort7_ = dir_.path() / "missing" / "fort.7";
  EXPECT_EQ(Run(no_limit), 0);
  EXPECT_EQ(Run("1 4\n2 0.5 2 0.5 2 0\n3 0.5 3 0.5 3 0\n"), 2);
  EXPECT_EQ(out_, "  0.2000000E+01  0.6180339E+00  0.0000000E+00  0.2500000E+00\n");
  EXPECT_EQ(err_, "quillon: cannot create the output file \"fort.7\"\n");
}

// Two records, each with a resolution limit for fort.7.
constexpr char kTwoLimits[] =
    "3.0 4\n"
    "2 0.5 2 0.5 2 7.5\n"
    "3 0.15 3 0.35 3 0\n";

// fort.7 on a full device (a link to /dev/full in its place) is a write
// failure naming it, whatever standard output held.
TEST_F(QuillonTest, Fort7OnAFullDevice) {
  ASSERT_EQ(Run(kTwoLimits), 0);
  ASSERT_EQ(testsupport::Lines(ReadFile(fort7_)).size(), 2u);
  const std::string normal_out = out_;

  fs::remove(fort7_);
  fs::create_symlink("/dev/full", fort7_);
  EXPECT_EQ(Run(kTwoLimits), 2);
  EXPECT_EQ(err_, "quillon: cannot write the output file \"fort.7\"\n");
  EXPECT_TRUE(testsupport::IsOneDiagnosticLine(err_, "quillon")) << err_;
  EXPECT_EQ(out_, normal_out);  // standard output is complete all the same

  // A message stop whose fort.7 lines cannot be written is a failure too.
  EXPECT_EQ(Run(std::string(kTwoLimits) + "6 .5 7 .5 6 0\n"), 2);
  EXPECT_EQ(err_, "quillon: cannot write the output file \"fort.7\"\n");
  EXPECT_TRUE(testsupport::IsOneDiagnosticLine(err_, "quillon")) << err_;
}

// A run directory that does not exist: fort.7 cannot be created, and the
// line of the record that needed it is already out.
TEST_F(QuillonTest, Fort7ThatCannotBeCreated) {
  ASSERT_EQ(Run(kTwoLimits), 0);
  const std::string first_line = testsupport::Lines(out_).at(0) + "\n";

  fort7_ = dir_.path() / "no such dir" / "fort.7";
  EXPECT_EQ(Run(kTwoLimits), 2);
  EXPECT_EQ(err_, "quillon: cannot create the output file \"fort.7\"\n");
  EXPECT_TRUE(testsupport::IsOneDiagnosticLine(err_, "quillon")) << err_;
  EXPECT_EQ(out_, first_line);
}

}  // namespace
}  // namespace quillon
