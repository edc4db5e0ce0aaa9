#ifndef CIRCARRAY_RESULT_PLOT_INPUTS_H_
#define CIRCARRAY_RESULT_PLOT_INPUTS_H_

#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "curve/curve_file.h"

namespace circplot {

// One value against frequency, with its standard error (0 when the input
// has none). In a panel whose horizontal axis is not frequency (a
// shear-velocity profile) `f` is the horizontal value (vs) and `v` the
// vertical one (depth).
struct Point {
  double f = 0.0;
  double v = 0.0;
  double se = 0.0;
  // A frequency without a value (NO_ROOT) lies between this point and the
  // one before: a line through the points is broken here.
  bool gap_before = false;
  // The upper edge of a band (whose lower edge is v), or the value a
  // shaded curve's colour stands for (a model's misfit).
  double upper = 0.0;
};

// One quantity of a circspec table: its column name ("spac", "cca", ...),
// the finite values and how many frequencies had none.
struct Quantity {
  std::string name;
  bool has_se = false;
  std::vector<Point> points;
  long not_finite = 0;
};

// A circspec table: per-frequency array quantities with jackknife errors.
struct SpectraTable {
  std::string source;
  std::vector<Quantity> quantities;  // in the table's column order

  const Quantity* Find(const std::string& name) const {
    for (const Quantity& q : quantities) {
      if (q.name == name) return &q;
    }
    return nullptr;
  }
};

// vantor's output: phase velocities where a root was found, the possible
// poles (SINGULAR_POINT), and the frequencies without a root (NO_ROOT).
struct DispersionCurve {
  std::string source;
  std::vector<Point> velocities;
  std::vector<Point> singular;
  std::vector<double> no_root;
  // The array radius vantor used, from velocity/(radius*frequency) on the
  // lines with a root (none if there is no such line).
  std::optional<double> radius;
};

// quillon's standard output: the noise-to-signal ratio nsr0 where the
// coherence model has a root, and the frequencies where it has none.
struct NoiseRatios {
  std::string source;
  std::vector<Point> nsr0;
  std::vector<double> no_root;
  long not_finite = 0;  // lines whose nsr0 is NaN or infinite
};

// quillon's fort.7: the phase velocity at the resolution limit per
// frequency (longer waves are not resolved by the array).
struct ResolutionLimit {
  std::string source;
  std::vector<Point> velocities;
};

// A dispersion-curve table of circspec --for curve or circdisp: per
// frequency the phase velocity and its standard error, per method of
// circspec (c_<m>, flag_<m>) or the best column alone.
struct VelocityTable {
  std::string source;
  std::string writer;  // "circspec" or "circdisp", from the first header line

  // One curve of the table: a method of circspec, or the best column.
  struct Series {
    std::string method;                         // "" for the best column
    std::vector<Point> valid;                   // flag "ok" (or no flag column); gap_before where a row lies between
    std::vector<Point> invalid;                 // flag other than "ok"
    std::map<std::string, long> invalid_flags;  // how many of each flag
  };
  std::vector<Series> series;

  // The ring the curve comes from ("# curve of ring 1: radius 10 m, 5
  // stations"), if the table names it.
  std::optional<double> radius;
  std::optional<int> stations;
  // The table's noise-to-signal ratio column eps where it is a number >= 0.
  std::vector<Point> eps;
};

// A layered model as circplot draws it: shear velocities top down, the
// half-space last.
struct ShearModel {
  std::vector<double> thickness;  // one per layer above the half-space (m)
  std::vector<double> vs;         // one per layer and the half-space (m/s)
  double misfit = 0.0;            // in an ensemble
  bool searched = true;           // made by the neighbourhood search (not by the polish or the walk)
};

// The result directory of circinv: the shear-velocity profile and the fit
// of the acceptable models to the observed curves.
struct InversionRun {
  std::string source;  // the directory as given
  // profile.txt: depth (v) against the quantiles of vs (f).
  std::vector<Point> p10, p50, p90, best_vs;
  double max_depth = 0.0;          // the depth the data constrain: the last depth of profile.txt
  std::string vs30;                // its Vs30 header line, "" if none
  std::optional<ShearModel> best;  // best_model.txt, if present
  // ensemble.txt, if present: the acceptable models, by increasing misfit,
  // at most kMaxDrawnModels of them (the best).
  std::vector<ShearModel> ensemble;
  long models = 0;          // models in ensemble.txt
  long acceptable = 0;      // the acceptable models among them
  bool misfit_rule = true;  // acceptable = misfit <= 1 (else the best 5 %)
  bool has_ensemble = false;
  std::optional<double> best_misfit;  // the lowest misfit of ensemble.txt

  // fit.txt, one per wave (its block's "# rayleigh" or "# love").
  struct Fit {
    std::string wave;
    std::vector<Point> observed;  // c_observed with sigma
    std::vector<Point> best;      // the best model's c
    std::vector<Point> band;      // c_p10 (v) to c_p90 (upper)
  };
  std::vector<Fit> fits;
};

// The most models of the ensemble drawn in a profile: the lines of more
// only darken the picture and swell the script.
inline constexpr long kMaxDrawnModels = 1000;

using Input = std::variant<SpectraTable, DispersionCurve, NoiseRatios, ResolutionLimit, VelocityTable, InversionRun>;

// What was read from one input, and the message line of the program that
// wrote it if its run stopped early (a last line "ERROR..." or "Error...").
struct ReadInput {
  Input input;
  std::optional<std::string> stop_message;
  long stop_line = 0;
};

// A reference dispersion curve (frequency, phase velocity) to compare
// with: a curve file (--true).
using TrueCurve = curve::Curve;

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_INPUTS_H_
