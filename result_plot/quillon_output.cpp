#include <cmath>
#include <numbers>
#include <optional>

#include "result_plot/readers.h"
#include "textio/errors.h"
#include "textio/number.h"

namespace circplot {

namespace {

constexpr size_t kFieldWidth = 15;
constexpr size_t kLineWidth = 4 * kFieldWidth;
// quillon's placeholders in its second and third fields.
constexpr std::string_view kNoRoot = "    NO ROOT    ";
constexpr std::string_view kNoNsr1 = "    1234567    ";

// 2*pi/rkmin times rkmin, each printed with 7 significant digits.
constexpr double kTwoPiAgreement = 1e-5;

// The four fields of one line; a placeholder field is empty.
struct FixedLine {
  double value[4] = {0.0, 0.0, 0.0, 0.0};
  bool present[4] = {true, true, true, true};
};

// One field: a number (NaN and infinities included: a ratio that went
// wrong is still a line of quillon's).
bool ParseField(std::string_view field, double* out) {
  const std::string_view number = Trimmed(field);
  if (number.empty() || number.find_first_of(" \t") != std::string_view::npos) return false;
  return textio::ParseDouble(number, out);
}

std::optional<FixedLine> ParseFixedLine(std::string_view text) {
  const size_t end = text.find_last_not_of(" \t");
  if (end == std::string_view::npos || end + 1 != kLineWidth) return std::nullopt;
  FixedLine line;
  for (size_t k = 0; k < 4; ++k) {
    const std::string_view field = text.substr(k * kFieldWidth, kFieldWidth);
    if ((k == 1 && field == kNoRoot) || (k == 2 && field == kNoNsr1)) {
      line.present[k] = false;
    } else if (!ParseField(field, &line.value[k])) {
      return std::nullopt;
    }
  }
  if (!std::isfinite(line.value[0])) return std::nullopt;  // a line without its frequency
  return line;
}

bool IsFort7Line(const FixedLine& line) {
  if (!line.present[1] || !line.present[2]) return false;
  const double product = line.value[2] * line.value[3];
  return std::fabs(product - 2.0 * std::numbers::pi) <= kTwoPiAgreement * 2.0 * std::numbers::pi;
}

[[noreturn]] void Refuse(const std::string& source, const TextLine& line, std::string_view kind) {
  throw textio::InputError(AtLine(source, line.number, "not a line of " + std::string(kind) + ": " + Shown(line.text)));
}

constexpr std::string_view kQuillonKind =
    "quillon output (four 15-column fields: frequency, nsr0 or NO ROOT, nsr1 or 1234567, dltmx)";
constexpr std::string_view kFort7Kind =
    "quillon's fort.7 (four 15-column fields: frequency, velocity, 2*pi/rkmin, rkmin)";

}  // namespace

bool IsFixedColumnLine(std::string_view line) { return ParseFixedLine(line).has_value(); }

ResolutionLimit ReadFort7(const std::string& source, const std::vector<TextLine>& lines) {
  ResolutionLimit limit{source, {}};
  for (const TextLine& text : lines) {
    if (IsBlank(text.text)) continue;
    const std::optional<FixedLine> line = ParseFixedLine(text.text);
    if (!line || !IsFort7Line(*line)) Refuse(source, text, kFort7Kind);
    limit.velocities.push_back({line->value[0], line->value[1], 0.0});
  }
  if (limit.velocities.empty()) throw textio::InputError(source + ": no lines (an empty fort.7)");
  return limit;
}

ReadInput ReadFixedColumns(const std::string& source, const std::vector<TextLine>& lines) {
  // A fort.7 when every line is one; then read as such.
  bool all_fort7 = true;
  for (const TextLine& text : lines) {
    if (IsBlank(text.text)) continue;
    const std::optional<FixedLine> line = ParseFixedLine(text.text);
    if (!line || !IsFort7Line(*line)) {
      all_fort7 = false;
      break;
    }
  }
  if (all_fort7) return {ReadFort7(source, lines), std::nullopt, 0};

  ReadInput read{NoiseRatios{source, {}, {}, 0}, std::nullopt, 0};
  NoiseRatios& ratios = std::get<NoiseRatios>(read.input);
  bool gap = false;  // a NO ROOT line since the last nsr0
  ForEachResultLine(lines, &read, [&](const TextLine& text) {
    const std::optional<FixedLine> line = ParseFixedLine(text.text);
    if (!line) Refuse(source, text, kQuillonKind);
    if (line->present[1] && !std::isfinite(line->value[1])) {
      ++ratios.not_finite;
      gap = true;
    } else if (line->present[1]) {
      ratios.nsr0.push_back({line->value[0], line->value[1], 0.0, gap && !ratios.nsr0.empty()});
      gap = false;
    } else {
      ratios.no_root.push_back(line->value[0]);
      gap = true;
    }
  });
  return read;
}

}  // namespace circplot
