#ifndef CIRCARRAY_CURVE_CURVE_TABLE_H_
#define CIRCARRAY_CURVE_CURVE_TABLE_H_

// The dispersion-curve table: a curve file (curve_file.h) with named
// columns, as `circspec --for curve` and `circdisp` write it, read by
// every program that wants more of it than the curve (circdisp merges
// chosen methods, circplot draws each method and the array's limits).
// Documented for users in docs/formats.md.
//
//   # <program> (circarray) <version>         the first header line names the writer
//   # ... header lines ...
//   # curve of ring R: radius R m, N stations  (circspec: the array's ring)
//   # freq c c_se <column> <column> ...        the last header line names the columns
//   f c c_se ...                                one line per frequency
//
// The first three columns are always the frequency (Hz), the velocity
// (m/s) and its standard error, the best estimate: any curve reader takes
// them. The others are named by the last '#' line: numbers, or words
// (method names, flags). A method m of circspec has the columns c_<m>,
// c_<m>_se and flag_<m> ("ok" where its estimate is valid, else the name
// of the rule it failed). A velocity "nan" is a frequency without an
// estimate. A file of plain "frequency velocity standard_error" lines
// (no header) is a table of those three columns; further fields of its
// lines are passed over, as every curve reader does.

#include <istream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "suite/context.h"

namespace curve {

// The words of the flag columns.
inline constexpr char kValidFlag[] = "ok";

// One estimate of a method at a frequency.
struct Estimate {
  double f = 0, c = 0, se = 0;
  std::string flag;  // kValidFlag, a rule's name, or "" where the table has no flags
  long line = 0;
  bool valid() const;
};

struct CurveTable {
  std::string source;                // the file's name as given, for messages
  std::vector<std::string> header;   // the '#' lines, without the "# "
  std::vector<std::string> columns;  // the column names; at least freq c c_se
  // The rows, in file order: each column's text.
  std::vector<std::vector<std::string>> rows;
  std::vector<long> row_lines;

  // The program named by the first header line ("circspec", "circdisp"),
  // or "" for a plain curve file.
  std::string writer() const;
  // The mean radius of the ring the curve comes from (a "curve of ring"
  // header line), if the table gives one.
  std::optional<double> radius() const;
  // The methods whose c_<m>, c_<m>_se and flag_<m> columns the table has,
  // in column order.
  std::vector<std::string> methods() const;
  // The estimates of method `method` (sorted by frequency), or with "" the
  // best estimate of each row (the first three columns); rows whose
  // velocity is nan are left out.
  std::vector<Estimate> EstimatesOf(const std::string& method) const;
  // A numeric column by name at every row (NaN where not a number).
  std::vector<double> Column(const std::string& name) const;
  // The index of a column, if the table has it.
  std::optional<size_t> Find(const std::string& name) const;
};

// Reads a curve table; `source` names it in messages. The rules of the
// curve file hold (positive frequencies given once, positive velocities
// or nan, a positive standard error where the velocity is a number), and
// every row has as many fields as there are columns. Refusals are
// textio::InputError naming the file and the line.
CurveTable ParseCurveTable(std::istream& in, const std::string& source);
CurveTable ReadCurveTable(suite::Context& context, const std::string& name);

}  // namespace curve

#endif  // CIRCARRAY_CURVE_CURVE_TABLE_H_
