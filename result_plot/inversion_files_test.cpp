// circinv's result directory as circplot reads it: the files, the
// acceptable ensemble against circinv's own appraisal, the refusals.
#include "result_plot/inversion_files.h"

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "result_plot/panels.h"
#include "testsupport/plot_inputs.h"
#include "testsupport/temp_dir.h"
#include "testsupport/test_context.h"
#include "textio/errors.h"

namespace circplot {
namespace {

using testsupport::TempDir;

std::vector<std::pair<double, double>> Xy(const std::vector<Point>& points) {
  std::vector<std::pair<double, double>> xy;
  for (const Point& p : points) xy.emplace_back(p.f, p.v);
  return xy;
}

TEST(InversionFilesTest, ReadsTheDirectoryThroughTheContext) {
  TempDir dir("circplot_inversion_dir");
  testing::WriteInversionFiles(dir, "run1");
  testsupport::TestContext context(dir.path());
  ASSERT_TRUE(IsInversionDirectory(context, "run1"));
  const InversionRun run = ReadInversionRun(context, "run1");
  EXPECT_EQ(Xy(run.p50), (std::vector<std::pair<double, double>>{{160, 0}, {250, 10}, {475, 20}}));
  EXPECT_EQ(run.max_depth, 20);
  EXPECT_THAT(run.vs30, ::testing::StartsWith("Vs30 (m/s): p10 251.25"));
  ASSERT_TRUE(run.best.has_value());
  EXPECT_EQ(run.best->thickness, (std::vector<double>{5, 10}));
  EXPECT_EQ(run.best->vs, (std::vector<double>{150, 250, 500}));
  // Misfits 3.5 0.5 1.2 0.9 2.0: misfit <= 1 holds for two, at least
  // ceil(5 % of 5) = 1, so those two make the ensemble, best first.
  EXPECT_TRUE(run.has_ensemble);
  EXPECT_EQ(run.models, 5);
  EXPECT_EQ(run.acceptable, 2);
  EXPECT_TRUE(run.misfit_rule);
  ASSERT_EQ(run.ensemble.size(), 2u);
  EXPECT_EQ(run.ensemble[0].misfit, 0.5);
  EXPECT_EQ(run.ensemble[1].vs, (std::vector<double>{170, 240, 480}));
  EXPECT_EQ(run.best_misfit, 0.5);
  ASSERT_EQ(run.fits.size(), 1u);
  const InversionRun::Fit& fit = run.fits[0];
  EXPECT_EQ(fit.wave, "rayleigh");
  ASSERT_EQ(fit.observed.size(), 4u);
  EXPECT_EQ(fit.observed[2].se, 8);
  // The best model has no mode at 10 Hz: its line breaks there.
  ASSERT_EQ(fit.best.size(), 3u);
  EXPECT_TRUE(fit.best[2].gap_before);
  EXPECT_FALSE(fit.best[1].gap_before);
  EXPECT_EQ(fit.band[2].upper, 202);

  // Without the optional files: the profile and the fit alone.
  std::filesystem::remove(dir.path() / "run1" / "ensemble.txt");
  std::filesystem::remove(dir.path() / "run1" / "best_model.txt");
  const InversionRun bare = ReadInversionRun(context, "run1/");
  EXPECT_FALSE(bare.has_ensemble);
  EXPECT_FALSE(bare.best.has_value());
  EXPECT_EQ(bare.best_vs.size(), 3u);

  std::filesystem::remove(dir.path() / "run1" / "fit.txt");
  EXPECT_FALSE(IsInversionDirectory(context, "run1"));
}

TEST(InversionFilesTest, OfManyAcceptableModelsTheBestThousandAreKept) {
  TempDir dir("circplot_inversion_many");
  testing::WriteInversionFiles(dir, "run");
  std::string ensemble = "# misfit thickness_1 vp_1 vs_1 density_1 vp_2 vs_2 density_2\n";
  for (int m = 0; m < 1800; ++m) {
    // Misfits 0.9995, 0.999, ... down the file; every third model's is 2.
    ensemble += (m % 3 == 2 ? "2" : std::to_string(1.0 - 0.0005 * (m + 1))) + " 5 400 150 1800 900 400 2000\n";
  }
  dir.Write("run/ensemble.txt", ensemble);
  testsupport::TestContext context(dir.path());
  const InversionRun run = ReadInversionRun(context, "run");
  EXPECT_EQ(run.models, 1800);
  EXPECT_EQ(run.acceptable, 1200);
  ASSERT_EQ(run.ensemble.size(), static_cast<size_t>(kMaxDrawnModels));
  EXPECT_NEAR(run.ensemble.front().misfit, 1.0 - 0.0005 * 1799, 1e-12);
  // The best 1000 of the 1200: the last kept is the 1000th lowest, that of
  // the 201st line number m + 1 = 1, 2, 4, 5, ... not divisible by 3.
  EXPECT_NEAR(run.ensemble.back().misfit, 1.0 - 0.0005 * 301, 1e-12);
  std::vector<std::string> notes;
  EXPECT_EQ(ProfilePanel(run, &notes).curves[0].label, "1200 of 1800 models, misfit <= 1, best 1000 drawn");
}

TEST(InversionFilesTest, TheAcceptableEnsembleFollowsTheAppraisalsRule) {
  struct Case {
    std::vector<double> misfits;
    std::vector<size_t> models;
    bool misfit_rule;
  };
  std::vector<double> forty(40, 3.0);
  forty[7] = 0.9;
  forty[20] = 1.0;
  forty[33] = 0.2;
  std::vector<double> forty_one_fits = forty;
  forty_one_fits[7] = forty_one_fits[20] = 1.5;
  const Case cases[] = {
      // 3 of 40 reach misfit 1, at least ceil(0.05 * 40) = 2: those 3.
      {forty, {33, 7, 20}, true},
      // 1 of 40: too few, the best 2 make the bound, 1.5, and every model
      // within it is acceptable (ties in file order).
      {forty_one_fits, {33, 7, 20}, false},
      // One model, none fits: it alone.
      {{4.0}, {0}, false},
      // Every model fits.
      {{0.3, 0.1, 0.2}, {1, 2, 0}, true},
      // A misfit that is not a number ranks below every number.
      {{std::nan(""), 2.0, std::nan(""), 3.0}, {1}, false},
  };
  for (const Case& c : cases) {
    std::vector<ShearModel> models;
    for (double m : c.misfits) models.push_back({{}, {100}, m});
    const circinv::Ensemble ensemble = AcceptableModels(models);
    EXPECT_EQ(ensemble.models, c.models);
    EXPECT_EQ(ensemble.rule == circinv::EnsembleRule::kMisfitAtMostOne, c.misfit_rule);
  }
  // The rule is decided on the search's models, which come first (search
  // 1): of these 40, none reaches 1, and the best 2 (misfit 2) make the
  // bound. The later models (search 0) join within it: 0.5 and 1.8, not 2.5.
  std::vector<ShearModel> staged;
  for (int m = 0; m < 40; ++m) staged.push_back({{}, {100}, m == 5 || m == 9 ? 2.0 : 3.0});
  for (double m : {0.5, 2.5, 1.8}) staged.push_back({{}, {100}, m, false});
  const circinv::Ensemble ensemble = AcceptableModels(staged);
  EXPECT_EQ(ensemble.rule, circinv::EnsembleRule::kBestFivePercent);
  EXPECT_EQ(ensemble.models, (std::vector<size_t>{40, 42, 5, 9}));
}

// What circinv writes, drawn as circinv's appraisal made it.
TEST(InversionFilesTest, TheEnsembleIsTheOneOfCircinvsAppraisal) {
  TempDir dir("circplot_inversion_real");
  const circinv::InversionResult result = testing::WriteInversionResults(dir.path() / "run");
  testsupport::TestContext context(dir.path());
  const InversionRun run = ReadInversionRun(context, "run");
  const circinv::Appraisal& a = result.appraisal;
  EXPECT_EQ(run.models, result.search.size());
  EXPECT_EQ(run.acceptable, static_cast<long>(a.acceptable.size()));
  EXPECT_EQ(run.misfit_rule, a.rule == circinv::EnsembleRule::kMisfitAtMostOne);
  ASSERT_FALSE(run.ensemble.empty());
  for (size_t k = 0; k < run.ensemble.size(); ++k) {
    ASSERT_EQ(run.ensemble[k].misfit, result.search.misfits[a.acceptable[k]]) << k;
  }
  EXPECT_EQ(*run.best_misfit, a.best_misfit);
  ASSERT_EQ(run.p50.size(), a.depth.size());
  EXPECT_EQ(run.p50.back().f, a.vs.back().p50);
  EXPECT_EQ(run.max_depth, a.constrained_depth);
  ASSERT_EQ(run.best->vs.size(), a.best_model.layers.size());
  EXPECT_EQ(run.best->vs[0], a.best_model.layers[0].vs);
  ASSERT_EQ(run.fits.size(), 1u);
  EXPECT_EQ(run.fits[0].observed.size(), result.curves[0].size());
}

TEST(InversionFilesTest, RefusalsNameTheFileAndTheLine) {
  const std::string profile_header = "# depth vs_p10 vs_p50 vs_p90 vs_best\n";
  const std::string fit_header = "# frequency c_observed sigma c_best c_p10 c_p50 c_p90\n";
  const std::string ensemble_header = "# misfit thickness_1 vp_1 vs_1 density_1 vp_2 vs_2 density_2\n";
  enum File { kProfile, kFit, kEnsemble };
  const std::tuple<File, std::string, std::string> cases[] = {
      {kProfile, "0 100 110 120 110\n", "f.txt line 1: a line of numbers before the header line naming the columns"},
      {kProfile, profile_header + "0 100 110 120\n", "f.txt line 2: 4 values where the header (line 1) names 5"},
      {kProfile, profile_header + "0 100 1l0 120 110\n", "f.txt line 2: the value of column 'vs_p50' is not a number"},
      {kProfile, profile_header + "0 100 -110 120 110\n", "f.txt line 2: column 'vs_p50' must be a positive number"},
      {kProfile, profile_header + "5 100 110 120 110\n2 100 110 120 110\n", "f.txt line 3: the depth must be"},
      {kProfile, profile_header + "0 100 110 120 110\n", "f.txt: a profile without depths below the surface"},
      {kProfile, "# depth vs_p10 vs_p90\n0 1 2\n", "f.txt line 1: the header names no column 'vs_p50'"},
      {kProfile, "", "f.txt: no header line naming the columns ('# depth ...')"},
      {kFit, fit_header + "# rayleigh\n2 300 0 300 290 300 310\n", "f.txt line 3: column 'sigma' must be a positive"},
      {kFit, fit_header + "2 300 10 300 290 300 310\n1 300 10 300 290 300 310\n",
       "f.txt line 3: the frequencies of a block must increase"},
      {kFit, fit_header, "f.txt: no observed phase velocities"},
      {kEnsemble, ensemble_header + "nan 5 300 150 1800 900 400 2000\n", "f.txt line 2: the misfit must be"},
      {kEnsemble, ensemble_header + "1 0 300 150 1800 900 400 2000\n",
       "f.txt line 2: column 'thickness_1' must be a positive number"},
      {kEnsemble, "# misfit vp_1 vs_1 density_1 vp_2 vs_2 density_2\n1 300 150 1800 900 400 2000\n",
       "f.txt line 1: the header names no column 'thickness_1'"},
      {kEnsemble, ensemble_header, "f.txt: no models"},
  };
  for (const auto& [file, text, message] : cases) {
    std::istringstream in(text);
    auto read = [&, file = file] {
      InversionRun run;
      if (file == kProfile) ParseProfile(in, "f.txt", &run);
      if (file == kFit) ParseFit(in, "f.txt");
      if (file == kEnsemble) ParseEnsemble(in, "f.txt");
    };
    EXPECT_THAT(read, ::testing::ThrowsMessage<textio::InputError>(::testing::StartsWith(message))) << text;
  }
}

}  // namespace
}  // namespace circplot
