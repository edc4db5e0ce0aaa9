#ifndef CIRCARRAY_TESTSUPPORT_PLOT_INPUTS_H_
#define CIRCARRAY_TESTSUPPORT_PLOT_INPUTS_H_

// Inputs shared by circplot's tests: the worked examples of vantor and
// quillon (their expected outputs) and a small circspec table; and the
// check that a script or a message holds the parts it should.

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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
