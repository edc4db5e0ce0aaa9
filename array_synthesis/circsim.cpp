#include "suite/files.h"
#include "suite/programs.h"

#include <climits>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

#include "array/layout.h"
#include "array_synthesis/dispersion.h"
#include "array_synthesis/field_writer.h"
#include "array_synthesis/record_writer.h"
#include "array_synthesis/synthesis.h"
#include "seisio/mseed.h"
#include "seisio/sac.h"
#include "suite/options.h"
#include "textio/errors.h"
#include "textio/format.h"
#include "textio/number.h"

namespace circsim {

namespace {

constexpr suite::Option kOptions[] = {
    {"duration", true},      {"dt", true},     {"band", true, 0, 1}, {"rayleigh", true}, {"love", true},
    {"love-fraction", true}, {"hv", true},     {"noise", true},      {"waves", true},    {"seed", true},
    {"digits", true},        {"format", true}, {"offset", true},
};

struct Settings {
  Wavefield wavefield;
  double duration = 1800;
  std::optional<std::pair<double, double>> band;
  std::string rayleigh_file, love_file;
  int digits = 9;
  RecordFormat format = RecordFormat::kText;
  std::map<std::string, double> offsets;  // station name -> clock offset, s (--offset)
  std::string layout;
};

using suite::UsageError;

Settings ParseArguments(const std::vector<std::string>& args) {
  const suite::CommandLine line(args, kOptions);
  Settings s;
  Wavefield& w = s.wavefield;
  s.duration = line.Number("duration", suite::Positive("a positive number of seconds")).value_or(s.duration);
  w.dt = line.Number("dt", suite::Positive("a positive sampling interval in seconds")).value_or(w.dt);
  if (const auto band = line.Numbers("band", suite::Positive("a positive frequency in Hz"))) {
    if (!((*band)[0] < (*band)[1])) {
      throw suite::OptionValueError("band", "FMIN FMAX with FMIN < FMAX",
                                    line.Every("band").front() + " " + line.Every("band").back());
    }
    s.band.emplace((*band)[0], (*band)[1]);
  }
  s.rayleigh_file = line.Text("rayleigh").value_or("");
  s.love_file = line.Text("love").value_or("");
  w.love_fraction = line.Number("love-fraction", suite::Between(0, 1, "a share from 0 to 1")).value_or(w.love_fraction);
  w.hv = line.Number("hv", suite::NotNegative("a ratio of 0 or more")).value_or(w.hv);
  w.noise = line.Number("noise", suite::NotNegative("a power ratio of 0 or more")).value_or(w.noise);
  w.waves = line.Integer("waves", 1, INT32_MAX, "an integer of 1 or more").value_or(w.waves);
  w.seed = static_cast<uint64_t>(
      line.Integer("seed", 0, INT32_MAX, "an integer of 0 or more").value_or(static_cast<int32_t>(w.seed)));
  s.digits = line.Integer("digits", 1, textio::kMaxSignificantDigits, "an integer from 1 to 17").value_or(s.digits);
  s.format = line.Keyword<RecordFormat>(
                     "format",
                     {{"text", RecordFormat::kText}, {"mseed", RecordFormat::kMiniSeed}, {"sac", RecordFormat::kSac}})
                 .value_or(s.format);

  for (const std::string& text : line.Every("offset")) {
    const size_t equals = text.find('=');
    double seconds = 0;
    if (equals == std::string::npos || equals == 0 || !textio::ParseDouble(text.substr(equals + 1), &seconds) ||
        !(std::fabs(seconds) < 0.5 * w.dt)) {
      throw suite::OptionValueError("offset", "STATION=SECONDS with |SECONDS| < dt/2", text);
    }
    s.offsets[text.substr(0, equals)] = seconds;
  }

  const std::vector<std::string>& operands = line.operands();
  if (operands.empty()) throw UsageError("no layout file given; usage: circsim [options] LAYOUT");
  if (operands.size() > 1) {
    throw UsageError("one layout file expected, got " + std::to_string(operands.size()) + " arguments: '" +
                     operands[0] + "', '" + operands[1] + "'...");
  }
  s.layout = operands[0];

  const double nyquist = 0.5 / w.dt;
  const auto [fmin, fmax] = s.band.value_or(std::pair{0.5, 0.4 / w.dt});
  if (!s.band && !(fmin < fmax)) {
    throw UsageError("--dt: the default band (0.5 Hz to 0.4/dt) is empty for dt = " + textio::Shortest(w.dt) +
                     " s; give --band");
  }
  if (!(fmax <= nyquist)) {
    throw UsageError("--band: FMAX exceeds the Nyquist frequency 0.5/dt = " + textio::Shortest(nyquist) + " Hz");
  }
  w.band = Band{fmin, fmax};

  const double samples = std::round(s.duration / w.dt);
  if (!(samples >= 4 && samples <= INT_MAX)) {
    throw UsageError("--duration / --dt: the record would hold " + textio::Shortest(samples) +
                     " samples; 4 to 2147483647 are possible");
  }
  w.samples = static_cast<long>(samples);
  return s;
}

// True if `a` and `b` are the same existing file.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Where a station is defined, for the messages about its record.
std::string StationPlace(const array::Layout& layout, const array::Station& station) {
  return layout.file + " line " + std::to_string(station.line) + ": station '" + station.name + "': ";
}

// Checks, before anything is synthesised, that each station's record
// files suit the format: column text is one file of three columns; SAC
// holds one channel a file, so three files u,e,n; miniSEED either. The
// station code of field formats is the station's name, which SEED holds
// to 5 characters and SAC to 8.
void CheckFiles(const array::Layout& layout, RecordFormat format) {
  for (const array::Station& st : layout.stations) {
    const size_t files = st.paths.size();
    if (format == RecordFormat::kText && files != 1) {
      throw textio::RuntimeError(StationPlace(layout, st) +
                                 "column text is one file of the three components; three files u,e,n need "
                                 "--format sac or mseed");
    }
    if (format == RecordFormat::kSac && files != 3) {
      throw textio::RuntimeError(StationPlace(layout, st) +
                                 "a SAC file holds one channel: give three files u,e,n "
                                 "separated by commas for --format sac");
    }
    const size_t longest = format == RecordFormat::kMiniSeed ? 5 : format == RecordFormat::kSac ? 8 : 0;
    if (longest > 0 && st.name.size() > longest) {
      throw textio::RuntimeError(StationPlace(layout, st) + "the name is the station code of the records, at most " +
                                 std::to_string(longest) + " characters in " +
                                 (format == RecordFormat::kSac ? "SAC" : "miniSEED"));
    }
  }
}

// Writes the traces of `components` of a synthesised station into `name`.
void WriteTraces(const StationRecord& record, double dt, double offset, const array::Station& station,
                 RecordFormat format, std::initializer_list<int> components, textio::Output& out) {
  for (int c : components) {
    const seisio::Trace trace = ChannelTrace(record, c, dt, station.name, offset);
    if (format == RecordFormat::kSac) {
      seisio::WriteSac(trace, out);
    } else {
      seisio::WriteMiniSeed(trace, out, {seisio::MiniSeedEncoding::kFloat32, 4096});
    }
  }
}

// Synthesises one station and writes its record, closing each file before
// the next so that one record's buffers are open at a time.
void WriteStation(suite::Context& context, const array::Layout& layout, const Synthesizer& synth,
                  const array::Station& station, const Settings& s, StationRecord* record) {
  const auto offset = s.offsets.find(station.name);
  const double clock = offset == s.offsets.end() ? 0 : offset->second;
  synth.Synthesize(Site{station.name, station.x, station.y, clock}, record);
  const double dt = synth.wavefield().dt;
  for (size_t k = 0; k < station.paths.size(); ++k) {
    const std::string name = station.paths[k].string();
    suite::OutputFile* file = context.TryCreateOutput(name);
    if (file == nullptr) throw textio::RuntimeError(StationPlace(layout, station) + suite::CreateFailure(name));
    try {
      if (s.format == RecordFormat::kText) {
        WriteColumns(*record, dt, clock, s.digits, file->out());
      } else if (station.paths.size() == 1) {
        WriteTraces(*record, dt, clock, station, s.format, {kVertical, kEast, kNorth}, file->out());
      } else {
        WriteTraces(*record, dt, clock, station, s.format, {static_cast<int>(k)}, file->out());
      }
      context.Close(*file);
    } catch (const textio::WriteError& e) {
      throw textio::WriteError(StationPlace(layout, station) + e.what());
    } catch (const textio::RuntimeError& e) {
      throw textio::RuntimeError(StationPlace(layout, station) + e.what());
    }
  }
}

void Synthesise(suite::Context& context, Settings& s) {
  const array::Layout layout = array::ReadLayout(context, s.layout);
  Wavefield& w = s.wavefield;
  if (!s.rayleigh_file.empty()) w.rayleigh = DispersionCurve(curve::ReadCurve(context, s.rayleigh_file));
  w.love = s.love_file.empty() ? w.rayleigh.Scaled(0.9) : DispersionCurve(curve::ReadCurve(context, s.love_file));

  CheckFiles(layout, s.format);
  for (const auto& [name, seconds] : s.offsets) {
    bool found = false;
    for (const array::Station& st : layout.stations) found |= st.name == name;
    if (!found)
      throw UsageError("--offset " + name + "=" + textio::Shortest(seconds) + ": no station " + name + " in " +
                       layout.file);
  }
  // A record must never replace one of this run's inputs.
  for (const array::Station& st : layout.stations) {
    for (const std::string& input : {s.layout, s.rayleigh_file, s.love_file}) {
      for (const std::filesystem::path& path : st.paths) {
        if (!input.empty() && SameFile(context.Resolve(path.string()), context.Resolve(input))) {
          throw textio::RuntimeError(layout.file + " line " + std::to_string(st.line) + ": the record file '" +
                                     (st.paths.size() == 1 ? st.file : path.string()) + "' of station '" + st.name +
                                     "' is the input file '" + input + "'");
        }
      }
    }
  }

  std::optional<Synthesizer> synth;
  try {
    synth.emplace(w);
  } catch (const std::invalid_argument& e) {
    throw textio::RuntimeError(std::string("--band: ") + e.what());
  }
  // One record buffer for all stations: memory is that of one station.
  StationRecord record(w.samples);
  for (const array::Station& station : layout.stations) {
    WriteStation(context, layout, *synth, station, s, &record);
  }
}

}  // namespace

void Run(suite::Context& context) {
  Settings settings = ParseArguments(context.args());
  Synthesise(context, settings);
}

}  // namespace circsim
