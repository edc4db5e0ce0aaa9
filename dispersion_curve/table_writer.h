#ifndef CIRCARRAY_DISPERSION_CURVE_TABLE_WRITER_H_
#define CIRCARRAY_DISPERSION_CURVE_TABLE_WRITER_H_

#include <string>
#include <vector>

#include "dispersion_curve/merge.h"
#include "textio/output.h"

namespace circdisp {

// The merged curve as a dispersion-curve table (docs/formats.md): the
// header lines, each after "# ", the column line
//   # freq c c_se n_estimates sources
// and one line per grid frequency, numbers with 9 significant digits as
// circspec's tables write them. A frequency without an estimate is
// "nan nan 0 -". A line whose estimates disagreed ends with
//   # scatter: se x<ratio> (chi2 <value> on <n-1> dof)
// which every curve reader passes over.
struct MergedLine {
  double f = 0;
  Merged merged;
  std::string sources;  // the labels of the contributing series, separated by ';'
};
void WriteTable(textio::Output& out, const std::vector<std::string>& header, const std::vector<MergedLine>& lines);

// A frequency as the table writes it.
std::string FrequencyText(double f);

// v rounded to `digits` significant digits, for numbers shown in words.
double Rounded(double v, int digits);

}  // namespace circdisp

#endif  // CIRCARRAY_DISPERSION_CURVE_TABLE_WRITER_H_
