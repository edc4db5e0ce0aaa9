#include "dispersion_curve/table_writer.h"

#include <cmath>

#include "textio/format.h"

namespace circdisp {

namespace {

constexpr int kTableDigits = 9;

}  // namespace

std::string FrequencyText(double f) { return textio::Scientific(f, kTableDigits); }

double Rounded(double v, int digits) {
  if (!std::isfinite(v) || v == 0) return v;
  // Powers of ten up to 1e22 are exact doubles, so one rounding each way.
  const int e = digits - 1 - static_cast<int>(std::floor(std::log10(std::fabs(v))));
  if (e > 22 || e < -22) return v;
  const double scale = std::pow(10.0, std::abs(e));
  return e >= 0 ? std::round(v * scale) / scale : std::round(v / scale) * scale;
}

void WriteTable(textio::Output& out, const std::vector<std::string>& header, const std::vector<MergedLine>& lines) {
  for (const std::string& line : header) out.Line("# " + line);
  out.Line("# freq c c_se n_estimates sources");
  for (const MergedLine& l : lines) {
    std::string* text = out.buffer();
    textio::AppendScientific(text, l.f, kTableDigits);
    text->push_back(' ');
    textio::AppendScientific(text, l.merged.c, kTableDigits);
    text->push_back(' ');
    textio::AppendScientific(text, l.merged.se, kTableDigits);
    text->append(' ' + std::to_string(l.merged.n) + ' ' + (l.sources.empty() ? "-" : l.sources));
    if (l.merged.scattered) {
      text->append("  # scatter: se x");
      textio::AppendShortest(text, Rounded(l.merged.ratio, 3));
      text->append(" (chi2 ");
      textio::AppendShortest(text, Rounded(l.merged.chi2, 3));
      text->append(" on " + std::to_string(l.merged.n - 1) + " dof)");
    }
    text->push_back('\n');
    out.Commit();
  }
}

}  // namespace circdisp
