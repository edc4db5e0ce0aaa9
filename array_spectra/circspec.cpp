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
#include "array_spectra/analysis.h"
#include "array_spectra/output_forms.h"
#include "array_spectra/quantities.h"
#include "array_spectra/station_source.h"
#include "ratio_inversion/vantor_format.h"
#include "suite/options.h"
#include "suite/runtime.h"
#include "textio/errors.h"
#include "textio/format.h"
#include "textio/number.h"
#include "textio/output.h"

namespace circspec {

namespace {

constexpr suite::Option kOptions[] = {
    {"window", true},      {"overlap", true},   {"reject", true}, {"fmin", true}, {"fmax", true},
    {"nfreq", true},       {"grid", true},      {"smooth", true}, {"ring", true}, {"for", true},
    {"output", true, 'o'}, {"component", true}, {"wave", true},
};

using suite::OptionValueError;
using suite::UsageError;

enum class FormKind { kTable, kVantor, kQuillon };
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
  Form form;
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
  if (text == "quillon") return {FormKind::kQuillon, 0};
  int32_t itype = 0;
  if (text.starts_with("vantor:") && textio::ParseInt32(text.substr(7), &itype) && vantor::FindItype(itype)) {
    return {FormKind::kVantor, itype};
  }
  throw OptionValueError("for", "table, vantor:ITYPE (ITYPE " + ItypeCodes() + ") or quillon", text);
}

// The quantity vantor's model of `itype` compares with, for the wave the
// horizontal models are solved for.
Quantity QuantityOfItype(int itype, Wave wave) {
  const vantor::Itype& t = *vantor::FindItype(itype);
  return *QuantityNamed(wave == Wave::kLove && !t.observed_love.empty() ? t.observed_love : t.observed);
}

bool IsHorizontalItype(int itype) { return IsHorizontal(*vantor::FindItype(itype)); }

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
  if (const std::optional<std::string> form = line.Text("for")) o.form = ParseForm(*form);
  o.output = line.Text("output");
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

size_t ChooseRing(const array::Layout& layout, std::optional<double> radius) {
  if (!radius) return 0;
  for (size_t r = 0; r < layout.rings.size(); ++r) {
    if (std::fabs(layout.rings[r].radius - *radius) <= array::kRingTolerance * layout.rings[r].radius) return r;
  }
  std::string rings;
  for (const array::Ring& r : layout.rings) rings += (rings.empty() ? "" : ", ") + textio::Shortest(r.radius) + " m";
  throw textio::RuntimeError("--ring " + textio::Shortest(*radius) + ": no ring of that radius in " + layout.file +
                             " (rings: " + rings + ")");
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
  }
  for (Quantity q : needed) {
    if (std::string why = WhyUnavailable(q, channels); !why.empty()) {
      throw textio::RuntimeError(
          std::string("--for ") +
          (form.kind == FormKind::kQuillon ? "quillon" : "vantor:" + std::to_string(form.itype)) + ": " + why);
    }
  }
  return needed;
}

std::vector<std::string> TableHeader(const array::Layout& layout, size_t ring, const Options& o,
                                     const SpectralSums& sums) {
  std::vector<std::string> h;
  h.push_back("circspec (circarray) " + std::string(suite::Version()));
  std::string stations = "layout " + layout.file + ": " + std::to_string(layout.stations.size()) + " stations";
  if (layout.centre) stations += "; centre " + layout.stations[*layout.centre].name;
  for (size_t r = 0; r < layout.rings.size(); ++r) {
    stations += "; ring " + std::to_string(r + 1) + " radius " + textio::Shortest(layout.rings[r].radius) + " m:";
    for (size_t s : layout.rings[r].stations) stations += " " + layout.stations[s].name;
  }
  h.push_back(stations);
  const double dt = sums.dt;
  h.push_back("records: dt " + textio::Shortest(dt) + " s, first sample at " + textio::Shortest(sums.start_time) +
              " s, " + std::to_string(sums.samples_used) + " samples (" +
              textio::Shortest(static_cast<double>(sums.samples_used) * dt) + " s) in the segments");
  h.push_back("segments: window " + textio::Shortest(static_cast<double>(sums.window_samples) * dt) + " s (" +
              std::to_string(sums.window_samples) + " samples), step " + std::to_string(sums.step_samples) +
              " samples (overlap " + textio::Shortest(o.analysis.overlap) + "), reject " +
              textio::Shortest(o.analysis.reject) + (o.analysis.reject > 0 ? "" : " (off)") + "; kept " +
              std::to_string(sums.kept) + ", dropped " + std::to_string(sums.dropped));
  h.push_back("frequencies: " + std::to_string(sums.frequencies.size()) + " on a " +
              (o.analysis.grid == curve::GridKind::kLog ? "log" : "linear") + " grid from " +
              textio::Shortest(sums.frequencies.front()) + " to " + textio::Shortest(sums.frequencies.back()) +
              " Hz; smoothing " + Describe(o.analysis.smoothing));
  if (o.analysis.component == Component::kHorizontal) {
    h.push_back(
        "components e and n, the centre's and each ring station's projected on the station's azimuth: "
        "radial R = e cos(theta) + n sin(theta), transverse T = -e sin(theta) + n cos(theta)");
  }
  h.push_back("quantities of ring " + std::to_string(ring + 1) + " (radius " +
              textio::Shortest(layout.rings[ring].radius) + " m, " +
              std::to_string(layout.rings[ring].stations.size()) +
              " stations); standard errors by the delete-one-group jackknife over " +
              std::to_string(sums.groups.size()) + " groups of consecutive segments");
  return h;
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

void Compute(suite::Context& context, const Options& o) {
  const array::Layout layout = array::ReadLayout(context, o.layout);
  const ArrayGeometry geometry = GeometryOf(layout);
  const ChannelLayout channels(geometry, o.analysis.component);
  const size_t ring = ChooseRing(layout, o.ring_radius);
  const std::vector<Quantity> quantities = NeededQuantities(o.form, o.wave, channels);
  if (o.output) {
    const std::filesystem::path folder = std::filesystem::path(*o.output).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(context.Resolve(folder.string()))) {
      throw textio::RuntimeError(suite::CreateFailure(*o.output) + ": no folder \"" + folder.string() + "\"");
    }
  }
  // The output file comes into being with its first line, after the
  // analysis: an error before it leaves no file.
  suite::OutputFile* file = o.output ? &context.OutputOnFirstLine(*o.output) : nullptr;

  const bool horizontal = o.analysis.component == Component::kHorizontal;
  auto open = [&context, &layout, horizontal] {
    Sources sources;
    // The vertical component of every station, or its east and north.
    constexpr seisio::Component kVertical[] = {seisio::Component::kU};
    constexpr seisio::Component kEastNorth[] = {seisio::Component::kE, seisio::Component::kN};
    for (const array::Station& s : layout.stations) {
      const std::span<const seisio::Component> wanted =
          horizontal ? std::span<const seisio::Component>(kEastNorth) : std::span<const seisio::Component>(kVertical);
      Sources station = OpenStation(context, s, wanted);
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
  switch (o.form.kind) {
    case FormKind::kTable:
      WriteTable(out, TableHeader(layout, ring, o, sums), sums.frequencies, columns, sums.kept);
      break;
    case FormKind::kVantor: {
      const bool two = o.form.itype == 10 || o.form.itype == 11;
      const double radius = layout.rings[two ? 0 : ring].radius;
      const std::optional<double> inner = two ? std::optional<double>(layout.rings[1].radius) : std::nullopt;
      left_out =
          WriteVantor(out, o.form.itype, radius, inner, sums.frequencies.back(), sums.frequencies, columns[0].series);
      break;
    }
    case FormKind::kQuillon:
      left_out = WriteQuillon(out, layout.rings[ring].radius, static_cast<int>(layout.rings[ring].stations.size()),
                              sums.frequencies, columns[0].series, columns[1].series, columns[2].series);
      break;
  }
  if (file != nullptr) context.Close(*file);
  if (left_out > 0) {
    context.Warn(std::to_string(left_out) + " of " + std::to_string(sums.frequencies.size()) +
                 " frequencies left out: their values are not finite");
  }
  if (o.analysis.reject > 0 && o.form.kind != FormKind::kTable) {
    context.Warn("segments kept " + std::to_string(sums.kept) + ", dropped " + std::to_string(sums.dropped) +
                 " (--reject " + textio::Shortest(o.analysis.reject) + ")");
  }
}

}  // namespace

void Run(suite::Context& context) { Compute(context, ParseCommandLine(context.args())); }

}  // namespace circspec
