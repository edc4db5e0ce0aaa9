// The command line of circspec: options, the layout, the run, the output.
#include "suite/files.h"
#include "suite/programs.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "array/layout.h"
#include "array/rings.h"
#include "array_spectra/analysis.h"
#include "array_spectra/curve_models.h"
#include "array_spectra/dispersion_estimate.h"
#include "array_spectra/output_forms.h"
#include "array_spectra/quantities.h"
#include "array_spectra/station_source.h"
#include "array_spectra/table_header.h"
#include "ratio_inversion/vantor_format.h"
#include "seisio/day_time.h"
#include "suite/options.h"
#include "suite/runtime.h"
#include "textio/errors.h"
#include "textio/format.h"
#include "textio/number.h"
#include "textio/output.h"

namespace circspec {

namespace {

constexpr suite::Option kOptions[] = {
    {"window", true},      {"overlap", true},   {"reject", true}, {"fmin", true},           {"fmax", true},
    {"nfreq", true},       {"grid", true},      {"smooth", true}, {"ring", true},           {"for", true},
    {"output", true, 'o'}, {"component", true}, {"wave", true},   {"ring-tolerance", true}, {"start", true},
    {"end", true},         {"max-se", true},
};

using suite::OptionValueError;
using suite::UsageError;

enum class FormKind { kTable, kCurve, kVantor, kQuillon };
struct Form {
  FormKind kind = FormKind::kTable;
  int itype = 0;
};

// The wave type a horizontal SPAC coefficient is read as (--wave).
enum class Wave { kUnset, kLove, kRayleigh };

struct Options {
  AnalysisOptions analysis;
  Wave wave = Wave::kUnset;
  std::optional<double> ring_radius;
  double ring_tolerance = array::kDefaultRingTolerance;
  Form form;
  CurveRules curve_rules;
  std::optional<std::string> output;
  std::string layout;
};

SmoothingChoice ParseSmoothing(const std::string& text) {
  SmoothingChoice s;
  if (text == "none") {
    s.kind = SmoothingChoice::Kind::kNone;
    s.parameter = 0;
    return s;
  }
  const size_t colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  if (kind == "ko") {
    s.kind = SmoothingChoice::Kind::kKonnoOhmachi;
  } else if (kind == "parzen") {
    s.kind = SmoothingChoice::Kind::kParzen;
  } else {
    throw OptionValueError("smooth", "ko:B, parzen:BW or none", text);
  }
  if (colon == std::string::npos) {
    if (s.kind == SmoothingChoice::Kind::kParzen) {
      throw OptionValueError("smooth", "parzen:BW with the bandwidth BW in Hz", text);
    }
    return s;  // ko:40
  }
  if (!textio::ParseDouble(text.substr(colon + 1), &s.parameter) || !std::isfinite(s.parameter) || !(s.parameter > 0)) {
    throw OptionValueError("smooth", kind + ":X with a positive number X", text);
  }
  return s;
}

bool IsHorizontal(const vantor::Itype& t) { return !t.observed_love.empty(); }

// "1, 2, 3, ... or 23": vantor's type codes (the horizontal ones only), for
// messages.
std::string ItypeCodes(bool horizontal_only = false) {
  std::vector<std::string> codes;
  for (const vantor::Itype& t : vantor::kItypes) {
    if (!horizontal_only || IsHorizontal(t)) codes.push_back(std::to_string(t.code));
  }
  return suite::CommandLine::Alternatives({codes.begin(), codes.end()});
}

Form ParseForm(const std::string& text) {
  if (text == "table") return {FormKind::kTable, 0};
  if (text == "curve") return {FormKind::kCurve, 0};
  if (text == "quillon") return {FormKind::kQuillon, 0};
  int32_t itype = 0;
  if (text.starts_with("vantor:") && textio::ParseInt32(text.substr(7), &itype) && vantor::FindItype(itype)) {
    return {FormKind::kVantor, itype};
  }
  throw OptionValueError("for", "table, curve, vantor:ITYPE (ITYPE " + ItypeCodes() + ") or quillon", text);
}

// The quantity vantor's model of `itype` compares with, for the wave the
// horizontal models are solved for.
Quantity QuantityOfItype(int itype, Wave wave) {
  const vantor::Itype& t = *vantor::FindItype(itype);
  return *QuantityNamed(wave == Wave::kLove && !t.observed_love.empty() ? t.observed_love : t.observed);
}

bool IsHorizontalItype(int itype) { return IsHorizontal(*vantor::FindItype(itype)); }

// --start or --end: seconds after the first common sample, or a UTC
// date-time.
SpanChoice::Bound SpanBound(std::string_view option, const std::string& text) {
  SpanChoice::Bound bound;
  if (const std::optional<int64_t> utc = seisio::ParseIsoTime(text)) {
    bound.utc_ns = utc;
  } else if (!textio::ParseDouble(text, &bound.seconds) || !std::isfinite(bound.seconds) || bound.seconds < 0) {
    throw OptionValueError(option,
                           "seconds (0 or more) after the first common sample, or a UTC date-time "
                           "YYYY-MM-DDTHH:MM:SS[.ffffff][Z]",
                           text);
  }
  return bound;
}

Options ParseCommandLine(const std::vector<std::string>& args) {
  const suite::CommandLine line(args, kOptions);
  Options o;
  AnalysisOptions& a = o.analysis;
  a.window = line.Number("window", suite::Positive("a positive number of seconds")).value_or(a.window);
  a.overlap = line.Number("overlap", {"a fraction 0 <= F < 1", 0, false, 1, true}).value_or(a.overlap);
  a.reject = line.Number("reject", suite::NotNegative("a factor K >= 0")).value_or(a.reject);
  a.fmin = line.Number("fmin", suite::Positive("a positive frequency in Hz"));
  a.fmax = line.Number("fmax", suite::Positive("a positive frequency in Hz"));
  a.frequencies = line.Integer("nfreq", 1, 100000, "a count from 1 to 100000").value_or(a.frequencies);
  a.grid = line.Keyword<curve::GridKind>("grid", {{"log", curve::GridKind::kLog}, {"linear", curve::GridKind::kLinear}})
               .value_or(a.grid);
  if (const std::optional<std::string> smooth = line.Text("smooth")) a.smoothing = ParseSmoothing(*smooth);
  a.component = line.Keyword<Component>("component", {{"v", Component::kVertical}, {"h", Component::kHorizontal}})
                    .value_or(a.component);
  o.ring_radius = line.Number("ring", suite::Positive("a ring radius in metres"));
  o.ring_tolerance =
      line.Number("ring-tolerance", {"a relative tolerance 0 < F < 1", 0, true, 1, true}).value_or(o.ring_tolerance);
  if (const std::optional<std::string> start = line.Text("start")) a.span.start = SpanBound("start", *start);
  if (const std::optional<std::string> end = line.Text("end")) a.span.end = SpanBound("end", *end);
  if (const std::optional<std::string> form = line.Text("for")) o.form = ParseForm(*form);
  o.output = line.Text("output");
  // The curve's models describe the smoothed spectra near each output
  // frequency (SmoothingMoments): its windows stop at their first zeros.
  if (o.form.kind == FormKind::kCurve) a.smoothing.main_lobe = true;
  if (const std::optional<double> max_se = line.Number("max-se", {"a relative error 0 < E <= 1", 0, true, 1, false})) {
    if (o.form.kind != FormKind::kCurve) throw UsageError("--max-se applies only to --for curve");
    o.curve_rules.max_se = *max_se;
  }
  o.wave = line.Keyword<Wave>("wave", {{"love", Wave::kLove}, {"rayleigh", Wave::kRayleigh}}).value_or(Wave::kUnset);

  const bool horizontal_itype = o.form.kind == FormKind::kVantor && IsHorizontalItype(o.form.itype);
  if (horizontal_itype && o.wave == Wave::kUnset) {
    throw UsageError("--for vantor:" + std::to_string(o.form.itype) +
                     " needs --wave love or --wave rayleigh: the radial and transverse coefficients swap roles");
  }
  if (!horizontal_itype && o.wave != Wave::kUnset) {
    throw UsageError("--wave applies only to the horizontal models of --for vantor:ITYPE (" + ItypeCodes(true) + ")");
  }
  const std::vector<std::string>& operands = line.operands();
  if (operands.empty()) throw UsageError("missing the layout file: circspec [options] LAYOUT");
  if (operands.size() > 1) throw UsageError("one layout file expected, got also '" + operands[1] + "'");
  o.layout = operands[0];
  return o;
}

size_t ChooseRing(const array::Layout& layout, const array::RingLayout& rings, std::optional<double> radius,
                  double tolerance) {
  if (!radius) return 0;
  for (size_t r = 0; r < rings.rings.size(); ++r) {
    if (std::fabs(rings.rings[r].radius - *radius) <= tolerance * rings.rings[r].radius) return r;
  }
  std::string list;
  for (const array::Ring& r : rings.rings) list += (list.empty() ? "" : ", ") + textio::Shortest(r.radius) + " m";
  throw textio::RuntimeError("--ring " + textio::Shortest(*radius) + ": no ring of that radius in " + layout.file +
                             " (rings: " + list + ")");
}

// The quantities the chosen output form needs; throws if the layout
// cannot give one of them.
std::vector<Quantity> NeededQuantities(const Form& form, Wave wave, const ChannelLayout& channels) {
  std::vector<Quantity> needed;
  switch (form.kind) {
    case FormKind::kTable:
      needed = AvailableQuantities(channels);
      if (needed.empty()) {
        // Only the horizontal components without a centre give nothing.
        throw textio::RuntimeError(
            "--component h: the horizontal SPAC coefficients project the centre's motion "
            "on each station's azimuth, and the layout has no centre station (radius 0)");
      }
      return needed;
    case FormKind::kVantor:
      needed = {QuantityOfItype(form.itype, wave)};
      break;
    case FormKind::kQuillon:
      needed = {Quantity::kCoh, Quantity::kSpac, Quantity::kCca};
      break;
    case FormKind::kCurve:
      // CCA, the one quantity every vertical ring gives; the others as
      // the layout allows (CurveMethodsOf).
      needed = {Quantity::kCca};
      break;
  }
  for (Quantity q : needed) {
    if (std::string why = WhyUnavailable(q, channels); !why.empty()) {
      throw textio::RuntimeError(std::string("--for ") +
                                 (form.kind == FormKind::kQuillon ? "quillon"
                                  : form.kind == FormKind::kCurve ? "curve"
                                                                  : "vantor:" + std::to_string(form.itype)) +
                                 ": " + why);
    }
  }
  return needed;
}

// A line on standard error that follows the reading, while standard error
// is a terminal.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err) : err_(err) {}
  ~ProgressLine() {
    if (shown_) err_ << "\r\033[K" << std::flush;
  }
  void operator()(long segments, double seconds) {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(250)) return;
    last_ = now;
    shown_ = true;
    const long s = static_cast<long>(seconds);
    auto two_digits = [](long v) {
      std::string text(v < 10 ? 1 : 0, '0');
      text += std::to_string(v);
      return text;
    };
    err_ << "\rcircspec: " << std::to_string(segments) << " segments, " << std::to_string(s / 3600) << ':'
         << two_digits(s / 60 % 60) << ':' << two_digits(s % 60) << " of record" << std::flush;
  }

 private:
  std::ostream& err_;
  std::chrono::steady_clock::time_point last_{};
  bool shown_ = false;
};

// The line that says how far a ring's stations lie from the radius that
// vantor's and quillon's models take, one radius for the whole ring; none
// for a ring whose stations lie at one radius (to 0.05 %).
std::optional<std::string> SpreadNote(const array::RingLayout& rings, size_t ring, const char* program) {
  const array::Ring& r = rings.rings[ring];
  if (std::max(-r.spread_low, r.spread_high) < 5e-4) return std::nullopt;
  return "ring " + std::to_string(ring + 1) + ": " + program + " takes the mean radius " + textio::Shortest(r.radius) +
         " m; the stations lie " + textio::Shortest(std::round(r.spread_low * 1000) / 10) + " % to +" +
         textio::Shortest(std::round(r.spread_high * 1000) / 10) + " % from it";
}

void Compute(suite::Context& context, const Options& o) {
  const array::Layout layout = array::ReadLayout(context, o.layout);
  const array::RingLayout rings = array::FormRings(layout, o.ring_tolerance);
  const ArrayGeometry geometry = GeometryOf(layout, rings);
  const ChannelLayout channels(geometry, o.analysis.component);
  const size_t ring = ChooseRing(layout, rings, o.ring_radius, o.ring_tolerance);
  const std::vector<Quantity> quantities = NeededQuantities(o.form, o.wave, channels);
  if (o.output) {
    const std::filesystem::path folder = std::filesystem::path(*o.output).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(context.Resolve(folder.string()))) {
      throw textio::RuntimeError(suite::CreateFailure(*o.output) + ": no folder \"" + folder.string() + "\"");
    }
  }
  for (size_t s : rings.left_out) context.Warn(array::DescribeLeftOut(layout, rings, s));
  // The output file comes into being with its first line, after the
  // analysis: an error before it leaves no file.
  suite::OutputFile* file = o.output ? &context.OutputOnFirstLine(*o.output) : nullptr;

  const bool horizontal = o.analysis.component == Component::kHorizontal;
  auto open = [&context, &layout, &geometry, horizontal] {
    Sources sources;
    // The vertical component of every station used, or its east and north.
    constexpr seisio::Component kVertical[] = {seisio::Component::kU};
    constexpr seisio::Component kEastNorth[] = {seisio::Component::kE, seisio::Component::kN};
    for (size_t s : geometry.layout_index) {
      const std::span<const seisio::Component> wanted =
          horizontal ? std::span<const seisio::Component>(kEastNorth) : std::span<const seisio::Component>(kVertical);
      Sources station = OpenStation(context, layout.stations[s], wanted);
      for (auto& source : station) sources.push_back(std::move(source));
    }
    return sources;
  };
  std::optional<ProgressLine> progress_line;
  ProgressFn progress;
  if (context.stderr_is_terminal()) {
    progress_line.emplace(context.err());
    progress = [&progress_line](long n, double seconds) { (*progress_line)(n, seconds); };
  }
  const SpectralSums sums = Analyse(geometry, open, o.analysis, progress);
  progress_line.reset();

  std::vector<Column> columns;
  for (Quantity q : quantities) columns.push_back({q, Estimate(q, channels, ring, sums)});

  textio::Output& out = file != nullptr ? file->out() : context.out();
  long left_out = 0;
  std::vector<std::optional<std::string>> notes;
  switch (o.form.kind) {
    case FormKind::kTable:
      WriteTable(out, TableHeader({layout, rings, geometry, o.analysis, sums, ring}), sums.frequencies, columns,
                 sums.kept);
      break;
    case FormKind::kVantor: {
      const bool two = vantor::FindItype(o.form.itype)->reads_radius2;
      const size_t used = two ? 0 : ring;
      const double radius = rings.rings[used].radius;
      const std::optional<double> inner = two ? std::optional<double>(rings.rings[1].radius) : std::nullopt;
      left_out =
          WriteVantor(out, o.form.itype, radius, inner, sums.frequencies.back(), sums.frequencies, columns[0].series);
      notes.push_back(SpreadNote(rings, used, "vantor"));
      if (two) notes.push_back(SpreadNote(rings, 1, "vantor"));
      break;
    }
    case FormKind::kCurve: {
      const CurveModels models(geometry, ring);
      const DispersionCurve curve = EstimateCurve(models, channels, ring, sums, o.analysis.smoothing, o.curve_rules);
      std::vector<std::string> header = TableHeader({layout, rings, geometry, o.analysis, sums, ring});
      for (std::string& line : DescribeCurve(models, o.curve_rules, ring, CurveMethodsOf(channels)))
        header.push_back(std::move(line));
      WriteCurve(out, header, models.radius(), curve);
      break;
    }
    case FormKind::kQuillon:
      left_out = WriteQuillon(out, rings.rings[ring].radius, static_cast<int>(rings.rings[ring].stations.size()),
                              sums.frequencies, columns[0].series, columns[1].series, columns[2].series);
      notes.push_back(SpreadNote(rings, ring, "quillon"));
      break;
  }
  if (file != nullptr) context.Close(*file);
  for (const std::optional<std::string>& note : notes) {
    if (note) context.Warn(*note);
  }
  if (left_out > 0) {
    context.Warn(std::to_string(left_out) + " of " + std::to_string(sums.frequencies.size()) +
                 " frequencies left out: their values are not finite");
  }
  if (sums.dropped > 0) {
    std::string ranges;
    for (const std::string& r : DroppedRanges(sums)) ranges += (ranges.empty() ? "" : "; ") + r;
    context.Warn("dropped " + std::to_string(sums.dropped) + " of " + std::to_string(sums.segments) +
                 " segments as transients (a station louder than " + textio::Shortest(o.analysis.reject) +
                 " times its median; --reject): " + ranges);
  }
  if (sums.broken > 0) {
    context.Warn("left out " + std::to_string(sums.broken) + " of " + std::to_string(sums.segments) +
                 " segments that hold gaps, overlaps or clock jumps of the records (listed in the table header)");
  }
}

}  // namespace

void Run(suite::Context& context) { Compute(context, ParseCommandLine(context.args())); }

}  // namespace circspec
