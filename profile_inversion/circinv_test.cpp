// circinv's command line: the forward curve against the library's solver
// and through the curve readers (circsim's among them), the inversion's
// summary and result directory against the library's Invert with the same
// settings, reproducibility, the progress line, and the refusals. The
// science of both is proven in the libraries' own tests.
#include "suite/programs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "curve/curve_file.h"
#include "curve/frequency_grid.h"
#include "profile_inversion/dispersion.h"
#include "profile_inversion/inversion.h"
#include "profile_inversion/model_file.h"
#include "profile_inversion/param_file.h"
#include "suite/runtime.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"
#include "testsupport/test_context.h"
#include "textio/format.h"

namespace circinv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

testsupport::Outcome Circinv(std::vector<std::string> args, const testsupport::TempDir& dir,
                             std::string_view input = "") {
  return testsupport::RunInProcess(kProgram, input, testsupport::RunOptions{std::move(args), dir.path()});
}

// A soft layer over stiffer ground: every frequency has its mode.
constexpr char kSoftOverStiff[] = "# thickness vp vs density\n10 400 200 1800\n0 1400 700 2100\n";
// A stiff lid over a soft half-space: above a few Hz the Rayleigh wave
// would travel in the lid, faster than the half-space's vs, so there is
// no mode (nan).
constexpr char kStiffLid[] = "3 1200 600 2000\n0 600 300 1800\n";

LayeredModel ModelOf(const std::string& text) {
  std::istringstream in(text);
  return ReadModel(in, "model");
}

std::vector<double> Solve(const std::string& model, Wave wave, const std::vector<double>& f) {
  std::vector<double> c(f.size());
  DispersionSolver(wave).PhaseVelocities(ModelOf(model), f, c);
  return c;
}

// A curve as every program of the suite reads it.
curve::Curve CurveOf(const std::string& text, curve::StandardErrors se = curve::StandardErrors::kIgnored) {
  std::istringstream in(text);
  return curve::ParseCurve(in, "output", se);
}

// Every frequency of a curve, with and without an estimate, and the
// velocities (NaN for none), in frequency order.
void AllRows(const curve::Curve& c, std::vector<double>* f, std::vector<double>* v) {
  std::vector<curve::Point> all = c.points;
  all.insert(all.end(), c.unestimated.begin(), c.unestimated.end());
  std::sort(all.begin(), all.end(), [](const curve::Point& a, const curve::Point& b) { return a.f < b.f; });
  for (const curve::Point& p : all) {
    f->push_back(p.f);
    v->push_back(p.c);
  }
}

TEST(CircinvForward, IsTheSolversCurveAndReadsBackAsACurveFile) {
  struct Case {
    const char* model;
    std::vector<std::string> options;
    Wave wave;
    curve::GridChoice grid;
  };
  const Case cases[] = {
      {kSoftOverStiff, {}, Wave::kRayleigh, {1, 50, 60, curve::GridKind::kLog}},
      {kSoftOverStiff,
       {"--wave", "love", "--grid", "linear", "--fmin", "2", "--fmax", "30", "--nfreq", "15"},
       Wave::kLove,
       {2, 30, 15, curve::GridKind::kLinear}},
      {kStiffLid, {"--nfreq", "40", "--fmax", "80"}, Wave::kRayleigh, {1, 80, 40, curve::GridKind::kLog}},
      {kStiffLid, {"--nfreq", "1", "--fmin", "3"}, Wave::kRayleigh, {3, 3, 1, curve::GridKind::kLog}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.options.empty() ? "defaults" : k.options.front() + " " + k.options[1]);
    testsupport::TempDir dir("circinv_forward");
    dir.Write("model.txt", k.model);
    std::vector<std::string> args = {"--forward", "model.txt"};
    args.insert(args.end(), k.options.begin(), k.options.end());
    const testsupport::Outcome r = Circinv(args, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> lines = testsupport::Lines(r.out);
    EXPECT_EQ(lines[0], "# circinv (circarray) " + std::string(suite::Version()));
    EXPECT_EQ(lines[2].rfind(std::string("# ") + WaveName(k.wave) + " waves", 0), 0u) << lines[2];
    EXPECT_EQ(lines[4], "# freq c");

    std::vector<double> f, c;
    AllRows(CurveOf(r.out), &f, &c);
    const std::vector<double> grid = curve::MakeGrid(k.grid);
    ASSERT_EQ(f.size(), grid.size());
    const std::vector<double> expected = Solve(k.model, k.wave, grid);
    int without_mode = 0;
    for (size_t i = 0; i < f.size(); ++i) {
      EXPECT_NEAR(f[i], grid[i], 5e-9 * grid[i]);
      if (std::isnan(expected[i])) {
        ++without_mode;
        EXPECT_TRUE(std::isnan(c[i])) << f[i] << " Hz";
      } else {
        EXPECT_NEAR(c[i], expected[i], 5e-9 * expected[i]) << f[i] << " Hz";
      }
    }
    if (k.model == kStiffLid && grid.size() > 1) {
      EXPECT_GT(without_mode, 5) << "the lid's high frequencies have no mode";
      EXPECT_LT(without_mode, static_cast<int>(grid.size()) - 5) << "the low ones have";
    }

    // -o writes the same curve into the file, nothing on standard output.
    args.insert(args.end(), {"-o", "curve.txt"});
    const testsupport::Outcome to_file = Circinv(args, dir);
    ASSERT_EQ(to_file.status, 0) << to_file.err;
    EXPECT_EQ(to_file.out, "");
    EXPECT_EQ(dir.Read("curve.txt"), r.out);
  }
}

TEST(CircinvForward, AtTakesEveryFrequencyOfTheFile) {
  // A curve table with a row without an estimate, out of order, and a
  // plain curve file of two columns.
  const struct {
    const char* text;
    std::vector<double> f;
  } files[] = {
      {"# circspec (circarray) 0.1.0\n# freq c c_se method\n7.25 300 9 spac\n1.5 nan nan -\n3 420 12 spac\n12 250 "
       "8 spac\n",
       {1.5, 3, 7.25, 12}},
      {"2 500\n# a comment\n20 180\n", {2, 20}},
  };
  for (const auto& file : files) {
    testsupport::TempDir dir("circinv_at");
    dir.Write("model.txt", kSoftOverStiff);
    dir.Write("at.txt", file.text);
    const testsupport::Outcome r = Circinv({"--forward", "model.txt", "--wave", "love", "--at", "at.txt"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<double> f, c;
    AllRows(CurveOf(r.out), &f, &c);
    EXPECT_EQ(f, file.f);
    const std::vector<double> expected = Solve(kSoftOverStiff, Wave::kLove, file.f);
    for (size_t i = 0; i < c.size(); ++i) EXPECT_NEAR(c[i], expected[i], 5e-9 * expected[i]);
  }
}

// circsim --rayleigh and --love read the forward curves as they are.
TEST(CircinvForward, ChainsIntoCircsim) {
  testsupport::TempDir dir("circinv_circsim");
  dir.Write("model.txt", kSoftOverStiff);
  ASSERT_EQ(Circinv({"--forward", "model.txt", "-o", "rayleigh.txt"}, dir).status, 0);
  ASSERT_EQ(Circinv({"--forward", "model.txt", "--wave", "love", "-o", "love.txt"}, dir).status, 0);
  // circsim's reader, through a run's context as circsim opens it.
  testsupport::TestContext context(dir.path());
  const curve::Curve read = curve::ReadCurve(context, "rayleigh.txt");
  const std::vector<double> grid = curve::MakeGrid({1, 50, 60, curve::GridKind::kLog});
  const std::vector<double> c = Solve(kSoftOverStiff, Wave::kRayleigh, grid);
  ASSERT_EQ(read.points.size(), grid.size());
  for (size_t i = 0; i < grid.size(); i += 7) EXPECT_NEAR(read.VelocityAt(grid[i]), c[i], 1e-8 * c[i]);

  dir.Write("layout.txt", "C 0 0 c.txt\nA 0 10 a.txt\nB 120 10 b.txt\n");
  const testsupport::Outcome sim = testsupport::RunInProcess(
      circsim::kProgram, "",
      {{"--rayleigh", "rayleigh.txt", "--love", "love.txt", "--love-fraction", "0.5", "--duration", "4", "layout.txt"},
       dir.path()});
  ASSERT_EQ(sim.status, 0) << sim.err;
  EXPECT_FALSE(dir.Read("b.txt").empty());
}

// --- The inversion ---

// The Rayleigh curve of kSoftOverStiff at 20 frequencies from 2 to 30 Hz
// with a 3 % standard error, and two rows without an estimate; its Love
// curve at 8 frequencies.
struct SiteFiles {
  testsupport::TempDir dir{"circinv_site"};
  SiteFiles() {
    dir.Write("model.txt", kSoftOverStiff);
    dir.Write("rayleigh.txt", WithErrors(Forward({"--fmin", "2", "--fmax", "30", "--nfreq", "20"}), true));
    dir.Write("love.txt",
              WithErrors(Forward({"--wave", "love", "--fmin", "3", "--fmax", "25", "--nfreq", "8"}), false));
    dir.Write("param.txt", "increasing\n2 20 100 400 0.3 0.45\n0 0 300 1200 0.2 0.4 2100\n");
  }
  std::string Forward(std::vector<std::string> options) const {
    options.insert(options.begin(), {"--forward", "model.txt"});
    const testsupport::Outcome r = Circinv(options, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }
  static std::string WithErrors(const std::string& forward, bool nan_rows) {
    std::string text = "# freq c c_se\n";
    if (nan_rows) text += "1.5 nan nan\n40 nan nan\n";
    for (const curve::Point& p : CurveOf(forward).points) {
      text += textio::Shortest(p.f) + " " + textio::Shortest(p.c) + " " + textio::Shortest(0.03 * p.c) + "\n";
    }
    return text;
  }
  ObservedCurve Observed(const std::string& name, Wave wave) const {
    const curve::Curve c = CurveOf(dir.Read(name), curve::StandardErrors::kRequired);
    ObservedCurve o{wave, {}, {}, {}};
    for (const curve::Point& p : c.points) {
      o.frequency.push_back(p.f);
      o.velocity.push_back(p.c);
      o.sigma.push_back(p.se);
    }
    return o;
  }
};

// The summary's line for scripts.
std::string Vs30Line(const std::string& out) {
  std::string found;
  for (const std::string& line : testsupport::Lines(out)) {
    if (line.rfind("vs30 ", 0) == 0) {
      EXPECT_EQ(found, "") << "two vs30 lines";
      found = line;
    }
  }
  return found;
}

// The start of the summary's note on a half-space at the top of its range.
constexpr char kHalfSpaceAtTop[] = "\nnote: the half-space's vs crowds the top of its range (";

TEST(CircinvInversion, SummaryIsTheLibrarysInversionWithTheSameSettings) {
  const SiteFiles site;
  struct Case {
    std::vector<std::string> args;
    int layers;
    bool param, love, increasing;
    NeighbourhoodSettings search;
  };
  auto settings = [](int64_t models, int chains, uint64_t seed) {
    NeighbourhoodSettings s;
    s.models = models;
    s.chains = chains;
    s.seed = seed;
    return s;
  };
  const Case cases[] = {
      {{"--models", "600", "rayleigh.txt"}, 4, false, false, false, settings(600, 4, 1)},
      {{"--models=500", "--layers", "2", "--seed", "7", "--chains", "2", "--increasing", "rayleigh.txt"},
       2,
       false,
       false,
       true,
       settings(500, 2, 7)},
      {{"--param", "param.txt", "--models", "400", "--chains", "1", "rayleigh.txt"},
       0,
       true,
       false,
       true,
       settings(400, 1, 1)},
      {{"--love", "love.txt", "--models", "400", "rayleigh.txt"}, 4, false, true, false, settings(400, 4, 1)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.args.front());
    const testsupport::Outcome r = Circinv(k.args, site.dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "") << "no progress line off a terminal";

    std::vector<ObservedCurve> curves = {site.Observed("rayleigh.txt", Wave::kRayleigh)};
    if (k.love) curves.push_back(site.Observed("love.txt", Wave::kLove));
    ParameterSpace space;
    if (k.param) {
      std::istringstream in(site.dir.Read("param.txt"));
      space = ReadParameterSpace(in, "param.txt");
    } else {
      space = DefaultParameterSpace(curves, k.layers);
      space.increasing = k.increasing;
    }
    InversionSettings s;
    s.search = k.search;
    const InversionResult expected = Invert(curves, space, s);
    const Percentiles& v = expected.appraisal.vs30_percentiles;
    EXPECT_EQ(Vs30Line(r.out),
              "vs30 " + textio::Shortest(v.p50) + " " + textio::Shortest(v.p10) + " " + textio::Shortest(v.p90));
    EXPECT_LE(v.p10, v.p50);
    EXPECT_LE(v.p50, v.p90);
    EXPECT_THAT(r.out, HasSubstr("acceptable models: " + std::to_string(expected.appraisal.acceptable.size()) + " of " +
                                 std::to_string(expected.search.size()) + ", "));
    if (expected.appraisal.walked) {
      const double rhat = expected.appraisal.vs30_scale_reduction;
      EXPECT_THAT(r.out, HasSubstr(std::isnan(rhat)              ? "\nwalk: too short to judge"
                                   : rhat <= kMostScaleReduction ? "\nwalk: its walkers agree on Vs30 (split R-hat "
                                                                 : "\nnote: the walk's walkers disagree on Vs30 ("));
    }
    EXPECT_EQ(r.out.find(kHalfSpaceAtTop) != std::string::npos,
              expected.appraisal.half_space_vs_at_top > kMostHalfSpaceVsAtTop);
    EXPECT_THAT(r.out, HasSubstr("rayleigh curve: rayleigh.txt, 20 points from 2 to 30 Hz, c "));
    EXPECT_THAT(r.out, HasSubstr("; 2 rows without an estimate (nan) skipped\n"));
    EXPECT_THAT(r.out, HasSubstr(std::string("; velocities ") +
                                 (space.increasing ? "increasing with depth" : "free to decrease with depth")));
    if (k.love) {
      EXPECT_THAT(r.out, HasSubstr("love curve: love.txt, 8 points from 3 to 25 Hz"));
    }
    // The best model's table: a header and a row per layer.
    EXPECT_THAT(r.out, HasSubstr("  layer  "));
    EXPECT_THAT(r.out, HasSubstr("\n  half-space  "));
  }
}

// A curve of short wavelengths alone constrains less than 30 m: the
// summary says that Vs30 below comes from the models, not from the data.
// The site's curve reaches 158 m, and says nothing of the kind.
TEST(CircinvInversion, DataShallowerThan30MetresAreSaidToBe) {
  const SiteFiles site;
  site.dir.Write("shallow.txt",
                 SiteFiles::WithErrors(site.Forward({"--fmin", "15", "--fmax", "50", "--nfreq", "8"}), false));
  const testsupport::Outcome shallow = Circinv({"--models", "400", "shallow.txt"}, site.dir);
  ASSERT_EQ(shallow.status, 0) << shallow.err;
  EXPECT_THAT(shallow.out, HasSubstr("\nthe data constrain the profile to 6.441 m depth"));
  EXPECT_THAT(shallow.out, HasSubstr("\nnote: the data constrain only the top 6.441 m; below"));
  const testsupport::Outcome deep = Circinv({"--models", "400", "rayleigh.txt"}, site.dir);
  EXPECT_THAT(deep.out, HasSubstr("\nthe data constrain the profile to 157.8 m depth"));
  EXPECT_THAT(deep.out, Not(HasSubstr("note:")));
}

// The site's half-space (700 m/s) under a range that stops at 500 m/s: the
// walk presses against the top, and the summary says so; under a range to
// 1200 m/s, the curve (which has levelled off at 2 Hz) holds it well below.
TEST(CircinvInversion, AHalfSpaceAtTheTopOfItsRangeIsSaidToBe) {
  const SiteFiles site;
  const struct {
    const char* half_space;
    bool note;
  } cases[] = {{"0 0 300 500 0.2 0.4\n", true}, {"0 0 300 1200 0.2 0.4\n", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.half_space);
    site.dir.Write("one_layer.txt", std::string("2 20 100 400 0.3 0.45\n") + c.half_space);
    const testsupport::Outcome r = Circinv({"--param", "one_layer.txt", "--models", "2000", "rayleigh.txt"}, site.dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find(kHalfSpaceAtTop) != std::string::npos, c.note) << r.out;
  }
}

TEST(CircinvInversion, ResultDirectoryAndOneSeedGiveTheSameBytes) {
  const SiteFiles site;
  std::string first_out;
  for (const char* name : {"r1", "r2"}) {
    const testsupport::Outcome r = Circinv({"--models", "600", "--output", name, "rayleigh.txt"}, site.dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr(std::string("results: ") + name + " ("));
    std::string out = r.out;
    out.replace(out.find("results: r"), 11, "results: r1");
    if (first_out.empty()) first_out = out;
    EXPECT_EQ(out, first_out);
  }
  for (const char* file : {"best_model.txt", "profile.txt", "ensemble.txt", "fit.txt"}) {
    const std::string text = site.dir.Read(std::string("r1/") + file);
    EXPECT_FALSE(text.empty()) << file;
    EXPECT_EQ(site.dir.Read(std::string("r2/") + file), text) << file;
  }
  const std::vector<std::string> ensemble = testsupport::Lines(site.dir.Read("r1/ensemble.txt"));
  EXPECT_EQ(ensemble.size(), 2u + 600u);
  const testsupport::Outcome other = Circinv({"--models", "600", "--seed", "2", "rayleigh.txt"}, site.dir);
  EXPECT_NE(Vs30Line(other.out), Vs30Line(first_out));
}

// While standard error is a terminal a progress line follows the search
// and is wiped at the end.
TEST(CircinvInversion, ProgressLineOnlyOnATerminal) {
  const SiteFiles site;
  for (const bool terminal : {false, true}) {
    std::istringstream in;
    std::ostringstream out, err;
    suite::Invocation invocation;
    invocation.args = {"--models", "400", "rayleigh.txt"};
    invocation.directory = site.dir.path();
    invocation.stderr_is_terminal = terminal;
    ASSERT_EQ(suite::Invoke(kProgram, {in, out, err}, std::move(invocation)), 0) << err.str();
    EXPECT_NE(Vs30Line(out.str()), "");
    if (terminal) {
      EXPECT_THAT(err.str(), StartsWith("\rcircinv: 100 of 400 models, best misfit "));
      EXPECT_EQ(err.str().substr(err.str().size() - 4), "\r\033[K");
      EXPECT_EQ(err.str().find('\n'), std::string::npos);
    } else {
      EXPECT_EQ(err.str(), "");
    }
  }
}

// Each refusal: one line on standard error naming the file and line or
// the option, status 2, nothing on standard output, no file made.
TEST(Circinv, RefusalsSayWhatToMendAndWriteNothing) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> message;  // each a part of the line
  };
  const Case cases[] = {
      {{"bare.txt"},
       {"bare.txt line 2: expected 'frequency velocity standard_error', got 2 fields",
        "give one, e.g. 3 % of c with awk 'NF && !/^#/ {$3 = 0.03 * $2} 1' CURVE > CURVE_SE"}},
      {{"zero_se.txt"}, {"zero_se.txt line 2: the standard error must be positive, got '0'", "3 % of c"}},
      {{"--love", "bare.txt", "curve.txt"}, {"bare.txt line 2: expected"}},
      {{"garbled.txt"}, {"garbled.txt line 3: expected a number for the velocity, got 'fast'"}},
      {{"--forward", "bad_model.txt"}, {"bad_model.txt line 3: "}},
      {{"--param", "param.txt", "--layers", "3", "curve.txt"}, {"--layers and --param exclude each other"}},
      {{"--param", "inverted.txt", "curve.txt"}, {"inverted.txt line 2: vs 400 300: minimum above maximum"}},
      {{"--param", "fixed.txt", "curve.txt"}, {"fixed.txt: every parameter is fixed"}},
      {{"--models", "0", "curve.txt"}, {"--models: expected an integer from 1 to 1000000, got '0'"}},
      {{"--models", "-5", "curve.txt"}, {"--models: expected an integer from 1 to 1000000, got '-5'"}},
      {{"--models", "399", "curve.txt"}, {"--models: expected at least 400 (100 for each of the 4 chains)"}},
      {{"--layers", "0", "curve.txt"}, {"--layers: expected an integer from 1 to 10, got '0'"}},
      {{"--forward", "model.txt", "--wave", "sh"}, {"--wave: expected rayleigh or love, got 'sh'"}},
      {{"--wave", "love", "curve.txt"}, {"--wave belongs to --forward", "--love CURVE"}},
      {{"--forward", "model.txt", "--models", "600"}, {"--models belongs to an inversion"}},
      {{"--forward", "model.txt", "--at", "curve.txt", "--nfreq", "5"}, {"--nfreq makes a grid"}},
      {{"--forward", "model.txt", "--fmin", "60"}, {"--fmin: expected a frequency below --fmax 50 Hz, got '60'"}},
      {{"--forward", "model.txt", "-o", "model.txt"}, {"--output: 'model.txt' is the input file 'model.txt'"}},
      {{"-o", "full", "curve.txt"}, {"--output: the result directory \"full\" exists and is not empty"}},
      {{"-o", "no/such", "curve.txt"}, {"--output: no folder \"", "no\" to make the result directory in"}},
      {{"--love", "curve.txt", "curve.txt"}, {"--love: 'curve.txt' is the Rayleigh curve too"}},
      {{"-", "--love", "-"}, {"standard input ('-') can be read only once"}},
      {{}, {"no curve file given"}},
      {{"curve.txt", "other.txt"}, {"one Rayleigh curve is inverted, got 2"}},
      {{"--bogus", "curve.txt"}, {"--bogus"}},
      {{"missing.txt"}, {"missing.txt"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.message.front());
    testsupport::TempDir dir("circinv_refusal");
    dir.Write("curve.txt", "2 300 9\n4 250 8\n8 200 6\n");
    dir.Write("bare.txt", "# f c\n2 300\n4 250\n");
    dir.Write("zero_se.txt", "1 320 10\n2 300 0\n");
    dir.Write("garbled.txt", "2 300 9\n4 250 8\n8 fast 6\n");
    dir.Write("model.txt", kSoftOverStiff);
    dir.Write("bad_model.txt", "# h vp vs rho\n10 400 200 1800\n0 1400 700\n");
    dir.Write("param.txt", "2 20 100 400 0.3 0.45\n0 0 300 1200 0.2 0.4\n");
    dir.Write("inverted.txt", "1 5 100 300 0.25 0.45\n0 0 400 300 0.2 0.35\n");
    dir.Write("fixed.txt", "5 5 200 200 0.3 0.3\n0 0 600 600 0.25 0.25\n");
    std::filesystem::create_directory(dir.path() / "full");
    dir.Write("full/kept.txt", "x");
    const std::vector<std::string> before = dir.Files();
    const testsupport::Outcome r = Circinv(k.args, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(r.err, "circinv")) << r.err;
    for (const std::string& part : k.message) EXPECT_THAT(r.err, HasSubstr(part));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.Files(), before);
    EXPECT_EQ(dir.Read("full/kept.txt"), "x");
  }
}

}  // namespace
}  // namespace circinv
