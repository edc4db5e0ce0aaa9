#include "array_synthesis/circsim.h"

#include <getopt.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <vector>

#include "array/layout.h"
#include "array_synthesis/dispersion.h"
#include "array_synthesis/record_writer.h"
#include "array_synthesis/scientific.h"
#include "array_synthesis/synthesis.h"
#include "textio/errors.h"
#include "textio/number.h"
#include "textio/output.h"
#include "textio/program.h"

namespace circsim {

namespace {

constexpr char kHelp[] = R"(Usage: circsim [options] LAYOUT

Writes a synthetic wavefield with known dispersion for every station of a
circular array: one column text file per station, "time u e n".

The field is made exactly in the frequency domain. At every FFT bin f of
the signal band, W plane waves with azimuths uniform in [0, 360) degrees and
random phases, of equal power, cross the array; a station at radius r and
azimuth theta sees a wave propagating toward azimuth alpha with the phase
delay k r cos(theta - alpha), k = 2 pi f / c(f). The vertical u carries
Rayleigh waves; their horizontal motion is radial (along alpha), a quarter
period ahead of the vertical (retrograde). Love waves, a wave set of their
own with their own curve, move transversely. The total horizontal power is
H^2 times the vertical: Rayleigh waves carry (1 - A) of it (H/V amplitude
H sqrt(1 - A)), Love waves A. Independent Gaussian noise with the signal's
spectral shape and EPS times its power is added to every channel of every
station. One inverse real FFT per channel. The vertical signal has an
expected variance of 1. The waves of a frequency bin depend only on the
seed and the bin, a station's noise only on the seed, the station's name,
the channel and the bin: every station's record is the same whatever the
other stations or their order.

Options (defaults in brackets):
  --duration S         record length in seconds; the record holds
                       round(S/dt) samples [1800]
  --dt S               sampling interval in seconds [0.01]
  --band FMIN FMAX     signal band in Hz, 0 < FMIN < FMAX <= 0.5/dt; the
                       power rises as a cosine taper (in log f) from 0 at
                       FMIN to 1 at 1.25 FMIN and falls likewise from
                       FMAX/1.25 to 0 at FMAX [0.5 and 0.4/dt]
  --rayleigh FILE      Rayleigh phase velocity: lines "frequency velocity"
                       (Hz, m/s), frequencies increasing, interpolated
                       linearly in log f - log c, held constant beyond the
                       ends [c(f) = 180 + 520 / (1 + (f/4)^2) m/s]
  --love FILE          Love phase velocity, same form [0.9 x the Rayleigh
                       curve]
  --love-fraction A    share of the horizontal power carried by Love waves,
                       0 to 1 [0]
  --hv H               horizontal-to-vertical amplitude ratio, >= 0: total
                       horizontal power is H^2 x vertical [0.7]
  --noise EPS          incoherent noise-to-signal power ratio on every
                       channel of every station, >= 0 [0]
  --waves W            plane waves per frequency bin and wave type [64]
  --seed N             random seed, integer >= 0 [1]
  --digits N           significant digits of u, e, n, 1 to 17 [9]
  --help               this text
  --version            the program's version

Layout file: one station per line, "name azimuth radius file"; '#' starts
a comment. Azimuth in degrees counterclockwise from east, radius in metres
(0 = the centre station, at most one); circle stations whose radii agree
within 0.5 % form a ring (at least 3 stations, at most two rings).

Files written: for each station, its record at the layout's "file" path,
resolved against the folder of the layout file (not the working
directory), replacing what was there. Each line holds the time (the j-th
sample at j*dt, j = 1..n) and u (up), e (east), n (north) in scientific
notation. Nothing is written on standard output.

Errors: one line "circsim: ..." on standard error, exit status 2.

Example (centre and five stations on a 10 m circle, one hour, 10 % noise):
  $ cat site/layout.txt
  C   0  0  C.txt
  S1  0  10 S1.txt
  S2  72 10 S2.txt
  S3 144 10 S3.txt
  S4 216 10 S4.txt
  S5 288 10 S5.txt
  $ circsim --duration 3600 --noise 0.1 site/layout.txt
  $ ls site
  C.txt  S1.txt  S2.txt  S3.txt  S4.txt  S5.txt  layout.txt
)";

constexpr char kUsageHint[] = " (see 'circsim --help')";

struct Settings {
  Wavefield wavefield;
  double duration = 1800;
  std::optional<std::pair<double, double>> band;
  std::string rayleigh_file, love_file;
  int digits = 9;
  std::string layout;
};

[[noreturn]] void Usage(const std::string& message) { throw textio::RuntimeError(message + kUsageHint); }

double Real(const char* option, const char* text) {
  double v = 0;
  if (!textio::ParseDouble(text, &v) || !std::isfinite(v)) {
    Usage(std::string(option) + ": expected a number, got '" + text + "'");
  }
  return v;
}

int32_t Integer(const char* option, const char* text) {
  int32_t v = 0;
  if (!textio::ParseInt32(text, &v)) Usage(std::string(option) + ": expected an integer, got '" + text + "'");
  return v;
}

void Check(bool ok, const char* option, const std::string& what) {
  if (!ok) Usage(std::string(option) + ": " + what);
}

enum OptionId {
  kDuration = 256, kDt, kBand, kRayleigh, kLove, kLoveFraction, kHv, kNoise, kWaves, kSeed, kDigits,
  kHelpOption, kVersion
};

// The result of reading the arguments: settings, or a request for the
// help text or version.
struct Command {
  enum class Kind { kRun, kHelp, kVersion } kind = Kind::kRun;
  Settings settings;
};

Command ParseArguments(std::span<const std::string> args) {
  static const option kOptions[] = {
      {"duration", required_argument, nullptr, kDuration},
      {"dt", required_argument, nullptr, kDt},
      {"band", required_argument, nullptr, kBand},
      {"rayleigh", required_argument, nullptr, kRayleigh},
      {"love", required_argument, nullptr, kLove},
      {"love-fraction", required_argument, nullptr, kLoveFraction},
      {"hv", required_argument, nullptr, kHv},
      {"noise", required_argument, nullptr, kNoise},
      {"waves", required_argument, nullptr, kWaves},
      {"seed", required_argument, nullptr, kSeed},
      {"digits", required_argument, nullptr, kDigits},
      {"help", no_argument, nullptr, kHelpOption},
      {"version", no_argument, nullptr, kVersion},
      {nullptr, 0, nullptr, 0}};

  // getopt_long wants a mutable, null-terminated argv.
  std::vector<std::string> storage{"circsim"};
  storage.insert(storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(storage.size());

  Command command;
  Settings& s = command.settings;
  Wavefield& w = s.wavefield;
  optind = 0;  // a full re-initialisation of GNU getopt
  opterr = 0;
  for (;;) {
    const int id = getopt_long(argc, argv.data(), ":h", kOptions, nullptr);
    if (id == -1) break;
    const char* arg = optarg;
    switch (id) {
      case kDuration:
        s.duration = Real("--duration", arg);
        Check(s.duration > 0, "--duration", "must be positive");
        break;
      case kDt:
        w.dt = Real("--dt", arg);
        Check(w.dt > 0, "--dt", "must be positive");
        break;
      case kBand: {
        // Two values: the option's own and the next argument.
        if (optind >= argc) Usage("--band needs two values, FMIN and FMAX");
        const double fmin = Real("--band", arg);
        const double fmax = Real("--band", argv[static_cast<size_t>(optind)]);
        ++optind;
        Check(fmin > 0 && fmin < fmax, "--band", "expected 0 < FMIN < FMAX");
        s.band.emplace(fmin, fmax);
        break;
      }
      case kRayleigh: s.rayleigh_file = arg; break;
      case kLove: s.love_file = arg; break;
      case kLoveFraction:
        w.love_fraction = Real("--love-fraction", arg);
        Check(w.love_fraction >= 0 && w.love_fraction <= 1, "--love-fraction", "must lie between 0 and 1");
        break;
      case kHv:
        w.hv = Real("--hv", arg);
        Check(w.hv >= 0, "--hv", "must be 0 or more");
        break;
      case kNoise:
        w.noise = Real("--noise", arg);
        Check(w.noise >= 0, "--noise", "must be 0 or more");
        break;
      case kWaves:
        w.waves = Integer("--waves", arg);
        Check(w.waves >= 1, "--waves", "must be 1 or more");
        break;
      case kSeed: {
        const int32_t seed = Integer("--seed", arg);
        Check(seed >= 0, "--seed", "must be 0 or more");
        w.seed = static_cast<uint64_t>(seed);
        break;
      }
      case kDigits:
        s.digits = Integer("--digits", arg);
        Check(s.digits >= 1 && s.digits <= kMaxDigits, "--digits", "must lie between 1 and 17");
        break;
      case kHelpOption:
      case 'h':
        command.kind = Command::Kind::kHelp;
        return command;
      case kVersion:
        command.kind = Command::Kind::kVersion;
        return command;
      case ':':
        Usage(std::string("option '") + argv[static_cast<size_t>(optind - 1)] + "' needs a value");
      default:
        Usage(std::string("unknown option '") + argv[static_cast<size_t>(optind - 1)] + "'");
    }
  }
  const int operands = argc - optind;
  if (operands == 0) Usage("no layout file given; usage: circsim [options] LAYOUT");
  if (operands > 1) {
    Usage("one layout file expected, got " + std::to_string(operands) + " arguments: '" +
          argv[static_cast<size_t>(optind)] + "', '" + argv[static_cast<size_t>(optind + 1)] + "'...");
  }
  s.layout = argv[static_cast<size_t>(optind)];

  const double nyquist = 0.5 / w.dt;
  const auto [fmin, fmax] = s.band.value_or(std::pair{0.5, 0.4 / w.dt});
  if (!s.band) {
    Check(fmin < fmax, "--dt", "the default band (0.5 Hz to 0.4/dt) is empty for dt = " + ShortestReal(w.dt) +
                                   " s; give --band");
  }
  Check(fmax <= nyquist, "--band", "FMAX exceeds the Nyquist frequency 0.5/dt = " + ShortestReal(nyquist) + " Hz");
  w.band = Band{fmin, fmax};

  const double samples = std::round(s.duration / w.dt);
  if (!(samples >= 4 && samples <= INT_MAX)) {
    Usage("--duration / --dt: the record would hold " + ShortestReal(samples) +
          " samples; 4 to 2147483647 are possible");
  }
  w.samples = static_cast<long>(samples);
  return command;
}

// True if `a` and `b` are the same existing file.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

void WriteStation(const Synthesizer& synth, const array::Station& station, int digits, StationRecord* record) {
  synth.Synthesize(Site{station.name, station.azimuth_deg, station.radius}, record);
  const std::string path = station.path.string();
  std::ofstream file(station.path, std::ios::binary | std::ios::trunc);
  if (!file.is_open()) {
    throw textio::RuntimeError("cannot create the record of station '" + station.name + "' (layout line " +
                               std::to_string(station.line) + "): '" + path + "'");
  }
  try {
    textio::Output out(file);
    WriteColumns(*record, synth.wavefield().dt, digits, out);
    out.Flush();
    file.close();
    if (!file) throw textio::WriteError("close failed");
  } catch (const textio::WriteError&) {
    throw textio::RuntimeError("cannot write the record of station '" + station.name + "': '" + path + "'");
  }
}

void Run(Settings& s) {
  const array::Layout layout = array::ReadLayout(s.layout);
  Wavefield& w = s.wavefield;
  if (!s.rayleigh_file.empty()) w.rayleigh = ReadDispersionCurve(s.rayleigh_file);
  w.love = s.love_file.empty() ? w.rayleigh.Scaled(0.9) : ReadDispersionCurve(s.love_file);

  // A record must never replace one of this run's inputs.
  for (const array::Station& st : layout.stations) {
    for (const std::string& input : {s.layout, s.rayleigh_file, s.love_file}) {
      if (!input.empty() && SameFile(st.path, input)) {
        throw textio::RuntimeError(layout.file + " line " + std::to_string(st.line) + ": the record file '" +
                                   st.file + "' of station '" + st.name + "' is the input file '" + input + "'");
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
  for (const array::Station& station : layout.stations) WriteStation(*synth, station, s.digits, &record);
}

}  // namespace

int RunCircsim(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  return textio::RunProgram("circsim", out, err, [&](textio::Output& o) {
    Command command = ParseArguments(args);
    switch (command.kind) {
      case Command::Kind::kHelp:
        o.Write(kHelp);
        return;
      case Command::Kind::kVersion:
        o.Write("circsim (circarray) ");
        o.Write(textio::SuiteVersion());
        o.Write("\n");
        return;
      case Command::Kind::kRun:
        Run(command.settings);
        return;
    }
  });
}

}  // namespace circsim
