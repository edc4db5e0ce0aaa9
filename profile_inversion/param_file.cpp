#include "profile_inversion/param_file.h"

#include <string>
#include <vector>

#include "textio/errors.h"
#include "textio/fields.h"
#include "textio/format.h"
#include "textio/line_source.h"
#include "textio/number.h"
#include "textio/printable.h"

namespace circinv {
namespace {

std::string_view WithoutComment(std::string_view line) {
  const size_t hash = line.find('#');
  return hash == std::string_view::npos ? line : line.substr(0, hash);
}

}  // namespace

ParameterSpace ReadParameterSpace(std::istream& in, std::string_view name) {
  textio::LineSource lines(in);
  ParameterSpace space;
  long half_space_line = 0;
  std::string_view line;
  while (lines.Next(&line)) {
    const long number = lines.line_number();
    auto refuse = [&](const std::string& why) {
      throw textio::InputError(std::string(name) + " line " + std::to_string(number) + ": " + why);
    };
    const std::vector<std::string_view> fields = textio::SplitFields(WithoutComment(line), " \t\r");
    if (fields.empty()) continue;
    if (fields.size() == 1 && fields[0] == "increasing") {
      space.increasing = true;
      continue;
    }
    if (fields.size() != 6 && fields.size() != 7) {
      refuse(
          "expected six numbers (thickness, vs and Poisson's ratio, minimum and maximum of each) and an "
          "optional density, found " +
          std::to_string(fields.size()) + " fields");
    }
    double v[7] = {};
    for (size_t k = 0; k < fields.size(); ++k) {
      if (!textio::ParseDouble(fields[k], &v[k])) refuse("unreadable value '" + textio::Printable(fields[k]) + "'");
    }
    if (half_space_line != 0) {
      refuse("a row after the half-space (the row of thickness 0 0 on line " + std::to_string(half_space_line) + ")");
    }
    const LayerRanges layer{{v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}, v[6]};
    const bool half_space = v[0] == 0 && v[1] == 0;
    if (half_space) half_space_line = number;
    if (fields.size() == 7 && !(v[6] > 0)) refuse("density " + textio::Shortest(v[6]) + ": must be positive");
    const std::string problem = RangeProblem(layer, half_space);
    if (!problem.empty()) refuse(problem);
    space.layers.push_back(layer);
  }
  if (half_space_line == 0) {
    throw textio::InputError(std::string(name) + ": no half-space (a last row of thickness 0 0)");
  }
  if (space.layers.size() < 2) {
    throw textio::InputError(std::string(name) + ": at least one layer is needed over the half-space");
  }
  try {
    Parameterisation check(space);
  } catch (const textio::InputError& e) {
    throw textio::InputError(std::string(name) + ": " + e.what());
  }
  return space;
}

}  // namespace circinv
