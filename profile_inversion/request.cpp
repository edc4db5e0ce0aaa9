#include "profile_inversion/request.h"

#include <cstdint>
#include <string_view>

#include "suite/options.h"
#include "textio/printable.h"

namespace circinv {
namespace {

constexpr suite::Option kOptions[] = {
    // The forward curve.
    {"forward", true},
    {"wave", true},
    {"at", true},
    {"fmin", true},
    {"fmax", true},
    {"nfreq", true},
    {"grid", true},
    // The inversion.
    {"love", true},
    {"layers", true},
    {"param", true},
    {"increasing", false},
    {"models", true},
    {"seed", true},
    {"chains", true},
    // Both.
    {"output", true, 'o'},
};

constexpr std::string_view kForwardOnly[] = {"wave", "at", "fmin", "fmax", "nfreq", "grid"};
constexpr std::string_view kInversionOnly[] = {"love", "layers", "param", "increasing", "models", "seed", "chains"};

constexpr char kUsage[] = "usage: circinv [options] CURVE, or circinv --forward MODEL [options]";

std::optional<std::string> FileName(const suite::CommandLine& line, std::string_view option) {
  std::optional<std::string> name = line.Text(option);
  if (name && name->empty()) throw suite::OptionValueError(option, "a file name", "");
  return name;
}

ForwardRequest ParseForward(const suite::CommandLine& line) {
  for (std::string_view option : kInversionOnly) {
    if (line.Has(option)) {
      throw suite::UsageError("--" + std::string(option) + " belongs to an inversion, not to --forward");
    }
  }
  ForwardRequest r;
  r.model = *FileName(line, "forward");
  if (!line.operands().empty()) {
    throw suite::UsageError("unexpected operand '" + textio::Printable(line.operands().front()) +
                            "': --forward computes the curve of its model file alone");
  }
  r.wave = line.Keyword<Wave>("wave", {{"rayleigh", Wave::kRayleigh}, {"love", Wave::kLove}}).value_or(r.wave);
  r.at = FileName(line, "at");
  if (r.model == kStandardInput && r.at == kStandardInput) {
    throw suite::UsageError("standard input ('-') can be read only once");
  }
  if (r.at) {
    for (std::string_view option : {"fmin", "fmax", "nfreq", "grid"}) {
      if (line.Has(option)) {
        throw suite::UsageError("--" + std::string(option) + " makes a grid, but --at takes the frequencies of " +
                                textio::Printable(*r.at));
      }
    }
  }
  const suite::NumberRule frequency = suite::Positive("a positive frequency in Hz");
  r.grid.fmin = line.Number("fmin", frequency).value_or(r.grid.fmin);
  r.grid.fmax = line.Number("fmax", frequency).value_or(r.grid.fmax);
  r.grid.count = line.Integer("nfreq", 1, 100000, "an integer from 1 to 100000").value_or(r.grid.count);
  r.grid.kind =
      line.Keyword<curve::GridKind>("grid", {{"log", curve::GridKind::kLog}, {"linear", curve::GridKind::kLinear}})
          .value_or(r.grid.kind);
  // One frequency needs no span; more need fmin < fmax.
  if (r.grid.count > 1 && !(r.grid.fmin < r.grid.fmax)) {
    const std::string fmin = line.Has("fmin") ? *line.Text("fmin") : "1";
    const std::string fmax = line.Has("fmax") ? *line.Text("fmax") : "50";
    if (line.Has("fmax")) throw suite::OptionValueError("fmax", "a frequency above --fmin " + fmin + " Hz", fmax);
    throw suite::OptionValueError("fmin", "a frequency below --fmax " + fmax + " Hz", fmin);
  }
  r.output = FileName(line, "output");
  return r;
}

InversionRequest ParseInversion(const suite::CommandLine& line) {
  for (std::string_view option : kForwardOnly) {
    if (line.Has(option)) {
      throw suite::UsageError("--" + std::string(option) + " belongs to --forward, not to an inversion" +
                              (option == "wave" ? " (a Love curve is given with --love CURVE)" : ""));
    }
  }
  InversionRequest r;
  const std::vector<std::string>& operands = line.operands();
  if (operands.size() > 1) {
    throw suite::UsageError("one Rayleigh curve is inverted, got " + std::to_string(operands.size()) +
                            " (a Love curve is given with --love CURVE; circdisp merges the curves of several arrays)");
  }
  if (!operands.empty()) {
    if (operands.front().empty()) throw suite::UsageError("an empty curve file name");
    r.rayleigh = operands.front();
  }
  r.love = FileName(line, "love");
  if (!r.rayleigh && !r.love) throw suite::UsageError(std::string("no curve file given; ") + kUsage);
  if (r.rayleigh == kStandardInput && r.love == kStandardInput) {
    throw suite::UsageError("standard input ('-') can be read only once");
  }
  r.param = FileName(line, "param");
  if (r.param && line.Has("layers")) {
    throw suite::UsageError("--layers and --param exclude each other: the param file gives the layers");
  }
  r.layers =
      line.Integer("layers", 1, kMaxLayers, "an integer from 1 to " + std::to_string(kMaxLayers)).value_or(r.layers);
  r.increasing = line.Has("increasing");
  r.search.chains = line.Integer("chains", 1, kMaxChains, "an integer from 1 to " + std::to_string(kMaxChains))
                        .value_or(r.search.chains);
  r.search.models = line.Integer("models", 1, kMaxModels, "an integer from 1 to " + std::to_string(kMaxModels))
                        .value_or(static_cast<int32_t>(r.search.models));
  // Each chain first draws samples_per_iteration models at random.
  const int64_t least = int64_t{r.search.chains} * r.search.samples_per_iteration;
  if (r.search.models < least) {
    const std::string per_chain = std::to_string(r.search.samples_per_iteration);
    if (!line.Has("models")) {
      throw suite::OptionValueError("chains",
                                    "at most " + std::to_string(r.search.models / r.search.samples_per_iteration) +
                                        " for " + std::to_string(r.search.models) + " models (" + per_chain +
                                        " for each; more with --models)",
                                    *line.Text("chains"));
    }
    throw suite::OptionValueError("models",
                                  "at least " + std::to_string(least) + " (" + per_chain + " for each of the " +
                                      std::to_string(r.search.chains) + " chains)",
                                  *line.Text("models"));
  }
  r.search.seed = static_cast<uint64_t>(
      line.Integer("seed", 0, INT32_MAX, "an integer of 0 or more").value_or(static_cast<int32_t>(r.search.seed)));
  r.output = FileName(line, "output");
  return r;
}

}  // namespace

Request ParseRequest(const std::vector<std::string>& args) {
  const suite::CommandLine line(args, kOptions);
  if (line.Has("forward")) return ParseForward(line);
  return ParseInversion(line);
}

}  // namespace circinv
