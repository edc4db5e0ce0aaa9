// The command line of circspec: options, the layout, the run, the output.
#include "array_spectra/circspec.h"

#include <getopt.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "array/layout.h"
#include "array_spectra/analysis.h"
#include "array_spectra/number_text.h"
#include "array_spectra/output_forms.h"
#include "array_spectra/quantities.h"
#include "array_spectra/record_reader.h"
#include "textio/errors.h"
#include "textio/number.h"
#include "textio/output.h"
#include "textio/program.h"

namespace circspec {

namespace {

constexpr char kHelp[] = R"(Usage: circspec [options] LAYOUT

From the records of a circular array to the observed quantities per
frequency: SPAC coefficient, coherence, CCA ratio and their relatives,
each with a jackknife standard error, as a table or as the input of
vantor or quillon.

LAYOUT: one station per line, 'name azimuth radius file' ('#' starts a
comment): azimuth in degrees counterclockwise from east, radius in metres
(0 for the centre station, at most one), file relative to the layout's
folder. Stations on one radius (within 0.5 %) form a ring of 3 or more;
one or two rings. Each record: lines 'time u e n' (column file; the
vertical u is used) or 'time value'; times in seconds, equally spaced.

Options (defaults in brackets):
  --window S        segment length in seconds [20.48]
  --overlap F       fraction of a segment shared with the next, 0 <= F < 1 [0.5]
  --reject K        drop segments where any station's RMS exceeds K times
                    its median segment RMS; 0 = keep all [0]
  --fmin F          lowest output frequency, Hz [4 / window]
  --fmax F          highest output frequency, Hz [0.4 / dt]
  --nfreq N         number of output frequencies [120]
  --grid log|linear spacing of the output frequencies [log]
  --smooth SPEC     ko:B (Konno-Ohmachi, coefficient B), parzen:BW (Parzen,
                    bandwidth BW Hz) or none (nearest FFT bin) [ko:40]
  --ring RADIUS     ring whose quantities are given, by radius [the outer]
  --for FORM        table, vantor:ITYPE (ITYPE 1 spac, 2 j0sq, 3 j1sq,
                    4 j0j1sq, 5 cca, 10 ringsq, 11 ring) or quillon [table]
  -o, --output FILE write there instead of standard output (created only
                    when the first line is written)
  -h, --help        this text
  --version         the version

Quantities (C centre spectrum, X_j ring spectra at azimuths theta_j,
Z0 = mean of X_j, Z1 = mean of X_j exp(-i theta_j), <> smoothed sums):
  spac   = mean over j of Re<C conj X_j> / sqrt(<|C|^2> <|X_j|^2>)   ~ J0(kr)
  coh    = |<C conj Z0>|^2 / (<|C|^2> <|Z0|^2>)
  cca    = <|Z0|^2> / <|Z1|^2>                                     ~ J0^2/J1^2
  j0sq   = <|Z0|^2> / <|C|^2>,  j1sq = <|Z1|^2> / <|C|^2>,  j0j1sq = Re<C conj Z0> / <|Z1|^2>
  ringsq = <|Z1 outer|^2> / <|Z1 inner|^2>,  ring = Re<Z1 outer conj Z1 inner> / <|Z1 inner|^2>
Without a centre station only cca, ringsq and ring exist.

Output: table (default): '#' header lines, the last naming the columns
  # freq spac spac_se coh coh_se cca cca_se ... segments
then one line per frequency. vantor:ITYPE: 'ITYPE r 0.0 fmax' (and the
inner radius for 10 and 11), then 'frequency value stderr'. quillon:
'r N', then 'f coh f spac f cca'. Non-finite values are left out of the
vantor and quillon forms, with a count on standard error.

Example:
  circspec --for vantor:1 array.txt | vantor
)";

constexpr char kUsageHint[] = " (circspec --help lists the options)";

class UsageError : public textio::RuntimeError {
 public:
  using RuntimeError::RuntimeError;
};

enum class FormKind { kTable, kVantor, kQuillon };
struct Form {
  FormKind kind = FormKind::kTable;
  int itype = 0;
};

struct Options {
  AnalysisOptions analysis;
  std::optional<double> ring_radius;
  Form form;
  std::optional<std::string> output;
  std::string layout;
  bool help = false, version = false;
};

double NumberArg(std::string_view option, const char* text, std::string_view expected) {
  double v = 0;
  if (!textio::ParseDouble(text, &v) || !std::isfinite(v)) {
    throw UsageError(std::string(option) + ": expected " + std::string(expected) + ", got '" + text + "'");
  }
  return v;
}

SmoothingSpec ParseSmoothing(std::string_view text) {
  SmoothingSpec s;
  if (text == "none") {
    s.kind = SmoothingSpec::Kind::kNone;
    s.parameter = 0;
    return s;
  }
  const size_t colon = text.find(':');
  const std::string_view kind = text.substr(0, colon);
  if (kind == "ko") {
    s.kind = SmoothingSpec::Kind::kKonnoOhmachi;
  } else if (kind == "parzen") {
    s.kind = SmoothingSpec::Kind::kParzen;
  } else {
    throw UsageError("--smooth: expected ko:B, parzen:BW or none, got '" + std::string(text) + "'");
  }
  if (colon == std::string_view::npos) {
    if (s.kind == SmoothingSpec::Kind::kParzen) throw UsageError("--smooth: parzen needs its bandwidth, as parzen:0.5");
    return s;  // ko:40
  }
  const std::string value(text.substr(colon + 1));
  s.parameter = NumberArg("--smooth", value.c_str(), "a positive number after the colon");
  if (!(s.parameter > 0)) throw UsageError("--smooth: the parameter must be positive, got '" + value + "'");
  return s;
}

Form ParseForm(std::string_view text) {
  if (text == "table") return {FormKind::kTable, 0};
  if (text == "quillon") return {FormKind::kQuillon, 0};
  if (text.substr(0, 7) == "vantor:") {
    int32_t itype = 0;
    if (textio::ParseInt32(text.substr(7), &itype)) {
      for (int allowed : {1, 2, 3, 4, 5, 10, 11}) {
        if (itype == allowed) return {FormKind::kVantor, itype};
      }
    }
  }
  throw UsageError("--for: expected table, vantor:ITYPE (ITYPE 1, 2, 3, 4, 5, 10 or 11) or quillon, got '" +
                   std::string(text) + "'");
}

Quantity QuantityOfItype(int itype) {
  switch (itype) {
    case 1: return Quantity::kSpac;
    case 2: return Quantity::kJ0sq;
    case 3: return Quantity::kJ1sq;
    case 4: return Quantity::kJ0J1sq;
    case 5: return Quantity::kCca;
    case 10: return Quantity::kRingsq;
    default: return Quantity::kRing;
  }
}

Options ParseOptions(std::span<const std::string> args) {
  enum : int { kWindow = 1000, kOverlap, kReject, kFmin, kFmax, kNfreq, kGrid, kSmooth, kRing, kFor, kVersion };
  static const option kLong[] = {
      {"window", required_argument, nullptr, kWindow}, {"overlap", required_argument, nullptr, kOverlap},
      {"reject", required_argument, nullptr, kReject}, {"fmin", required_argument, nullptr, kFmin},
      {"fmax", required_argument, nullptr, kFmax},     {"nfreq", required_argument, nullptr, kNfreq},
      {"grid", required_argument, nullptr, kGrid},     {"smooth", required_argument, nullptr, kSmooth},
      {"ring", required_argument, nullptr, kRing},     {"for", required_argument, nullptr, kFor},
      {"output", required_argument, nullptr, 'o'},     {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, kVersion},     {nullptr, 0, nullptr, 0}};

  std::vector<std::string> storage(args.begin(), args.end());
  std::vector<char*> argv;
  std::string program = "circspec";
  argv.push_back(program.data());
  for (std::string& a : storage) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(argv.size()) - 1;

  Options o;
  optind = 0;  // a fresh scan on every call
  opterr = 0;
  for (;;) {
    const int c = getopt_long(argc, argv.data(), ":ho:", kLong, nullptr);
    if (c == -1) break;
    const char* arg = optarg;
    switch (c) {
      case kWindow:
        o.analysis.window = NumberArg("--window", arg, "a segment length in seconds");
        if (!(o.analysis.window > 0)) throw UsageError("--window: the length must be positive, got '" + std::string(arg) + "'");
        break;
      case kOverlap:
        o.analysis.overlap = NumberArg("--overlap", arg, "a fraction 0 <= F < 1");
        if (!(o.analysis.overlap >= 0 && o.analysis.overlap < 1)) {
          throw UsageError("--overlap: expected a fraction 0 <= F < 1, got '" + std::string(arg) + "'");
        }
        break;
      case kReject:
        o.analysis.reject = NumberArg("--reject", arg, "a factor K >= 0");
        if (!(o.analysis.reject >= 0)) throw UsageError("--reject: expected a factor K >= 0, got '" + std::string(arg) + "'");
        break;
      case kFmin:
      case kFmax: {
        const char* name = c == kFmin ? "--fmin" : "--fmax";
        const double f = NumberArg(name, arg, "a frequency in Hz");
        if (!(f > 0)) throw UsageError(std::string(name) + ": the frequency must be positive, got '" + arg + "'");
        (c == kFmin ? o.analysis.fmin : o.analysis.fmax) = f;
        break;
      }
      case kNfreq: {
        int32_t n = 0;
        if (!textio::ParseInt32(arg, &n) || n < 1 || n > 100000) {
          throw UsageError("--nfreq: expected a count from 1 to 100000, got '" + std::string(arg) + "'");
        }
        o.analysis.frequencies = n;
        break;
      }
      case kGrid:
        if (std::string_view(arg) == "log") {
          o.analysis.grid = GridKind::kLog;
        } else if (std::string_view(arg) == "linear") {
          o.analysis.grid = GridKind::kLinear;
        } else {
          throw UsageError("--grid: expected log or linear, got '" + std::string(arg) + "'");
        }
        break;
      case kSmooth:
        o.analysis.smoothing = ParseSmoothing(arg);
        break;
      case kRing:
        o.ring_radius = NumberArg("--ring", arg, "a ring radius in metres");
        break;
      case kFor:
        o.form = ParseForm(arg);
        break;
      case 'o':
        o.output = arg;
        break;
      case 'h':
        o.help = true;
        return o;
      case kVersion:
        o.version = true;
        return o;
      case ':':
        throw UsageError("option '" + std::string(argv[optind - 1]) + "' needs a value");
      default:
        throw UsageError("unknown option '" + std::string(argv[optind - 1]) + "'");
    }
  }
  const int rest = argc - optind;
  if (rest == 0) throw UsageError("missing the layout file: circspec [options] LAYOUT");
  if (rest > 1) throw UsageError("one layout file expected, got also '" + std::string(argv[optind + 1]) + "'");
  o.layout = argv[optind];
  return o;
}

size_t ChooseRing(const array::Layout& layout, std::optional<double> radius) {
  if (!radius) return 0;
  for (size_t r = 0; r < layout.rings.size(); ++r) {
    if (std::fabs(layout.rings[r].radius - *radius) <= array::kRingTolerance * layout.rings[r].radius) return r;
  }
  std::string rings;
  for (const array::Ring& r : layout.rings) rings += (rings.empty() ? "" : ", ") + ShortestText(r.radius) + " m";
  throw UsageError("--ring " + ShortestText(*radius) + ": no ring of that radius in " + layout.file + " (rings: " +
                   rings + ")");
}

// The quantities the chosen output form needs; throws if the layout
// cannot give one of them.
std::vector<Quantity> NeededQuantities(const Form& form, const ChannelLayout& channels) {
  std::vector<Quantity> needed;
  switch (form.kind) {
    case FormKind::kTable:
      return AvailableQuantities(channels);
    case FormKind::kVantor:
      needed = {QuantityOfItype(form.itype)};
      break;
    case FormKind::kQuillon:
      needed = {Quantity::kCoh, Quantity::kSpac, Quantity::kCca};
      break;
  }
  for (Quantity q : needed) {
    if (std::string why = WhyUnavailable(q, channels); !why.empty()) {
      throw UsageError(std::string("--for ") + (form.kind == FormKind::kQuillon ? "quillon" : "vantor:" +
                       std::to_string(form.itype)) + ": " + why);
    }
  }
  return needed;
}

std::vector<std::string> TableHeader(const array::Layout& layout, size_t ring, const Options& o,
                                     const SpectralSums& sums) {
  std::vector<std::string> h;
  h.push_back("circspec (circarray) " + std::string(textio::SuiteVersion()));
  std::string stations = "layout " + layout.file + ": " + IntegerText(static_cast<int64_t>(layout.stations.size())) +
                         " stations";
  if (layout.centre) stations += "; centre " + layout.stations[*layout.centre].name;
  for (size_t r = 0; r < layout.rings.size(); ++r) {
    stations += "; ring " + IntegerText(static_cast<int64_t>(r + 1)) + " radius " +
                ShortestText(layout.rings[r].radius) + " m:";
    for (size_t s : layout.rings[r].stations) stations += " " + layout.stations[s].name;
  }
  h.push_back(stations);
  const double dt = sums.dt;
  h.push_back("records: dt " + ShortestText(dt) + " s, first sample at " + ShortestText(sums.start_time) + " s, " +
              IntegerText(sums.samples_used) + " samples (" + ShortestText(static_cast<double>(sums.samples_used) * dt) +
              " s) in the segments");
  h.push_back("segments: window " + ShortestText(static_cast<double>(sums.window_samples) * dt) + " s (" +
              IntegerText(static_cast<int64_t>(sums.window_samples)) + " samples), step " +
              IntegerText(static_cast<int64_t>(sums.step_samples)) + " samples (overlap " +
              ShortestText(o.analysis.overlap) + "), reject " + ShortestText(o.analysis.reject) +
              (o.analysis.reject > 0 ? "" : " (off)") + "; kept " + IntegerText(sums.kept) + ", dropped " +
              IntegerText(sums.dropped));
  h.push_back("frequencies: " + IntegerText(static_cast<int64_t>(sums.frequencies.size())) + " on a " +
              (o.analysis.grid == GridKind::kLog ? "log" : "linear") + " grid from " +
              ShortestText(sums.frequencies.front()) + " to " + ShortestText(sums.frequencies.back()) +
              " Hz; smoothing " + Describe(o.analysis.smoothing));
  h.push_back("quantities of ring " + IntegerText(static_cast<int64_t>(ring + 1)) + " (radius " +
              ShortestText(layout.rings[ring].radius) + " m, " +
              IntegerText(static_cast<int64_t>(layout.rings[ring].stations.size())) +
              " stations); standard errors by the delete-one-group jackknife over " +
              IntegerText(static_cast<int64_t>(sums.groups.size())) + " groups of consecutive segments");
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
    auto two_digits = [](long v) { return (v < 10 ? "0" : "") + IntegerText(v); };
    err_ << "\rcircspec: " << IntegerText(segments) << " segments, " << IntegerText(s / 3600) << ':'
         << two_digits(s / 60 % 60) << ':' << two_digits(s % 60) << " of record" << std::flush;
  }

 private:
  std::ostream& err_;
  std::chrono::steady_clock::time_point last_{};
  bool shown_ = false;
};

void Note(std::ostream& err, const std::string& text) { err << "circspec: " << text << '\n'; }

void Run(const Options& o, textio::Output& standard_output, std::ostream& err, bool show_progress) {
  const array::Layout layout = array::ReadLayout(o.layout);
  const ArrayGeometry geometry = GeometryOf(layout);
  const ChannelLayout channels(geometry);
  const size_t ring = ChooseRing(layout, o.ring_radius);
  const std::vector<Quantity> quantities = NeededQuantities(o.form, channels);
  if (o.output) {
    const std::filesystem::path folder = std::filesystem::path(*o.output).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder)) {
      throw textio::RuntimeError("cannot create output file '" + *o.output + "': no folder '" + folder.string() + "'");
    }
  }

  auto open = [&layout] {
    Sources sources;
    for (const array::Station& s : layout.stations) sources.push_back(std::make_unique<RecordReader>(s.path.string()));
    return sources;
  };
  std::optional<ProgressLine> progress_line;
  ProgressFn progress;
  if (show_progress) {
    progress_line.emplace(err);
    progress = [&progress_line](long n, double seconds) { (*progress_line)(n, seconds); };
  }
  const SpectralSums sums = Analyse(geometry, open, o.analysis, progress);
  progress_line.reset();

  std::vector<Column> columns;
  for (Quantity q : quantities) columns.push_back({q, Estimate(q, channels, ring, sums)});

  // The output file comes into being only now, with its first line.
  std::ofstream file;
  std::optional<textio::Output> file_output;
  if (o.output) {
    file.open(*o.output, std::ios::binary | std::ios::trunc);
    if (!file) throw textio::RuntimeError("cannot create output file '" + *o.output + "'");
    file_output.emplace(file);
  }
  textio::Output& out = file_output ? *file_output : standard_output;

  long left_out = 0;
  switch (o.form.kind) {
    case FormKind::kTable:
      WriteTable(out, TableHeader(layout, ring, o, sums), sums.frequencies, columns, sums.kept);
      break;
    case FormKind::kVantor: {
      const bool two = o.form.itype >= 10;
      const double radius = layout.rings[two ? 0 : ring].radius;
      const std::optional<double> inner = two ? std::optional<double>(layout.rings[1].radius) : std::nullopt;
      left_out = WriteVantor(out, o.form.itype, radius, inner, sums.frequencies.back(), sums.frequencies,
                             columns[0].series);
      break;
    }
    case FormKind::kQuillon:
      left_out = WriteQuillon(out, layout.rings[ring].radius, static_cast<int>(layout.rings[ring].stations.size()),
                              sums.frequencies, columns[0].series, columns[1].series, columns[2].series);
      break;
  }
  if (file_output) {
    file_output->Flush();
    file.close();
    if (!file) throw textio::WriteError("'" + *o.output + "'");
  }
  if (left_out > 0) {
    Note(err, IntegerText(left_out) + " of " + IntegerText(static_cast<int64_t>(sums.frequencies.size())) +
                  " frequencies left out: their values are not finite");
  }
  if (o.analysis.reject > 0 && o.form.kind != FormKind::kTable) {
    Note(err, "segments kept " + IntegerText(sums.kept) + ", dropped " + IntegerText(sums.dropped) + " (--reject " +
                  ShortestText(o.analysis.reject) + ")");
  }
}

}  // namespace

int RunCircspec(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  Options options;
  try {
    options = ParseOptions(args);
  } catch (const UsageError& e) {
    err << "circspec: " << e.what() << kUsageHint << '\n';
    return textio::kRuntimeErrorStatus;
  }
  if (options.help) {
    out << kHelp << std::flush;
    return out ? 0 : textio::kRuntimeErrorStatus;
  }
  if (options.version) {
    out << "circspec (circarray) " << textio::SuiteVersion() << '\n' << std::flush;
    return out ? 0 : textio::kRuntimeErrorStatus;
  }
  const bool show_progress = &err == &std::cerr && isatty(STDERR_FILENO) == 1;
  return textio::RunProgram("circspec", out, err,
                            [&](textio::Output& output) { Run(options, output, err, show_progress); });
}

}  // namespace circspec
