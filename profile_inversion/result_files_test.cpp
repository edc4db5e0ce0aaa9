#include "profile_inversion/result_files.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "profile_inversion/inversion.h"
#include "profile_inversion/model_file.h"
#include "testsupport/temp_dir.h"
#include "textio/errors.h"
#include "textio/number.h"

namespace circinv {
namespace {

namespace fs = std::filesystem;

// A stand-in forward model: velocities falling from the half-space's
// towards the top layer's with frequency, and no mode above 12 Hz when
// the top layer is slower than 120 m/s.
void ToyForward(const LayeredModel& m, std::span<const double> f, std::span<double> c) {
  for (size_t i = 0; i < f.size(); ++i) {
    const double w = std::exp(-f[i] * m.layers[0].thickness / 40);
    c[i] = (f[i] > 12 && m.layers[0].vs < 120) ? NAN : m.layers[0].vs * (1 - w) + m.half_space().vs * w;
  }
}

InversionResult SmallInversion() {
  ObservedCurve curve{Wave::kRayleigh, {2, 5, 10, 15, 20}, {380, 300, 220, 190, 180}, {10, 10, 8, 6, 6}};
  ObservedCurve love{Wave::kLove, {3, 8}, {400, 260}, {12, 10}};
  const ParameterSpace space = DefaultParameterSpace(std::vector{curve, love}, 2);
  InversionSettings settings;
  settings.search.models = 400;
  settings.search.chains = 1;
  settings.depth_points = 11;
  return Invert({curve, love}, {ToyForward, ToyForward}, space, settings);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The numbers of a line, which must all be readable.
std::vector<double> Numbers(const std::string& line) {
  std::vector<double> values;
  std::istringstream in(line);
  for (std::string token; in >> token;) {
    double v;
    EXPECT_TRUE(textio::ParseDouble(token, &v)) << line;
    values.push_back(v);
  }
  return values;
}

class ResultFilesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { result_ = new InversionResult(SmallInversion()); }
  static void TearDownTestSuite() { delete result_; }
  static InversionResult* result_;
  testsupport::TempDir dir_{"circinv_results"};
};
InversionResult* ResultFilesTest::result_ = nullptr;

TEST_F(ResultFilesTest, WritesEveryFileComplete) {
  const fs::path out = dir_.path() / "run1";
  WriteResults(out, *result_);
  EXPECT_EQ(dir_.Files(), std::vector<std::string>{"run1"});  // no temporary left beside it
  const Appraisal& a = result_->appraisal;

  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(out)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"best_model.txt", "ensemble.txt", "fit.txt", "profile.txt"}));

  // The best model reads back exactly through the model-file reader.
  std::istringstream model_text(testsupport::ReadFile(out / "best_model.txt"));
  const LayeredModel best = ReadModel(model_text, "best_model.txt");
  ASSERT_EQ(best.layers.size(), a.best_model.layers.size());
  for (size_t i = 0; i < best.layers.size(); ++i) {
    EXPECT_EQ(best.layers[i].thickness, a.best_model.layers[i].thickness);
    EXPECT_EQ(best.layers[i].vp, a.best_model.layers[i].vp);
    EXPECT_EQ(best.layers[i].vs, a.best_model.layers[i].vs);
    EXPECT_EQ(best.layers[i].density, a.best_model.layers[i].density);
  }

  const std::vector<std::string> profile = Lines(testsupport::ReadFile(out / "profile.txt"));
  ASSERT_EQ(profile.size(), 4u + 11u);
  EXPECT_EQ(profile[3], "# depth vs_p10 vs_p50 vs_p90 vs_best");
  const std::vector<double> last = Numbers(profile.back());
  ASSERT_EQ(last.size(), 5u);
  EXPECT_EQ(last[0], a.constrained_depth);
  EXPECT_EQ(last[2], a.vs.back().p50);  // read back exactly

  const std::vector<std::string> ensemble = Lines(testsupport::ReadFile(out / "ensemble.txt"));
  const auto tried = static_cast<size_t>(result_->search.size());
  ASSERT_EQ(ensemble.size(), 2u + tried);
  EXPECT_EQ(ensemble[1],
            "# misfit search thickness_1 vp_1 vs_1 density_1 thickness_2 vp_2 vs_2 density_2 vp_3 vs_3 density_3");
  for (size_t m = 0; m < tried; ++m) {
    const std::vector<double> row = Numbers(ensemble[2 + m]);
    ASSERT_EQ(row.size(), 13u);
    ASSERT_EQ(row[0], result_->search.misfits[m]);
    ASSERT_EQ(row[1], static_cast<int64_t>(m) < result_->searched ? 1 : 0);
    const LayeredModel model = result_->parameterisation.ModelAt(result_->search.point(static_cast<int64_t>(m)));
    ASSERT_EQ(row[4], model.layers[0].vs);
    ASSERT_EQ(row[10], model.layers[2].vp);
  }

  const std::vector<std::string> fit = Lines(testsupport::ReadFile(out / "fit.txt"));
  ASSERT_EQ(fit.size(), 2u + 1u + 5u + 1u + 1u + 2u);
  EXPECT_EQ(fit[2], "# rayleigh");
  EXPECT_EQ(fit[8], "");
  EXPECT_EQ(fit[9], "# love");
  const std::vector<double> row = Numbers(fit[10]);
  ASSERT_EQ(row.size(), 7u);
  EXPECT_EQ(row[0], 3);
  EXPECT_EQ(row[1], 400);
  EXPECT_EQ(row[2], 12);
  EXPECT_EQ(row[3], a.fit[1].best[0]);
}

TEST_F(ResultFilesTest, ReplacesOnlyAnEmptyDirectory) {
  const fs::path out = dir_.path() / "run";
  fs::create_directory(out);
  WriteResults(out, *result_);  // empty: replaced
  const std::string first = testsupport::ReadFile(out / "profile.txt");
  EXPECT_FALSE(first.empty());
  try {
    WriteResults(out, *result_, "my run");
    ADD_FAILURE() << "a full directory was overwritten";
  } catch (const textio::RuntimeError& e) {
    EXPECT_STREQ(e.what(), "the result directory \"my run\" exists and is not empty");
  }
  EXPECT_EQ(testsupport::ReadFile(out / "profile.txt"), first);
  dir_.Write("plain", "x");
  EXPECT_THROW(WriteResults(dir_.path() / "plain", *result_), textio::RuntimeError);
  EXPECT_EQ(dir_.Read("plain"), "x");
  // A parent that does not exist: nothing is made.
  EXPECT_THROW(WriteResults(dir_.path() / "missing" / "run", *result_), textio::RuntimeError);
  EXPECT_EQ(dir_.Files(), (std::vector<std::string>{"plain", "run"}));
}

// "run/" as a shell's completion gives it: the directory "run", made or
// replaced when empty, with its temporary beside it, not inside it.
TEST_F(ResultFilesTest, ATrailingSeparatorNamesTheSameDirectory) {
  WriteResults(dir_.path() / "made/", *result_);
  fs::create_directory(dir_.path() / "empty");
  WriteResults((dir_.path() / "empty").string() + "//", *result_);
  EXPECT_EQ(dir_.Files(), (std::vector<std::string>{"empty", "made"}));
  for (const char* name : {"made", "empty"}) {
    EXPECT_FALSE(testsupport::ReadFile(dir_.path() / name / "fit.txt").empty()) << name;
  }
}

}  // namespace
}  // namespace circinv
