#ifndef CIRCARRAY_PROFILE_INVERSION_REQUEST_H_
#define CIRCARRAY_PROFILE_INVERSION_REQUEST_H_

// What a command line of circinv asks for: a forward curve of a model, or
// the inversion of measured curves. Every option value is checked here,
// and an option of the other kind of run is refused, so that what reaches
// a run is complete and consistent.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "curve/frequency_grid.h"
#include "profile_inversion/layered_model.h"
#include "profile_inversion/neighbourhood.h"
#include "profile_inversion/parameterisation.h"

namespace circinv {

// The name that stands for standard input in place of a file.
inline constexpr char kStandardInput[] = "-";

// circinv --forward MODEL: the fundamental mode's phase velocities.
struct ForwardRequest {
  std::string model;
  Wave wave = Wave::kRayleigh;
  std::optional<std::string> at;  // a curve file whose frequencies to take, else the grid
  curve::GridChoice grid{1, 50, 60, curve::GridKind::kLog};
  std::optional<std::string> output;  // a file, else standard output
};

// The upper limits of the options that take counts.
inline constexpr int kMaxLayers = 10;
inline constexpr int kMaxModels = 1'000'000;
inline constexpr int kMaxChains = 1000;

// circinv [options] CURVE: the inversion.
struct InversionRequest {
  std::optional<std::string> rayleigh;  // the operand CURVE
  std::optional<std::string> love;      // --love CURVE
  int layers = kDefaultLayers;          // over the half-space, with the ranges from the data
  std::optional<std::string> param;     // a param file instead
  bool increasing = false;
  NeighbourhoodSettings search;       // models, chains and seed from the command line
  std::optional<std::string> output;  // the result directory
};

using Request = std::variant<ForwardRequest, InversionRequest>;

// Reads the command line; suite::UsageError or suite::OptionValueError for
// anything it refuses.
Request ParseRequest(const std::vector<std::string>& args);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_REQUEST_H_
