#include "dispersion_curve/common_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "dispersion_curve/table_writer.h"
#include "suite/options.h"
#include "textio/errors.h"
#include "textio/format.h"

namespace circdisp {

namespace {

using curve::GridKind;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t h = v.size() / 2;
  return v.size() % 2 == 1 ? v[h] : 0.5 * (v[h - 1] + v[h]);
}

// The median step between neighbouring valid estimates of `s`.
std::optional<double> MedianStep(const Series& s, GridKind kind) {
  if (s.points.size() < 2) return std::nullopt;
  std::vector<double> steps;
  for (size_t i = 1; i < s.points.size(); ++i) {
    const double a = s.points[i - 1].f, b = s.points[i].f;
    steps.push_back(kind == GridKind::kLog ? std::log(b / a) : b - a);
  }
  return Median(std::move(steps));
}

// The default count and the words that explain it.
int DefaultCount(const curve::GridChoice& g, const std::vector<Series>& series, std::string* why) {
  if (g.fmin == g.fmax) {
    *why = "one frequency, the ends coincide";
    return 1;
  }
  std::optional<double> finest;
  const Series* of = nullptr;
  for (const Series& s : series) {
    const std::optional<double> step = MedianStep(s, g.kind);
    if (step && (!finest || *step < *finest)) {
      finest = step;
      of = &s;
    }
  }
  if (!finest) {
    // Every series is a single estimate: as many grid frequencies as
    // there are such estimates' frequencies, and the two ends at least.
    std::set<double> distinct;
    for (const Series& s : series) distinct.insert(s.points.front().f);
    *why = "no input has two valid estimates: as many as the inputs' distinct frequencies";
    return std::max<int>(2, static_cast<int>(distinct.size()));
  }
  const double span = g.kind == GridKind::kLog ? std::log(g.fmax / g.fmin) : g.fmax - g.fmin;
  // A quotient within rounding of a whole number of steps is that number.
  const double steps = std::ceil(span / *finest - 1e-6);
  const int count = static_cast<int>(std::min<double>(steps + 1, kMaxGridCount));
  *why = "ceil(span/step) + 1 for the finest step of the inputs, the median step of " + of->label + ", " +
         (g.kind == GridKind::kLog ? textio::Shortest(Rounded(100 * std::expm1(*finest), 3)) + " % in f"
                                   : textio::Shortest(Rounded(*finest, 3)) + " Hz") +
         (count == kMaxGridCount ? ", cut to " + std::to_string(kMaxGridCount) + " frequencies" : "");
  return count;
}

}  // namespace

CommonGrid ChooseGrid(const GridRequest& request, const std::vector<Series>& series) {
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  for (const Series& s : series) {
    lo = std::min(lo, s.fmin());
    hi = std::max(hi, s.fmax());
  }
  CommonGrid grid;
  curve::GridChoice& g = grid.choice;
  g.kind = request.kind;
  g.fmin = request.fmin.value_or(lo);
  g.fmax = request.fmax.value_or(hi);
  if (g.fmin > g.fmax) {
    // Both given are checked on the command line; here one end is the
    // inputs'.
    if (request.fmin) {
      throw suite::OptionValueError("fmin",
                                    "a frequency up to the inputs' highest valid one, " + textio::Shortest(hi) + " Hz",
                                    textio::Shortest(g.fmin));
    }
    throw suite::OptionValueError("fmax",
                                  "a frequency from the inputs' lowest valid one, " + textio::Shortest(lo) + " Hz",
                                  textio::Shortest(g.fmax));
  }
  std::string why = "given";
  g.count = request.count ? *request.count : DefaultCount(g, series, &why);
  if (g.fmin == g.fmax && g.count != 1) {
    throw suite::OptionValueError("nfreq", "1 for a grid from " + textio::Shortest(g.fmin) + " Hz to itself",
                                  std::to_string(g.count));
  }
  grid.frequencies = curve::MakeGrid(g);
  // The table writes 9 significant digits: two grid frequencies that
  // print alike would be one frequency given twice to every reader.
  for (size_t i = 1; i < grid.frequencies.size(); ++i) {
    if (FrequencyText(grid.frequencies[i]) == FrequencyText(grid.frequencies[i - 1])) {
      throw textio::RuntimeError("the grid's " + std::to_string(g.count) + " frequencies from " +
                                 textio::Shortest(g.fmin) + " to " + textio::Shortest(g.fmax) +
                                 " Hz are closer than the table's 9 digits tell apart; give a smaller --nfreq");
    }
  }
  const std::string ends = request.fmin && request.fmax ? "given"
                           : request.fmin               ? "fmin given, fmax the inputs' highest valid frequency"
                           : request.fmax               ? "fmax given, fmin the inputs' lowest valid frequency"
                                                        : "the inputs' lowest and highest valid frequency";
  grid.description = std::string(g.kind == GridKind::kLog ? "log" : "linear") + " grid, " + std::to_string(g.count) +
                     (g.count == 1 ? " frequency" : " frequencies") + " from " + textio::Shortest(g.fmin) + " to " +
                     textio::Shortest(g.fmax) + " Hz (ends: " + ends + "; count: " + why + ")";
  return grid;
}

}  // namespace circdisp
