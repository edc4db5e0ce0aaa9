#include "profile_inversion/model_file.h"

#include <cmath>
#include <string>
#include <vector>

#include "profile_inversion/model_check.h"
#include "textio/errors.h"
#include "textio/fields.h"
#include "textio/format.h"
#include "textio/line_source.h"
#include "textio/number.h"
#include "textio/output.h"
#include "textio/printable.h"

namespace circinv {

namespace {

constexpr const char* kColumnNames[] = {"thickness", "vp", "vs", "density"};

[[noreturn]] void Refuse(std::string_view file_name, long line, const std::string& why) {
  throw textio::InputError(std::string(file_name) + " line " + std::to_string(line) + ": " + why);
}

}  // namespace

LayeredModel ReadModel(std::istream& in, std::string_view file_name) {
  LayeredModel model;
  textio::LineSource lines(in);
  std::string_view line;
  long half_space_line = 0;  // the line of a thickness-0 row, once seen
  while (lines.Next(&line)) {
    const long number = lines.line_number();
    line = line.substr(0, line.find('#'));
    const std::vector<std::string_view> fields = textio::SplitFields(line, " \t\r\f\v");
    if (fields.empty()) continue;
    if (half_space_line != 0) {
      Refuse(file_name, half_space_line, "a row of thickness 0 (the half-space) must be the last row");
    }
    if (fields.size() < 4) {
      Refuse(file_name, number,
             std::string(kColumnNames[fields.size()]) + " is missing (a row is thickness vp vs density)");
    }
    if (fields.size() > 4) {
      Refuse(file_name, number,
             "extra value '" + textio::Printable(fields[4]) + "' (a row is thickness vp vs density)");
    }
    double values[4];
    for (int i = 0; i < 4; ++i) {
      if (!textio::ParseDouble(fields[i], &values[i])) {
        Refuse(file_name, number,
               std::string(kColumnNames[i]) + " '" + textio::Printable(fields[i]) + "' is not a number");
      }
      if (!std::isfinite(values[i])) {
        Refuse(file_name, number,
               std::string(kColumnNames[i]) + " '" + textio::Printable(fields[i]) + "' is not finite");
      }
      // Only the thickness may be 0 (the half-space).
      if (values[i] < 0 || (values[i] == 0 && i != 0)) {
        Refuse(file_name, number,
               std::string(kColumnNames[i]) + " " + textio::Shortest(values[i]) + " is not positive");
      }
    }
    const Layer layer{values[0], values[1], values[2], values[3]};
    if (const std::string why = WhyUnphysicalMaterial(layer); !why.empty()) Refuse(file_name, number, why);
    if (layer.thickness == 0) half_space_line = number;
    model.layers.push_back(layer);
    if (const std::string why = WhyTooContrasted(model); !why.empty()) Refuse(file_name, number, why);
  }
  if (half_space_line == 0) {
    Refuse(
        file_name, lines.line_number(),
        "no half-space: the last row must have thickness 0 (" + std::to_string(model.layers.size()) + " layers read)");
  }
  return model;
}

void WriteModel(std::ostream& out, const LayeredModel& model, std::string_view file_name) {
  std::string text = "# thickness vp vs density (m, m/s, m/s, kg/m^3); the last row is the half-space\n";
  for (const Layer& l : model.layers) {
    textio::AppendShortest(&text, l.thickness);
    text += ' ';
    textio::AppendShortest(&text, l.vp);
    text += ' ';
    textio::AppendShortest(&text, l.vs);
    text += ' ';
    textio::AppendShortest(&text, l.density);
    text += '\n';
  }
  out << text;
  out.flush();
  if (!out) throw textio::WriteError(textio::WriteFailure(file_name));
}

}  // namespace circinv
