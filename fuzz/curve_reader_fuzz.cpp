// The dispersion-curve file on arbitrary text: a curve read holds sorted,
// distinct, positive frequencies and gives a positive, finite velocity at
// every frequency, or the refusal names the file. The same text read as a
// curve table: at least the columns freq c c_se, every row a field per
// column, and each method's estimates sorted by frequency; its best
// estimates positive with a positive standard error.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "curve/curve_file.h"
#include "curve/curve_table.h"
#include "harness.h"
#include "textio/errors.h"

namespace {

void CheckTable(const std::string& text) {
  std::istringstream in(text);
  const auto table = fuzz::ReadOrRefusal("table.txt", [&in] { return curve::ParseCurveTable(in, "table.txt"); });
  if (!table) return;
  fuzz::Check(table->columns.size() >= 3 && !table->rows.empty(), "a table has freq c c_se and a row");
  fuzz::Check(table->rows.size() == table->row_lines.size(), "a line number for every row");
  for (const auto& row : table->rows) fuzz::Check(row.size() == table->columns.size(), "a field per column");
  for (const curve::Estimate& e : table->EstimatesOf("")) {
    fuzz::Check(e.f > 0 && e.c > 0 && std::isfinite(e.c) && e.se > 0 && std::isfinite(e.se),
                "a best estimate is positive with a positive standard error");
  }
  for (const std::string& method : table->methods()) {
    const std::vector<curve::Estimate> estimates = table->EstimatesOf(method);
    for (size_t i = 1; i < estimates.size(); ++i) {
      fuzz::Check(estimates[i - 1].f < estimates[i].f, "a method's estimates sorted and distinct");
    }
  }
  (void)table->writer();
  (void)table->radius();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckTable(std::string(reinterpret_cast<const char*>(data), size));
  for (const curve::StandardErrors se : {curve::StandardErrors::kIgnored, curve::StandardErrors::kRequired}) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
      const curve::Curve c = curve::ParseCurve(in, "curve.txt", se);
      for (size_t i = 1; i < c.points.size(); ++i) {
        fuzz::Check(c.points[i - 1].f < c.points[i].f, "frequencies sorted and distinct");
      }
      for (double f : {1e-3, 0.5, 1.0, 7.3, 40.0, 1e4}) {
        const double v = c.VelocityAt(f);
        fuzz::Check(std::isfinite(v) && v > 0, "a curve gives a positive, finite velocity");
      }
    } catch (const textio::InputError& e) {
      fuzz::Check(std::string(e.what()).rfind("curve.txt", 0) == 0, "the message starts with the file");
    }
  }
  return 0;
}
