#include "array_spectra/output_forms.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "textio/format.h"

namespace circspec {

namespace {

constexpr int kTableDigits = 9;

}  // namespace

void WriteTable(textio::Output& out, const std::vector<std::string>& header, const std::vector<double>& frequencies,
                const std::vector<Column>& columns, long segments) {
  for (const std::string& line : header) out.Line("# " + line);
  std::string names = "# freq";
  for (const Column& c : columns) {
    names += ' ';
    names += NameOf(c.quantity);
    names += ' ';
    names += NameOf(c.quantity);
    names += "_se";
  }
  names += " segments";
  out.Line(names);
  const std::string count = ' ' + std::to_string(segments);
  for (size_t i = 0; i < frequencies.size(); ++i) {
    std::string* line = out.buffer();
    textio::AppendScientific(line, frequencies[i], kTableDigits);
    // A blank between columns, and the sign's place: negative values line
    // up with the others and never touch the column before.
    for (const Column& c : columns) {
      line->push_back(' ');
      textio::AppendScientific(line, c.series.value[i], kTableDigits);
      line->push_back(' ');
      textio::AppendScientific(line, c.series.se[i], kTableDigits);
    }
    line->append(count);
    line->push_back('\n');
    out.Commit();
  }
}

void WriteCurve(textio::Output& out, const std::vector<std::string>& header, double radius,
                const DispersionCurve& curve) {
  for (const std::string& line : header) out.Line("# " + line);
  std::string names = "# freq c c_se method kr lambda_over_r eps eps_se";
  for (const MethodCurve& m : curve.methods) {
    const std::string name(NameOf(m.method));
    names += " c_" + name + " c_" + name + "_se flag_" + name;
  }
  out.Line(names);
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  auto number = [](std::string* line, double v) {
    line->push_back(' ');
    textio::AppendScientific(line, std::isfinite(v) ? v : kNaN, kTableDigits);
  };
  for (size_t i = 0; i < curve.frequencies.size(); ++i) {
    std::string* line = out.buffer();
    textio::AppendScientific(line, curve.frequencies[i], kTableDigits);
    const int best = curve.best[i];
    if (best >= 0) {
      const MethodCurve& m = curve.methods[best];
      const double kr = m.k[i] * radius;
      number(line, m.c[i]);
      number(line, m.c_se[i]);
      line->append(" ").append(NameOf(m.method));
      number(line, kr);
      number(line, 2 * std::numbers::pi / kr);
    } else {
      number(line, kNaN);
      number(line, kNaN);
      line->append(" -");
      number(line, kNaN);
      number(line, kNaN);
    }
    number(line, curve.eps[i]);
    number(line, curve.eps_se[i]);
    for (const MethodCurve& m : curve.methods) {
      number(line, m.c[i]);
      number(line, m.c_se[i]);
      line->append(" ").append(m.flag[i]);
    }
    line->push_back('\n');
    out.Commit();
  }
}

long WriteVantor(textio::Output& out, int itype, double radius, std::optional<double> inner_radius, double fmax,
                 const std::vector<double>& frequencies, const Series& series) {
  textio::FreeLine(out).Add(static_cast<int32_t>(itype)).Add(radius).Add(0.0).Add(fmax).End();
  if (inner_radius) textio::FreeLine(out).Add(*inner_radius).End();
  long left_out = 0;
  for (size_t i = 0; i < frequencies.size(); ++i) {
    if (!std::isfinite(series.value[i])) {
      ++left_out;
      continue;
    }
    textio::FreeLine(out).Add(frequencies[i]).Add(series.value[i]).Add(series.se[i]).End();
  }
  return left_out;
}

long WriteQuillon(textio::Output& out, double radius, int stations, const std::vector<double>& frequencies,
                  const Series& coh, const Series& spac, const Series& cca) {
  textio::FreeLine(out).Add(radius).Add(static_cast<int32_t>(stations)).End();
  long left_out = 0;
  for (size_t i = 0; i < frequencies.size(); ++i) {
    if (!std::isfinite(coh.value[i]) || !std::isfinite(spac.value[i]) || !std::isfinite(cca.value[i])) {
      ++left_out;
      continue;
    }
    const double f = frequencies[i];
    textio::FreeLine(out).Add(f).Add(coh.value[i]).Add(f).Add(spac.value[i]).Add(f).Add(cca.value[i]).End();
  }
  return left_out;
}

}  // namespace circspec
