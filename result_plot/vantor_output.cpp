#include <cmath>
#include <optional>

#include "ratio_inversion/vantor_format.h"
#include "result_plot/readers.h"
#include "textio/errors.h"
#include "textio/number.h"

namespace circplot {

namespace {

// The third value of a root line is velocity/(radius*frequency), so every
// root line gives the radius; they agree to the digits vantor prints
// (9 significant, computed in single precision).
constexpr double kRadiusAgreement = 1e-4;

struct VantorLine {
  enum class Form { kRoot, kSingular, kNoRoot } form;
  double f = 0.0;
  double v = 0.0;
  double ratio = 0.0;  // velocity/(radius*frequency), kRoot only
};

bool Number(std::string_view field, double* out) { return textio::ParseDouble(field, out) && std::isfinite(*out); }

std::optional<VantorLine> ParseVantorLine(std::string_view text) {
  const std::vector<std::string_view> f = Fields(text);
  VantorLine line{VantorLine::Form::kRoot};
  if (f.size() < 3 || !Number(f[0], &line.f) || !Number(f[1], &line.v)) return std::nullopt;
  if (f.size() == 3 && f[2] == vantor::kSingularPoint) {
    line.form = VantorLine::Form::kSingular;
    return line;
  }
  if (f.size() == 3 && Number(f[2], &line.ratio)) return line;
  int32_t status = 0;
  double observed = 0.0;
  if (f.size() == 5 && line.v == vantor::kNoRootVelocity && f[2] == vantor::kNoRoot &&
      textio::ParseInt32(f[3], &status) && textio::ParseDouble(f[4], &observed)) {
    line.form = VantorLine::Form::kNoRoot;
    return line;
  }
  return std::nullopt;
}

}  // namespace

bool IsVantorLine(std::string_view line) { return ParseVantorLine(line).has_value(); }

ReadInput ReadVantorOutput(const std::string& source, const std::vector<TextLine>& lines) {
  ReadInput read{DispersionCurve{source, {}, {}, {}, std::nullopt}, std::nullopt, 0};
  DispersionCurve& curve = std::get<DispersionCurve>(read.input);
  long radius_line = 0;
  bool gap = false;  // a line without a root since the last root
  ForEachResultLine(lines, &read, [&](const TextLine& text) {
    const std::optional<VantorLine> line = ParseVantorLine(text.text);
    if (!line) {
      throw textio::InputError(AtLine(source, text.number,
                                      "not a line of vantor output (frequency velocity velocity/(radius*frequency), "
                                      "frequency velocity SINGULAR_POINT, or frequency 999.0 NO_ROOT status "
                                      "observed): " +
                                          Shown(text.text)));
    }
    switch (line->form) {
      case VantorLine::Form::kRoot: {
        curve.velocities.push_back({line->f, line->v, 0.0, gap && !curve.velocities.empty()});
        gap = false;
        const double radius = line->v / (line->ratio * line->f);
        if (!std::isfinite(radius) || radius <= 0.0) break;
        if (!curve.radius) {
          curve.radius = radius;
          radius_line = text.number;
        } else if (std::fabs(radius - *curve.radius) > kRadiusAgreement * *curve.radius) {
          throw textio::InputError(
              AtLine(source, text.number,
                     "the third value is not velocity/(radius*frequency) with the radius of line " +
                         std::to_string(radius_line) + ": not vantor output, or lines of runs with different radii"));
        }
        break;
      }
      case VantorLine::Form::kSingular:
        curve.singular.push_back({line->f, line->v, 0.0});
        gap = true;
        break;
      case VantorLine::Form::kNoRoot:
        curve.no_root.push_back(line->f);
        gap = true;
        break;
    }
  });
  return read;
}

}  // namespace circplot
