#ifndef CIRCARRAY_TESTSUPPORT_PLOT_INPUTS_H_
#define CIRCARRAY_TESTSUPPORT_PLOT_INPUTS_H_

// Inputs shared by circplot's tests: the worked examples of vantor and
// quillon (their expected outputs), a small circspec table, dispersion-curve
// tables, circinv result directories; and the check that a script or a
// message holds the parts it should.

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "profile_inversion/inversion.h"
#include "profile_inversion/result_files.h"
#include "result_plot/text_lines.h"
#include "testsupport/temp_dir.h"

namespace circplot::testing {

inline std::string Example(const std::string& relative) {
  return testsupport::ReadFile(std::string(CIRCPLOT_EXAMPLES) + "/" + relative);
}

// vantor's output of examples/vantor: radius 20 m, one NO_ROOT line (1 Hz),
// eight roots.
inline std::string VantorExample() { return Example("vantor/expected.txt"); }
// quillon's output of examples/quillon: one NO ROOT line (4.5 Hz), and its fort.7.
inline std::string QuillonExample() { return Example("quillon/expected.txt"); }
inline std::string Fort7Example() { return Example("quillon/expected-fort.7"); }

// A table as circspec writes it, with a value that is not finite.
inline constexpr char kSpectraTable[] =
    "# circspec (circarray) 0.1.0\n"
    "# layout array.txt, ring radius 10 m, 5 stations\n"
    "# segments kept 170, dropped 0\n"
    "# freq spac spac_se coh coh_se cca cca_se segments\n"
    " 1.00000000e+00  9.71000000e-01  4.00000000e-03  9.90000000e-01  1.00000000e-03  6.10000000e+01  3.00000000e+00 "
    "170\n"
    " 2.00000000e+00  8.90000000e-01  6.00000000e-03  9.70000000e-01  2.00000000e-03  1.50000000e+01  8.00000000e-01 "
    "170\n"
    " 4.00000000e+00  6.10000000e-01  1.00000000e-02  9.10000000e-01  4.00000000e-03  3.20000000e+00  2.00000000e-01 "
    "170\n"
    " 8.00000000e+00 -1.20000000e-01  2.00000000e-02  6.00000000e-01  1.00000000e-02             nan             nan "
    "170\n";

// A dispersion-curve table as circspec --for curve writes it, of a ring of
// radius 10 m and 5 stations. Valid estimates: spac at 2, 4 and 16 Hz, cca
// at 2, 4 and 8 Hz; their values and error bars span 220 to 640 m/s. The
// invalid ones reach beyond: spac's alias at 12 Hz, 90000 m/s, cca's noisy
// estimate at 16 Hz, 150 m/s.
inline constexpr char kCurveTable[] =
    "# circspec (circarray) 0.1.0\n"
    "# layout site.txt: 6 stations; centre C0\n"
    "# curve of ring 1: radius 10 m, 5 stations\n"
    "# freq c c_se method kr lambda_over_r eps eps_se c_spac c_spac_se flag_spac c_cca c_cca_se flag_cca\n"
    " 2 600 12 cca 0.21 30 0.02 0.002 620 20 ok 600 12 ok\n"
    " 4 410 8 cca 0.61 10.2 0.03 0.003 420 12 ok 410 8 ok\n"
    " 8 270 5 cca 1.86 3.4 0.05 0.005 275 8 noise 270 5 ok\n"
    " 12 nan nan - nan nan 4 0.4 90000 500 alias 2000 900 branch\n"
    " 16 225 5 spac 4.47 1.4 0.08 0.008 225 5 ok 150 6 noise\n";

// The same curve merged by circdisp: the best column alone, no ring.
inline constexpr char kCircdispTable[] =
    "# circdisp (circarray) 0.1.0\n"
    "# freq c c_se n_estimates sources\n"
    "2 600 12 2 a.txt;b.txt\n"
    "4 410 8 2 a.txt;b.txt\n"
    "8 nan nan 0 -\n"
    "16 225 5 1 a.txt  # scatter: 1 estimate\n";

// The files of a circinv result directory, small enough to follow by
// hand: three layers, two acceptable models of five (misfit <= 1, and
// ceil(5 % of 5) = 1), a Rayleigh curve whose best model has no mode at
// 10 Hz.
inline constexpr char kProfileFile[] =
    "# shear velocity (m/s) against depth (m): quantiles of the 2 acceptable models (misfit <= 1) and the best "
    "model (misfit 0.5)\n"
    "# Vs30 (m/s): p10 251.25, p50 262.5, p90 273.75; best model 262.5\n"
    "# the data constrain the profile to 20 m depth (half the longest observed wavelength)\n"
    "# depth vs_p10 vs_p50 vs_p90 vs_best\n"
    "0 150 160 170 150\n"
    "10 240 250 260 250\n"
    "20 450 475 500 500\n";
inline constexpr char kFitFile[] =
    "# phase velocities (m/s) against frequency (Hz), one block per wave: observed with its standard error, of "
    "the best model, and quantiles of the acceptable models; nan where a model has no mode\n"
    "# frequency c_observed sigma c_best c_p10 c_p50 c_p90\n"
    "# rayleigh\n"
    "2 420 15 415 400 415 430\n"
    "5 280 10 285 270 282 295\n"
    "10 210 8 nan nan nan nan\n"
    "20 195 8 196 190 196 202\n";
inline constexpr char kEnsembleFile[] =
    "# every model tried, in the order made: its misfit, then per layer, top down, thickness (m), vp and vs "
    "(m/s), density (kg/m^3); the half-space last, without thickness\n"
    "# misfit thickness_1 vp_1 vs_1 density_1 thickness_2 vp_2 vs_2 density_2 vp_3 vs_3 density_3\n"
    "3.5 4 300 120 1700 8 700 300 1900 1200 600 2100\n"
    "0.5 5 400 150 1800 10 600 250 1900 1000 500 2100\n"
    "1.2 6 400 170 1800 9 600 260 1900 1000 450 2100\n"
    "0.9 5 420 170 1800 12 650 240 1900 1000 480 2100\n"
    "2.0 3 400 200 1800 10 600 250 1900 1000 520 2100\n";
inline constexpr char kBestModelFile[] =
    "# thickness vp vs density\n"
    "5 400 150 1800\n"
    "10 600 250 1900\n"
    "0 1000 500 2100\n";

// Writes the four files above into the directory `directory` of `dir`.
inline void WriteInversionFiles(const testsupport::TempDir& dir, const std::string& directory) {
  std::filesystem::create_directory(dir.path() / directory);
  dir.Write(directory + "/profile.txt", kProfileFile);
  dir.Write(directory + "/fit.txt", kFitFile);
  dir.Write(directory + "/ensemble.txt", kEnsembleFile);
  dir.Write(directory + "/best_model.txt", kBestModelFile);
}

// A real result directory of circinv's: a small inversion (600 models,
// two layers over a half-space, the suite's forward model) of a soft-soil
// Rayleigh curve, written by circinv's own WriteResults to `directory`.
// Returns what the inversion found, to compare the picture with.
inline circinv::InversionResult WriteInversionResults(const std::filesystem::path& directory) {
  const circinv::ObservedCurve curve{circinv::Wave::kRayleigh,
                                     {2, 3, 5, 8, 12, 18, 25},
                                     {420, 360, 280, 230, 210, 200, 195},
                                     {17, 14, 11, 9, 8, 8, 8}};
  const std::vector<circinv::ObservedCurve> curves{curve};
  circinv::InversionSettings settings;
  settings.search.models = 600;
  settings.search.chains = 1;
  settings.depth_points = 41;
  circinv::InversionResult result = circinv::Invert(curves, circinv::DefaultParameterSpace(curves, 2), settings);
  circinv::WriteResults(directory, result);
  return result;
}

// Whether `text` holds `part` anywhere.
inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Whether `text` holds every one of `parts`; a failure names those it lacks.
inline ::testing::AssertionResult HasAll(const std::string& text, const std::vector<std::string>& parts) {
  std::string lacking;
  for (const std::string& part : parts) {
    if (!Has(text, part)) lacking += (lacking.empty() ? "lacks \"" : ", \"") + part + "\"";
  }
  if (lacking.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << lacking;
}

inline std::vector<TextLine> LinesOf(const std::string& text) {
  std::istringstream in(text);
  return ReadLines(in);
}

}  // namespace circplot::testing

#endif  // CIRCARRAY_TESTSUPPORT_PLOT_INPUTS_H_
