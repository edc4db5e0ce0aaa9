// circdisp against closed forms: synthetic arrays with a known curve and
// known errors, the inverse-variance mean and the Birge ratio of a few
// estimates, a power law between two points, and the refusals.
#include "suite/files.h"
#include "suite/programs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "curve/curve_table.h"
#include "testsupport/random_series.h"
#include "testsupport/run_program.h"
#include "testsupport/temp_dir.h"
#include "textio/format.h"

namespace circdisp {
namespace {

using ::testing::HasSubstr;

testsupport::Outcome Circdisp(std::vector<std::string> args, const testsupport::TempDir& dir) {
  return testsupport::RunInProcess(kProgram, "", testsupport::RunOptions{std::move(args), dir.path()});
}

// A line of circdisp's table, read back by the suite's table reader (so
// each test also proves that the output is a curve table).
struct Row {
  double f, c, se;
  int n;
  std::string sources, comment;
};

std::vector<Row> Rows(const std::string& text) {
  std::istringstream in(text);
  const curve::CurveTable t = curve::ParseCurveTable(in, "output");
  EXPECT_EQ(t.writer(), "circdisp");
  EXPECT_EQ(t.columns, (std::vector<std::string>{"freq", "c", "c_se", "n_estimates", "sources"}));
  std::vector<std::string> comments;
  for (const std::string& line : testsupport::Lines(text)) {
    if (line.starts_with("#")) continue;
    const size_t hash = line.find('#');
    comments.push_back(hash == std::string::npos ? "" : line.substr(hash));
  }
  std::vector<Row> rows;
  const std::vector<double> f = t.Column("freq"), c = t.Column("c"), se = t.Column("c_se"), n = t.Column("n_estimates");
  for (size_t i = 0; i < t.rows.size(); ++i) {
    rows.push_back({f[i], c[i], se[i], static_cast<int>(n[i]), t.rows[i][4], comments[i]});
  }
  return rows;
}

// The test's true curve, circsim's built-in Rayleigh curve (m/s).
double TrueVelocity(double f) { return 180 + 520 / (1 + (f / 4) * (f / 4)); }

std::string Number(double v) { return textio::Scientific(v, 17); }

// A synthetic array of ring radius r: a circspec curve table on the log
// grid of 80 frequencies from 0.5 to 20 Hz, with the methods spac and cca,
// each c_m = truth + a Gaussian error of sigma = 2 % (spac) or 3 % (cca)
// of the truth, written as its c_m_se. A ring resolves wavelengths from
// about 3 radii (shorter ones alias, and the SPAC coefficient passes its
// zero at lambda = 2.6 r) to about 25 radii (longer ones change the
// records too little against their noise): the rows outside
// 3 <= lambda/r <= 25 are flagged, with a velocity twice the truth that
// must never count. The best columns c c_se are spac's. With this curve
// r = 5 m is valid from 3.6 to 14.5 Hz and r = 25 m from 1.1 to 5.1 Hz.
struct ArrayCurve {
  std::string text;
  std::vector<double> f, se_best;  // the valid rows
};

ArrayCurve SyntheticArray(double radius, unsigned seed) {
  const int count = 80;
  const std::vector<double> noise = testsupport::GaussianSeries(2 * count, seed);
  ArrayCurve a;
  a.text =
      "# circspec (circarray) 0.1.0\n"
      "# curve of ring 1: radius " +
      textio::Shortest(radius) +
      " m, 5 stations\n"
      "# freq c c_se method c_spac c_spac_se flag_spac c_cca c_cca_se flag_cca\n";
  for (int i = 0; i < count; ++i) {
    const double f = 0.5 * std::pow(40.0, i / static_cast<double>(count - 1));
    const double truth = TrueVelocity(f);
    const double wavelengths = truth / f / radius;
    const bool valid = wavelengths >= 3 && wavelengths <= 25;
    const std::string flag = valid ? "ok" : wavelengths < 3 ? "alias" : "noise";
    const double spac_se = 0.02 * truth, cca_se = 0.03 * truth;
    const double spac = valid ? truth + spac_se * noise[2 * i] : 2 * truth;
    const double cca = valid ? truth + cca_se * noise[2 * i + 1] : 2 * truth;
    a.text += Number(f) + " " + (valid ? Number(spac) + " " + Number(spac_se) + " spac" : "nan nan -") + " " +
              Number(spac) + " " + Number(spac_se) + " " + flag + " " + Number(cca) + " " + Number(cca_se) + " " +
              flag + "\n";
    if (valid) {
      a.f.push_back(f);
      a.se_best.push_back(spac_se);
    }
  }
  return a;
}

// The standard error an array's table gives at a grid frequency, which
// must be one of its rows.
double SeAt(const ArrayCurve& a, double f) {
  for (size_t i = 0; i < a.f.size(); ++i) {
    if (std::fabs(a.f[i] / f - 1) < 1e-8) return a.se_best[i];
  }
  ADD_FAILURE() << "no row at " << f << " Hz";
  return NAN;
}

TEST(Circdisp, TwoRingsMergeIntoOneCalibratedCurve) {
  // Each seed is a new pair of arrays; the grid is the default, which on
  // inputs of one circspec grid falls on their rows. Each ring gives its
  // best estimate (spac's), or with --methods spac and cca, whose errors
  // the test makes independent, so both ways the merged error is exact.
  struct Mode {
    std::vector<std::string> options;
    std::vector<std::string> suffixes;  // of each ring's sources
    std::vector<double> se_factors;     // their errors in units of spac's
  };
  const Mode modes[] = {
      {{}, {""}, {1}},
      {{"--methods", "spac,cca"}, {":spac", ":cca"}, {1, 1.5}},
  };
  for (const Mode& mode : modes) {
    int lines = 0, within = 0, both = 0;
    for (unsigned seed = 1; seed <= 10; ++seed) {
      testsupport::TempDir dir("circdisp_science");
      const ArrayCurve small = SyntheticArray(5, 100 + seed), large = SyntheticArray(25, 200 + seed);
      dir.Write("r5.txt", small.text);
      dir.Write("r25.txt", large.text);
      std::vector<std::string> args = mode.options;
      args.insert(args.end(), {"r5.txt", "r25.txt", "-o", "merged.txt"});
      const auto r = Circdisp(args, dir);
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "");
      const std::vector<Row> rows = Rows(dir.Read("merged.txt"));
      ASSERT_FALSE(rows.empty());
      // The union of the valid bands, each frequency with an estimate.
      EXPECT_NEAR(rows.front().f, large.f.front(), 1e-8 * rows.front().f);
      EXPECT_NEAR(rows.back().f, small.f.back(), 1e-8 * rows.back().f);
      for (const Row& row : rows) {
        ++lines;
        within += std::fabs(row.c - TrueVelocity(row.f)) <= 2 * row.se;
        // Which rings are valid here, the sources they give, and the
        // inverse variances of these.
        std::string sources;
        double sum_w = 0, smallest = INFINITY;
        for (const auto& [ring, name] : {std::pair{&small, "r5.txt"}, std::pair{&large, "r25.txt"}}) {
          if (row.f < ring->f.front() * (1 - 1e-8) || row.f > ring->f.back() * (1 + 1e-8)) continue;
          for (size_t m = 0; m < mode.suffixes.size(); ++m) {
            const double se = mode.se_factors[m] * SeAt(*ring, row.f);
            if (!sources.empty()) sources += ';';
            sources.append(name).append(mode.suffixes[m]);
            sum_w += 1 / (se * se);
            smallest = std::min(smallest, se);
          }
        }
        ASSERT_EQ(row.sources, sources) << row.f;
        ASSERT_EQ(row.n, static_cast<int>(std::count(sources.begin(), sources.end(), ';') + 1)) << row.f;
        const double combined = 1 / std::sqrt(sum_w);
        if (row.comment.empty()) {
          EXPECT_NEAR(row.se, combined, 1e-8 * combined) << row.f;
          if (row.n > 1) {
            EXPECT_LE(row.se, smallest) << row.f;
          }
        } else {
          EXPECT_GT(row.se, combined) << row.f;  // inflated by the scatter
        }
        both += row.sources.find("r5.txt") != std::string::npos && row.sources.find("r25.txt") != std::string::npos;
      }
    }
    // Gaussian errors lie within 2 sigma 95.4 % of the time.
    std::cout << "circdisp" << (mode.options.empty() ? "" : " --methods spac,cca") << ": truth within 2 SE at "
              << within << " of " << lines << " frequencies; " << both << " with both rings\n";
    EXPECT_GE(within, 0.93 * lines);
    EXPECT_GE(both, 50);
  }
}

TEST(Circdisp, DisagreementInflatesTheErrorByTheBirgeRatio) {
  // Inputs of equal se = 10 m/s at 1 and 10 Hz. chi2 = sum ((c_i - c)/10)^2;
  // the 95 % point of chi2 is 3.84 on 1 dof and 5.99 on 2.
  struct Case {
    std::vector<double> velocities;
    double c, se;
    std::string comment;
  };
  const Case cases[] = {
      // 5 SE apart: chi2 12.5, p 4e-4; the Birge se is |c1 - c2|/2.
      {{300, 350}, 325, 25, "# scatter: se x3.54 (chi2 12.5 on 1 dof)"},
      {{300, 310}, 305, 10 / std::sqrt(2.0), ""},
      {{300, 327}, 313.5, 10 / std::sqrt(2.0), ""},                      // chi2 3.65, p 0.056
      {{300, 330}, 315, 15, "# scatter: se x2.12 (chi2 4.5 on 1 dof)"},  // p 0.034
      {{300, 300, 327}, 309, 10 / std::sqrt(3.0), ""},                   // chi2 4.86 on 2 dof, p 0.088
      // chi2 10.67 on 2 dof, p 0.0048; se = 10/sqrt(3) sqrt(chi2/2) = 40/3.
      {{300, 300, 340}, 940.0 / 3, 40.0 / 3, "# scatter: se x2.31 (chi2 10.7 on 2 dof)"},
  };
  for (const Case& c : cases) {
    testsupport::TempDir dir("circdisp_scatter");
    std::vector<std::string> args = {"--nfreq", "2"};
    for (size_t i = 0; i < c.velocities.size(); ++i) {
      const std::string v = textio::Shortest(c.velocities[i]);
      args.push_back(dir.Write("in" + std::to_string(i) + ".txt", "1 " + v + " 10\n10 " + v + " 10\n"));
    }
    const auto r = Circdisp(args, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<Row> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 2u);
    for (const Row& row : rows) {
      EXPECT_EQ(row.n, static_cast<int>(c.velocities.size()));
      EXPECT_NEAR(row.c, c.c, 1e-6) << c.velocities[1];
      EXPECT_NEAR(row.se, c.se, 1e-6) << c.velocities[1];
      EXPECT_EQ(row.comment, c.comment);
    }
  }
}

TEST(Circdisp, EachSourceIsAPowerLawBetweenItsValidEstimates) {
  // c = 100 f, valid at 1 and 4 Hz; the 2 Hz row is invalid (nan in the
  // best columns, flagged for spac) and is bridged. At 2 Hz, halfway in
  // ln f: c = 200 exactly, se = (2 + 10)/2; nothing at 0.5 and 8 Hz.
  testsupport::TempDir dir("circdisp_interp");
  dir.Write("t.txt",
            "# circspec (circarray) 0.1.0\n"
            "# freq c c_se c_spac c_spac_se flag_spac\n"
            "1 100 2 100 2 ok\n"
            "2 nan nan 999 50 alias\n"
            "4 400 10 400 10 ok\n");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"t.txt"}, "t.txt"},
      {{"--methods", "spac", "t.txt"}, "t.txt:spac"},
  };
  for (const auto& [options, label] : cases) {
    std::vector<std::string> args = {"--fmin", "0.5", "--fmax", "8", "--nfreq", "5"};
    args.insert(args.end(), options.begin(), options.end());
    const auto r = Circdisp(args, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<Row> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 5u);
    const double c[] = {NAN, 100, 200, 400, NAN}, se[] = {NAN, 2, 6, 10, NAN};
    for (size_t i = 0; i < 5; ++i) {
      EXPECT_NEAR(rows[i].f, 0.5 * std::pow(2.0, i), 1e-9);
      if (std::isnan(c[i])) {
        EXPECT_TRUE(std::isnan(rows[i].c) && std::isnan(rows[i].se)) << rows[i].f;
        EXPECT_EQ(rows[i].n, 0);
        EXPECT_EQ(rows[i].sources, "-");
        continue;
      }
      EXPECT_NEAR(rows[i].c, c[i], 1e-6 * c[i]) << label;
      EXPECT_NEAR(rows[i].se, se[i], 1e-6 * se[i]) << label;
      EXPECT_EQ(rows[i].sources, label);
    }
  }
}

TEST(Circdisp, MethodsChooseTheColumnsThatCount) {
  testsupport::TempDir dir("circdisp_methods");
  dir.Write("a.txt",
            "# circspec (circarray) 0.1.0\n"
            "# freq c c_se c_spac c_spac_se flag_spac c_cca c_cca_se flag_cca\n"
            "1 300 10 300 10 ok 330 30 ok\n"
            "2 280 10 280 10 ok 290 20 noise\n");
  dir.Write("b.txt", "1 310 10\n2 300 20\n");
  dir.Write("c.txt",
            "# circspec (circarray) 0.1.0\n"
            "# freq c c_se c_spac c_spac_se flag_spac\n"
            "1 305 10 305 10 ok\n"
            "2 290 10 290 10 ok\n");
  struct Case {
    std::vector<std::string> args;
    double c_at_1;  // the weighted mean at 1 Hz
    std::string sources_at_1, warning;
  };
  const Case cases[] = {
      {{"a.txt", "b.txt"}, 305, "a.txt;b.txt", ""},
      // spac 300 +- 10 and cca 330 +- 30: weights 9 : 1.
      {{"--methods", "spac,cca", "a.txt"}, 303, "a.txt:spac;a.txt:cca", ""},
      // A plain curve counts with its c c_se; c.txt has no cca.
      {{"--methods", "cca", "a.txt", "b.txt", "c.txt"},
       (330 + 9 * 310) / 10.0,
       "a.txt:cca;b.txt",
       "circdisp: c.txt (circspec): none of the methods cca (it has spac); it contributes nothing\n"},
  };
  for (const Case& c : cases) {
    const auto r = Circdisp(c.args, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, c.warning);
    const std::vector<Row> rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NEAR(rows[0].c, c.c_at_1, 1e-6) << c.args[0];
    EXPECT_EQ(rows[0].sources, c.sources_at_1);
  }
}

TEST(Circdisp, RefusalsAreOneLineAndWriteNothing) {
  testsupport::TempDir dir("circdisp_refusals");
  dir.Write("a.txt", "1 300 10\n9 200 10\n");
  dir.Write("plain.txt", "1 300\n2 250\n");
  dir.Write("low.txt", "1 300 10\n2 250 10\n");
  dir.Write("mid.txt", "1.5 280 10\n3 240 10\n");
  dir.Write("high.txt", "5 200 10\n9 180 10\n");
  dir.Write("none.txt", "1 nan nan\n");
  dir.Write("bad.txt",
            "# circspec (circarray) 0.1.0\n"
            "# freq c c_se c_spac c_spac_se flag_spac\n"
            "1 300 10 300 nan ok\n");
  dir.Write("m.txt",
            "# circspec (circarray) 0.1.0\n"
            "# freq c c_se c_spac c_spac_se flag_spac\n"
            "1 300 10 300 10 ok\n");
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"plain.txt"},
       "circdisp: plain.txt line 1: 2 fields where the columns are 3 ('frequency velocity standard_error': the "
       "standard error is needed in the third column)"},
      {{"--methods", "spac,love", "a.txt", "m.txt"},
       "circdisp: --methods: no input has the method 'love' (the inputs have spac)"},
      {{"--methods", "spac", "a.txt"},
       "circdisp: --methods: no input has the method 'spac' (no input has method columns"},
      {{"high.txt", "low.txt", "mid.txt"},
       "circdisp: the valid frequency ranges of the inputs do not meet: 'mid.txt' 1.5 to 3 Hz, 'high.txt' 5 to 9 "
       "Hz"},
      {{"low.txt", "high.txt"},
       "circdisp: the valid frequency ranges of the inputs do not meet: 'low.txt' 1 to 2 Hz, 'high.txt' 5 to 9 "
       "Hz"},
      {{"--methods", "spac", "bad.txt"},
       "circdisp: bad.txt line 3: c_spac_se must be a positive number where flag_spac is ok, got 'nan'"},
      {{"none.txt"}, "circdisp: none.txt (plain curve): best estimate, none valid: nothing to merge"},
      {{"none.txt", "none.txt"}, "circdisp: 'none.txt' is the same file as 'none.txt'"},
      {{"a.txt", "./a.txt"}, "circdisp: './a.txt' is the same file as 'a.txt': its estimates would count twice"},
      {{"a.txt", "a.txt"}, "is the same file as"},
      {{"missing.txt"}, "circdisp: " + suite::OpenFailure("missing.txt")},
      {{}, "circdisp: no curve file given"},
      {{"--fmin", "-1", "a.txt"}, "circdisp: --fmin: expected a positive frequency in Hz, got '-1'"},
      {{"--fmax", "x", "a.txt"}, "circdisp: --fmax: expected a positive frequency in Hz, got 'x'"},
      {{"--fmin", "5", "--fmax", "2", "a.txt"}, "circdisp: --fmax: expected a frequency above --fmin 5 Hz, got '2'"},
      {{"--fmin", "50", "a.txt"},
       "circdisp: --fmin: expected a frequency up to the inputs' highest valid one, 9 Hz, got '50'"},
      {{"--fmax", "0.5", "a.txt"},
       "circdisp: --fmax: expected a frequency from the inputs' lowest valid one, 1 Hz, got '0.5'"},
      {{"--nfreq", "0", "a.txt"}, "circdisp: --nfreq: expected an integer from 1 to 100000, got '0'"},
      {{"--grid", "cubic", "a.txt"}, "circdisp: --grid: expected log or linear, got 'cubic'"},
      {{"--methods", ",", "a.txt"}, "circdisp: --methods: expected method names separated by commas, got ','"},
      {{"--fmin", "1", "--fmax", "1.000001", "--nfreq", "1000", "a.txt"}, "closer than the table's 9 digits"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), {"-o", "out.txt"});
    const auto r = Circdisp(args, dir);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(r.err, "circdisp")) << r.err;
    EXPECT_THAT(r.err, HasSubstr(c.message));
    EXPECT_EQ(r.out, "");
  }
  // The output may not replace an input.
  const auto r = Circdisp({"-o", "a.txt", "a.txt"}, dir);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "circdisp: --output: 'a.txt' is the input file 'a.txt'\n");
  EXPECT_EQ(dir.Read("a.txt"), "1 300 10\n9 200 10\n");
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"a.txt", "bad.txt", "high.txt", "low.txt", "m.txt", "mid.txt",
                                                   "none.txt", "plain.txt"}));
}

}  // namespace
}  // namespace circdisp
