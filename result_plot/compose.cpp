#include <algorithm>
#include <cmath>

#include "curve/frequency_grid.h"
#include "result_plot/labels.h"
#include "result_plot/legend.h"
#include "result_plot/panels.h"
#include "result_plot/picture.h"
#include "result_plot/theory.h"
#include "textio/errors.h"

namespace circplot {

namespace {

// Frequencies of the curves computed from the true dispersion curve.
constexpr int kTheoryPoints = 200;
// A --radius that differs from the one vantor used by more than this.
constexpr double kRadiusMismatch = 1e-3;

bool AllPositive(const std::vector<Curve>& curves) {
  bool any = false;
  for (const Curve& c : curves) {
    if (c.style == Style::kAxisMarks) continue;
    for (const Point& p : c.points) {
      if (!(p.v > 0.0)) return false;
      any = true;
    }
  }
  return any;
}

// A panel without curves yet; log_y asks for a logarithmic y axis, which
// it gets if all its values turn out positive.
Panel NewPanel(std::string title, std::string ylabel, bool log_y) {
  Panel panel;
  panel.title = std::move(title);
  panel.ylabel = std::move(ylabel);
  panel.log_y = log_y;
  return panel;
}

// The frequencies without a value of one input (NO_ROOT or NO ROOT lines),
// as marks on the frequency axis.
Curve AxisMarks(std::string label, std::string content, int colour, const std::vector<double>& frequencies) {
  std::vector<Point> marks;
  for (double f : frequencies) marks.push_back({f, 0.0});
  return {std::move(label), std::move(content), Style::kAxisMarks, colour, std::move(marks)};
}

// The inputs of one kind, in the order given.
template <typename T>
std::vector<const T*> InputsOf(const std::vector<Input>& inputs) {
  std::vector<const T*> of;
  for (const Input& input : inputs) {
    if (const auto* in = std::get_if<T>(&input)) of.push_back(in);
  }
  return of;
}

// The quantities of a circspec table that circplot draws, by panel.
struct QuantityLabel {
  const char* name;
  const char* label;
};
constexpr QuantityLabel kCoefficients[] = {
    {"spac", "spac (vertical)"}, {"spac_r", "spac_r (radial)"}, {"spac_t", "spac_t (transverse)"}};
constexpr QuantityLabel kCca[] = {{"cca", "cca = G0/G1"}};
constexpr QuantityLabel kHorizontalRatio[] = {{"spac_tr", "spac_tr = spac_t/spac_r"}};

// The curve of the true dispersion curve drawn beside a panel's values.
enum class Theory { kNone, kSpac, kCca };

class Composer {
 public:
  Composer(const Request& request, std::vector<std::string>* notes) : request_(request), notes_(notes) {}

  Picture Compose() {
    for (const SpectraTable* table : InputsOf<SpectraTable>(request_.inputs)) AddSpectra(*table);
    AddDispersion();
    AddNoise();
    for (const InversionRun* run : InputsOf<InversionRun>(request_.inputs)) AddInversion(*run);
    if (picture_.panels.empty()) throw textio::InputError("nothing to draw: no input has a value to show");
    picture_.title = request_.title.empty() ? DerivedTitle() : request_.title;
    picture_.output = request_.output;
    picture_.format = request_.format;
    SetFrequencyAxis();
    for (Panel& panel : picture_.panels) {
      RangeFromData(&panel);
      PlaceLegend(picture_, &panel);
      KeepWithinRange(&panel);
    }
    return std::move(picture_);
  }

 private:
  void Note(const std::string& note) { notes_->push_back(note); }

  void AddPanel(Panel panel, const std::string& what) {
    if (panel.curves.empty()) {
      Note(what + ": nothing to draw, the panel is left out");
      return;
    }
    if (panel.log_y && !AllPositive(panel.curves)) panel.log_y = false;
    picture_.panels.push_back(std::move(panel));
  }

  // One panel of a circspec table's quantities; false if the table has none of them.
  template <size_t N>
  bool AddQuantities(const SpectraTable& table, const QuantityLabel (&quantities)[N], Theory theory, Panel panel) {
    bool present = false;
    int colour = 0;
    for (const QuantityLabel& q : quantities) {
      const Quantity* quantity = table.Find(q.name);
      if (quantity == nullptr) continue;
      present = true;
      if (quantity->points.empty()) {
        Note(Name(table.source) + ": column " + q.name + " has no finite value, it is not drawn");
        continue;
      }
      std::string label = q.label;
      if (quantity->has_se) label += ", bars: 1 standard error";
      if (quantity->not_finite > 0) {
        label += " (" + Frequencies(static_cast<size_t>(quantity->not_finite)) + " without a finite value)";
      }
      const Style style = quantity->has_se ? Style::kErrorLines : Style::kLinesPoints;
      panel.curves.push_back({label, std::string(q.name) + " of " + table.source, style, colour++, quantity->points});
    }
    if (!present) return false;
    // J0(k r) belongs beside the vertical coefficient only.
    if (!panel.curves.empty() &&
        (theory == Theory::kCca || (theory == Theory::kSpac && table.Find("spac") != nullptr))) {
      AddTheory(table, theory, &panel);
    }
    AddPanel(std::move(panel), Name(table.source) + ", " + quantities[0].name);
    return true;
  }

  // The curves of the true dispersion curve for a circspec panel: J0(k r)
  // beside the vertical SPAC coefficient, J0^2/J1^2 beside the CCA ratio.
  void AddTheory(const SpectraTable& table, Theory theory, Panel* panel) {
    if (!request_.truth || !request_.radius) return;
    double fmin = INFINITY, fmax = -INFINITY;
    for (const Quantity& q : table.quantities) {
      for (const Point& p : q.points) {
        fmin = std::min(fmin, p.f);
        fmax = std::max(fmax, p.f);
      }
    }
    const std::vector<double> grid = curve::MakeGrid({fmin, fmax, kTheoryPoints, curve::GridKind::kLog});
    const double r = *request_.radius;
    const std::string truth = Name(request_.truth->source) + ", " + RadiusText(r);
    if (theory == Theory::kSpac) {
      panel->curves.push_back({"J0(k r), k = 2 pi f / c(f) of the true curve " + truth,
                               "J0(k r) of the true curve " + request_.truth->source, Style::kTheory, 0,
                               SpacOfTrueCurve(*request_.truth, r, grid)});
    } else {
      std::vector<Point> points = CcaOfTrueCurve(*request_.truth, r, grid);
      if (points.empty()) return;
      panel->curves.push_back({"J0^2/J1^2 (k r) for k r <= 2.4 (many stations) of " + truth,
                               "J0(k r)^2/J1(k r)^2 of the true curve " + request_.truth->source, Style::kTheory, 0,
                               std::move(points)});
    }
  }

  void AddSpectra(const SpectraTable& table) {
    const std::string name = Name(table.source);
    const std::string ring = request_.radius ? ", ring " + RadiusText(*request_.radius) : "";
    bool any =
        AddQuantities(table, kCoefficients, Theory::kSpac,
                      NewPanel("SPAC coefficients of " + name + ring, "SPAC coefficient (about J0(k r))", false));
    any |= AddQuantities(table, kCca, Theory::kCca,
                         NewPanel("CCA ratio of " + name + ring, "CCA ratio G0/G1 (about J0^2/J1^2)", true));
    any |= AddQuantities(
        table, kHorizontalRatio, Theory::kNone,
        NewPanel("Ratio of the horizontal SPAC coefficients of " + name + ring, "spac_t / spac_r", false));
    if (!any) {
      throw textio::InputError(table.source +
                               ": a circspec table without any of the columns circplot draws "
                               "(spac, spac_r, spac_t, spac_tr, cca)");
    }
    if (request_.truth && !request_.radius) {
      Note("to compare " + name + " with J0(k r) of the true curve, give the ring radius with --radius");
    }
  }

  void AddDispersion() {
    const std::vector<const DispersionCurve*> curves = InputsOf<DispersionCurve>(request_.inputs);
    const bool tables = !InputsOf<SpectraTable>(request_.inputs).empty();
    // A fort.7 given as an input is a resolution limit like one of --fort7.
    std::vector<const ResolutionLimit*> limits;
    for (const ResolutionLimit& limit : request_.limits) limits.push_back(&limit);
    for (const ResolutionLimit* limit : InputsOf<ResolutionLimit>(request_.inputs)) limits.push_back(limit);
    const std::vector<const VelocityTable*> velocity_tables = InputsOf<VelocityTable>(request_.inputs);
    if (curves.empty() && velocity_tables.empty() && limits.empty() && !(request_.truth && !tables)) return;

    // Velocities and frequencies both on logarithmic axes: the ranges span
    // decades, and the limit lines c = lambda f of a fixed wavelength are
    // straight there.
    Panel panel = NewPanel("Phase velocity", "phase velocity (m/s)", true);
    panel.range_from_data = true;
    int colour = 0;
    for (const DispersionCurve* c : curves) {
      const std::string name = Name(c->source);
      // Several outputs in one panel: every entry says which it belongs to.
      const std::string of = curves.size() > 1 ? " (" + name + ")" : "";
      std::optional<double> radius = c->radius ? c->radius : request_.radius;
      if (c->radius && request_.radius && std::fabs(*request_.radius - *c->radius) > kRadiusMismatch * *c->radius) {
        Note("--radius " + LabelNumber(*request_.radius) + " differs from the radius " + LabelNumber(*c->radius) +
             " that vantor used for " + name + " (its third column); the label shows vantor's");
      }
      const std::string label = name + " (vantor" + (radius ? ", " + RadiusText(*radius) : "") + ")";
      if (!c->velocities.empty()) {
        panel.curves.push_back({label, "phase velocities of " + c->source, Style::kLinesPoints, colour, c->velocities});
      }
      if (!c->singular.empty()) {
        panel.curves.push_back({"SINGULAR_POINT (possible pole): " + Frequencies(c->singular.size()) + of,
                                "SINGULAR_POINT lines of " + c->source, Style::kOpenPoints, colour, c->singular,
                                Span::kPoint});
      }
      if (!c->no_root.empty()) {
        panel.curves.push_back(AxisMarks("NO_ROOT: " + Frequencies(c->no_root.size()) + of,
                                         "frequencies of the NO_ROOT lines of " + c->source, colour, c->no_root));
      }
      ++colour;
    }
    for (const VelocityTable* table : velocity_tables) AddTableCurves(*table, request_.all, &colour, &panel);
    for (const VelocityTable* table : velocity_tables) AddRingLimits(*table, &panel, notes_);
    for (const ResolutionLimit* limit : limits) {
      panel.curves.push_back({"resolution limit, " + Name(limit->source) + " (above: not resolved)",
                              "resolution-limit velocities of " + limit->source, Style::kLimit, 0, limit->velocities,
                              Span::kLine});
    }
    if (request_.truth) {
      panel.curves.push_back({"true curve (" + Name(request_.truth->source) + ")",
                              "true dispersion curve " + request_.truth->source, Style::kReference, 0,
                              PointsOf(*request_.truth), Span::kReference});
    }
    AddPanel(std::move(panel), "phase velocity");
  }

  // A row of two panels: the profile and the fit.
  void AddInversion(const InversionRun& run) {
    picture_.panels.push_back(ProfilePanel(run, notes_));
    picture_.panels.push_back(FitPanel(run));
  }

  // The y range of a panel that takes it from its data: the measured
  // values and their error bars (the upper edges of bands) with a margin;
  // failing those the true curve, failing that the limit lines. A limit
  // line (a spike of quillon's fort.7 at one frequency reaches 10^6 m/s) or
  // a doubtful point never widens it.
  void RangeFromData(Panel* panel) {
    if (!panel->range_from_data) return;
    for (const Span span : {Span::kData, Span::kReference, Span::kLine}) {
      double lo = INFINITY, hi = -INFINITY;
      auto extend = [&](double low, double high) {
        if (panel->log_y && !(low > 0.0)) low = high;  // a bar below zero: its value
        if (panel->log_y && !(low > 0.0)) return;
        lo = std::min(lo, low);
        hi = std::max(hi, high);
      };
      for (const Curve& c : panel->curves) {
        if (c.span != span || c.style == Style::kAxisMarks) continue;
        for (const Point& p : c.points) {
          if (!std::isfinite(p.v) || !std::isfinite(p.se)) continue;
          if (c.style == Style::kBand) {
            extend(p.v, std::isfinite(p.upper) ? std::max(p.v, p.upper) : p.v);
          } else {
            extend(p.v - p.se, p.v + p.se);
          }
        }
      }
      if (lo <= hi) {
        panel->yrange = WithMargin(lo, hi, panel->log_y);
        return;
      }
    }
  }

  // Lines clipped to the panel's range; doubtful points outside it counted
  // in their legend entry.
  void KeepWithinRange(Panel* panel) {
    if (!panel->range_from_data || !panel->yrange) return;
    const AxisRange range = *panel->yrange;
    for (Curve& c : panel->curves) {
      if (c.span == Span::kLine || c.span == Span::kReference) {
        c.points = ClipToRange(c.points, range, picture_.log_x, panel->log_y);
      } else if (c.span == Span::kPoint) {
        size_t outside = 0;
        for (const Point& p : c.points) outside += p.v >= range.lo && p.v <= range.hi ? 0 : 1;
        if (outside > 0) c.label += " (" + std::to_string(outside) + " outside the velocity axis)";
      }
    }
  }

  void AddNoise() {
    const std::vector<const NoiseRatios*> ratios = InputsOf<NoiseRatios>(request_.inputs);
    if (ratios.empty()) return;
    Panel panel = NewPanel("Noise-to-signal ratio", "noise-to-signal ratio nsr0", true);
    int colour = 0;
    for (const NoiseRatios* r : ratios) {
      const std::string name = Name(r->source);
      const std::string of = ratios.size() > 1 ? " (" + name + ")" : "";
      if (!r->nsr0.empty()) {
        const std::string missing =
            r->not_finite > 0 ? ", " + Frequencies(static_cast<size_t>(r->not_finite)) + " without a finite value" : "";
        panel.curves.push_back(
            {name + " (quillon" + missing + ")", "nsr0 of " + r->source, Style::kLinesPoints, colour, r->nsr0});
      }
      if (!r->no_root.empty()) {
        panel.curves.push_back(AxisMarks("NO ROOT: " + Frequencies(r->no_root.size()) + of,
                                         "frequencies of the NO ROOT lines of " + r->source, colour, r->no_root));
      }
      ++colour;
    }
    AddPanel(std::move(panel), "noise-to-signal ratio");
  }

  std::string DerivedTitle() const {
    std::vector<std::string> parts;
    for (const Input& input : request_.inputs) {
      std::visit(
          [&](const auto& in) {
            using T = std::decay_t<decltype(in)>;
            std::string kind;
            if constexpr (std::is_same_v<T, SpectraTable>) kind = "circspec";
            if constexpr (std::is_same_v<T, DispersionCurve>) kind = "vantor";
            if constexpr (std::is_same_v<T, NoiseRatios>) kind = "quillon";
            if constexpr (std::is_same_v<T, ResolutionLimit>) kind = "fort.7";
            if constexpr (std::is_same_v<T, VelocityTable>)
              kind = in.writer == "circspec" ? "circspec curve" : in.writer;
            if constexpr (std::is_same_v<T, InversionRun>) kind = "circinv";
            parts.push_back(Name(in.source) + " (" + kind + ")");
          },
          input);
    }
    std::string title;
    for (size_t i = 0; i < parts.size(); ++i) title += (i == 0 ? "" : ", ") + parts[i];
    return title;
  }

  // One frequency axis for all panels, so that features line up. It spans
  // the measured values and the resolution limits; the true curve only
  // when there is nothing else, since it often covers a wider band.
  void SetFrequencyAxis() {
    double fmin = INFINITY, fmax = -INFINITY;
    bool non_positive = false;
    auto span = [&](bool reference) {
      for (const Panel& panel : picture_.panels) {
        if (panel.x_axis != XAxis::kFrequency) continue;
        for (const Curve& c : panel.curves) {
          if ((c.style == Style::kReference) != reference) continue;
          for (const Point& p : c.points) {
            fmin = std::min(fmin, p.f);
            fmax = std::max(fmax, p.f);
            if (!(p.f > 0.0)) non_positive = true;
          }
        }
      }
    };
    span(false);
    if (!(fmin <= fmax)) span(true);
    if (!(fmin <= fmax)) fmin = 1.0, fmax = 10.0;
    picture_.log_x = !non_positive;
    if (non_positive)
      Note("frequencies at or below 0 Hz cannot be shown on a logarithmic axis: the frequency axis is linear");
    if (picture_.log_x) {
      const double pad = std::max(1.05, std::pow(fmax / fmin, 0.02));
      picture_.fmin = fmin / pad;
      picture_.fmax = fmax * pad;
    } else {
      const double pad = fmax > fmin ? 0.02 * (fmax - fmin) : 1.0;
      picture_.fmin = fmin - pad;
      picture_.fmax = fmax + pad;
    }
  }

  const Request& request_;
  std::vector<std::string>* notes_;
  Picture picture_;
};

}  // namespace

Picture Compose(const Request& request, std::vector<std::string>* notes) { return Composer(request, notes).Compose(); }

}  // namespace circplot
