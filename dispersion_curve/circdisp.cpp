#include "suite/programs.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "curve/curve_table.h"
#include "dispersion_curve/common_grid.h"
#include "dispersion_curve/merge.h"
#include "dispersion_curve/series.h"
#include "dispersion_curve/table_writer.h"
#include "suite/options.h"
#include "suite/runtime.h"
#include "textio/errors.h"
#include "textio/fields.h"
#include "textio/format.h"
#include "textio/printable.h"

namespace circdisp {

namespace {

constexpr suite::Option kOptions[] = {
    {"fmin", true}, {"fmax", true}, {"nfreq", true}, {"grid", true}, {"methods", true}, {"output", true, 'o'},
};

struct Settings {
  GridRequest grid;
  std::vector<std::string> methods;  // empty: each input's best estimate
  std::optional<std::string> output;
  std::vector<std::string> inputs;
};

// One curve file and the series it contributes.
struct Input {
  std::string name;   // as given
  std::string label;  // its name in the sources column
  curve::CurveTable table;
  std::vector<Series> series;  // those with a valid estimate
  std::string described;       // its name, kind and valid estimates, for the header and notes
};

std::string Join(const std::vector<std::string>& words, std::string_view between) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : std::string(between)) + w;
  return out;
}

Settings ParseArguments(const std::vector<std::string>& args) {
  const suite::CommandLine line(args, kOptions);
  Settings s;
  const suite::NumberRule frequency = suite::Positive("a positive frequency in Hz");
  s.grid.fmin = line.Number("fmin", frequency);
  s.grid.fmax = line.Number("fmax", frequency);
  if (s.grid.fmin && s.grid.fmax && !(*s.grid.fmin < *s.grid.fmax)) {
    throw suite::OptionValueError("fmax", "a frequency above --fmin " + *line.Text("fmin") + " Hz", *line.Text("fmax"));
  }
  s.grid.count = line.Integer("nfreq", 1, kMaxGridCount, "an integer from 1 to 100000");
  s.grid.kind =
      line.Keyword<curve::GridKind>("grid", {{"log", curve::GridKind::kLog}, {"linear", curve::GridKind::kLinear}})
          .value_or(curve::GridKind::kLog);
  if (const std::optional<std::string> text = line.Text("methods")) {
    for (std::string_view name : textio::SplitFields(*text, ",")) {
      if (std::find(s.methods.begin(), s.methods.end(), name) == s.methods.end()) s.methods.emplace_back(name);
    }
    if (s.methods.empty()) throw suite::OptionValueError("methods", "method names separated by commas", *text);
  }
  s.output = line.Text("output");
  if (s.output && s.output->empty()) throw suite::OptionValueError("output", "a file name", "");
  s.inputs = line.operands();
  if (s.inputs.empty()) throw suite::UsageError("no curve file given; usage: circdisp [options] CURVE...");
  return s;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// A file given twice would count its estimates twice, as if independent;
// an output that is an input would replace it.
void CheckFileNames(const suite::Context& context, const Settings& s) {
  for (size_t j = 0; j < s.inputs.size(); ++j) {
    for (size_t i = 0; i < j; ++i) {
      if (s.inputs[i] == s.inputs[j] || SameFile(context.Resolve(s.inputs[i]), context.Resolve(s.inputs[j]))) {
        throw textio::RuntimeError("'" + textio::Printable(s.inputs[j]) + "' is the same file as '" +
                                   textio::Printable(s.inputs[i]) + "': its estimates would count twice");
      }
    }
    if (s.output && (*s.output == s.inputs[j] || SameFile(context.Resolve(*s.output), context.Resolve(s.inputs[j])))) {
      throw textio::RuntimeError("--output: '" + textio::Printable(*s.output) + "' is the input file '" +
                                 textio::Printable(s.inputs[j]) + "'");
    }
  }
}

// The name of input k in the sources column: its name as given, unless a
// curve reader would split it (blanks, commas, ';', '#') or it holds
// bytes a line cannot show; then "input<k>", which the header explains.
std::string LabelOf(const std::string& name, size_t k) {
  const bool plain =
      !name.empty() && name.find_first_of(" \t\r\n,;#") == std::string::npos && textio::Printable(name) == name;
  return plain ? name : "input" + std::to_string(k);
}

std::string Described(const Series& s) {
  if (s.points.empty()) return "none valid";
  return std::to_string(s.points.size()) + " valid from " + textio::Shortest(s.fmin()) + " to " +
         textio::Shortest(s.fmax()) + " Hz";
}

// Reads input k and takes its series: its best estimate, or with
// --methods each chosen method it has. A curve without method columns
// gives its best estimate either way.
Input ReadInput(suite::Context& context, const Settings& s, size_t k) {
  Input in;
  in.name = s.inputs[k];
  in.label = LabelOf(in.name, k + 1);
  in.table = curve::ReadCurveTable(context, in.name);
  const std::vector<std::string> has = in.table.methods();
  std::string what;
  if (s.methods.empty() || has.empty()) {
    Series series = SeriesOf(in.table, "", in.label);
    what = "best estimate, " + Described(series);
    if (!series.points.empty()) in.series.push_back(std::move(series));
  } else {
    for (const std::string& m : s.methods) {
      if (std::find(has.begin(), has.end(), m) == has.end()) continue;
      Series series = SeriesOf(in.table, m, in.label + ":" + m);
      what += (what.empty() ? "" : "; ") + m + " " + Described(series);
      if (!series.points.empty()) in.series.push_back(std::move(series));
    }
    if (what.empty()) what = "none of the methods " + Join(s.methods, ", ") + " (it has " + Join(has, ", ") + ")";
  }
  const std::string writer = in.table.writer();
  std::string kind = writer.empty() ? "plain curve" : writer;
  if (const std::optional<double> r = in.table.radius()) kind += ", ring radius " + textio::Shortest(*r) + " m";
  in.described = textio::Printable(in.name) + (in.label != in.name ? " (" + in.label + " in sources)" : "") + " (" +
                 kind + "): " + what;
  return in;
}

// Every method of --methods must be one some input has.
void CheckMethods(const Settings& s, const std::vector<Input>& inputs) {
  std::vector<std::string> all;
  for (const Input& in : inputs) {
    for (const std::string& m : in.table.methods()) {
      if (std::find(all.begin(), all.end(), m) == all.end()) all.push_back(m);
    }
  }
  for (const std::string& m : s.methods) {
    if (std::find(all.begin(), all.end(), m) != all.end()) continue;
    throw textio::RuntimeError(
        "--methods: no input has the method '" + textio::Printable(m) + "' (" +
        (all.empty() ? "no input has method columns c_<m> c_<m>_se flag_<m>" : "the inputs have " + Join(all, ", ")) +
        ")");
  }
}

// The inputs' valid ranges must overlap or touch in a chain: a gap
// between them would be a gap in the merged curve with no estimate that
// ties its two parts together.
void CheckRangesMeet(const std::vector<Input>& inputs) {
  struct Range {
    double lo, hi;
    const Input* input;
  };
  std::vector<Range> ranges;
  for (const Input& in : inputs) {
    if (in.series.empty()) continue;
    Range r{in.series[0].fmin(), in.series[0].fmax(), &in};
    for (const Series& s : in.series) {
      r.lo = std::min(r.lo, s.fmin());
      r.hi = std::max(r.hi, s.fmax());
    }
    ranges.push_back(r);
  }
  std::stable_sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.lo < b.lo; });
  auto text = [](const Range& r) {
    return "'" + textio::Printable(r.input->name) + "' " + textio::Shortest(r.lo) + " to " + textio::Shortest(r.hi) +
           " Hz";
  };
  Range reach = ranges.front();  // the input reaching highest so far
  for (size_t i = 1; i < ranges.size(); ++i) {
    if (ranges[i].lo > reach.hi) {
      throw textio::RuntimeError("the valid frequency ranges of the inputs do not meet: " + text(reach) + ", " +
                                 text(ranges[i]) + "; the merged curve would have a gap between them");
    }
    if (ranges[i].hi > reach.hi) reach = ranges[i];
  }
}

std::vector<std::string> Header(const Settings& s, const std::vector<Input>& inputs, const CommonGrid& grid) {
  std::vector<std::string> h;
  h.push_back("circdisp (circarray) " + std::string(suite::Version()));
  for (size_t k = 0; k < inputs.size(); ++k) h.push_back("input " + std::to_string(k + 1) + ": " + inputs[k].described);
  h.push_back(s.methods.empty() ? "sources: each input's best estimate (its columns c c_se)"
                                : "sources: the methods " + Join(s.methods, ", ") +
                                      " of each input that has them, each valid estimate counting once (a curve "
                                      "without method columns: its c c_se)");
  h.push_back(grid.description);
  h.push_back(
      "each source: its valid estimates, interpolated linearly in ln f and ln c and the standard error linearly in "
      "ln f, an estimate at the frequency taken as it is, none beyond its first and last");
  h.push_back(
      "combined: w_i = 1/se_i^2, c = sum w_i c_i / sum w_i, se = 1/sqrt(sum w_i); where chi2 = sum w_i (c_i - c)^2 "
      "on n-1 dof has an upper tail probability below " +
      textio::Shortest(kAgreementLevel) + ", se is multiplied by sqrt(chi2/(n-1)) and the line says so");
  return h;
}

}  // namespace

void Run(suite::Context& context) {
  const Settings s = ParseArguments(context.args());
  CheckFileNames(context, s);
  std::vector<Input> inputs;
  for (size_t k = 0; k < s.inputs.size(); ++k) inputs.push_back(ReadInput(context, s, k));
  CheckMethods(s, inputs);

  std::vector<Series> series;
  for (const Input& in : inputs) series.insert(series.end(), in.series.begin(), in.series.end());
  if (series.empty()) {
    throw textio::RuntimeError(inputs.size() == 1 ? inputs[0].described + ": nothing to merge"
                                                  : "no input has a valid estimate: nothing to merge");
  }
  for (const Input& in : inputs) {
    if (in.series.empty()) context.Warn(in.described + "; it contributes nothing");
  }
  CheckRangesMeet(inputs);
  const CommonGrid grid = ChooseGrid(s.grid, series);

  std::vector<MergedLine> lines;
  std::vector<Point> estimates;
  for (double f : grid.frequencies) {
    MergedLine line{f, {}, ""};
    estimates.clear();
    for (const Series& one : series) {
      const std::optional<Point> p = one.At(f);
      if (!p) continue;
      estimates.push_back(*p);
      line.sources += (line.sources.empty() ? "" : ";") + one.label;
    }
    line.merged = Combine(estimates);
    lines.push_back(std::move(line));
  }

  // The output file comes into being with its first line: a refusal above
  // leaves no file.
  textio::Output& out = s.output ? context.OutputOnFirstLine(*s.output).out() : context.out();
  WriteTable(out, Header(s, inputs, grid), lines);
}

}  // namespace circdisp
