#include "result_plot/inversion_files.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "profile_inversion/model_file.h"
#include "result_plot/text_lines.h"
#include "textio/errors.h"
#include "textio/format.h"
#include "textio/line_source.h"
#include "textio/number.h"

namespace circplot {

namespace {

// The columns of a file, named by its header line whose first word is
// the first column's name.
struct Columns {
  std::string source;
  std::vector<std::string> names;
  long line = 0;  // the header line naming them

  std::optional<size_t> Find(std::string_view name) const {
    const auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) return std::nullopt;
    return static_cast<size_t>(it - names.begin());
  }
  size_t Need(std::string_view name) const {
    const std::optional<size_t> at = Find(name);
    if (!at) {
      throw textio::InputError(AtLine(source, line, "the header names no column '" + std::string(name) + "'"));
    }
    return *at;
  }
};

[[noreturn]] void Refuse(const std::string& source, long line, const std::string& what) {
  throw textio::InputError(AtLine(source, line, what));
}

// Reads a file of named columns: blank lines are skipped; a '#' line
// whose first word is `first_name` names the columns, any other is handed
// to comment(body, line); every other line is a row of numbers, one per
// column, handed to row(values, line).
template <typename Comment, typename Row>
void ReadColumns(std::istream& in, const std::string& source, std::string_view first_name, Columns* columns,
                 Comment comment, Row row) {
  columns->source = source;
  textio::LineSource lines(in);
  std::string_view text;
  std::vector<double> values;
  while (lines.Next(&text)) {
    const long n = lines.line_number();
    const std::string_view trimmed = Trimmed(text.ends_with('\r') ? text.substr(0, text.size() - 1) : text);
    if (trimmed.empty()) continue;
    if (trimmed.starts_with('#')) {
      const std::string_view body = Trimmed(trimmed.substr(1));
      const std::vector<std::string_view> fields = Fields(body);
      if (!fields.empty() && fields[0] == first_name) {
        columns->names.assign(fields.begin(), fields.end());
        columns->line = n;
      } else {
        comment(body, n);
      }
      continue;
    }
    if (columns->names.empty()) {
      Refuse(source, n,
             "a line of numbers before the header line naming the columns ('# " + std::string(first_name) +
                 " ...'): " + Shown(trimmed));
    }
    const std::vector<std::string_view> fields = Fields(trimmed);
    if (fields.size() != columns->names.size()) {
      Refuse(source, n,
             std::to_string(fields.size()) + " values where the header (line " + std::to_string(columns->line) +
                 ") names " + std::to_string(columns->names.size()) + " columns");
    }
    values.resize(fields.size());
    for (size_t c = 0; c < fields.size(); ++c) {
      if (!textio::ParseDouble(fields[c], &values[c])) {
        Refuse(source, n, "the value of column '" + columns->names[c] + "' is not a number: " + Shown(fields[c]));
      }
    }
    row(values, n);
  }
  if (columns->names.empty()) {
    throw textio::InputError(source + ": no header line naming the columns ('# " + std::string(first_name) + " ...')");
  }
}

// A value that must be a positive number; with `nan_allowed` "nan" passes
// too (a quantity that does not exist there).
double Positive(const Columns& columns, const std::vector<double>& values, size_t column, long line,
                bool nan_allowed = false) {
  const double v = values[column];
  if ((std::isfinite(v) && v > 0.0) || (nan_allowed && std::isnan(v))) return v;
  Refuse(columns.source, line,
         "column '" + columns.names[column] + "' must be a positive number" + (nan_allowed ? " or nan" : "") +
             ", got " + textio::Shortest(v));
}

// Appends (x, y) to a line through the values of a column, broken where
// the column has no value (nan).
void Extend(std::vector<Point>* line, bool* gap, double x, double y, double upper = 0.0) {
  if (std::isnan(x) || std::isnan(y) || std::isnan(upper)) {
    *gap = !line->empty();
    return;
  }
  line->push_back({x, y, 0.0, *gap, upper});
  *gap = false;
}

ShearModel FromLayers(const circinv::LayeredModel& model) {
  ShearModel shear;
  for (size_t i = 0; i < model.layers.size(); ++i) {
    if (i + 1 < model.layers.size()) shear.thickness.push_back(model.layers[i].thickness);
    shear.vs.push_back(model.layers[i].vs);
  }
  return shear;
}

}  // namespace

void ParseProfile(std::istream& in, const std::string& source, InversionRun* run) {
  Columns columns;
  size_t depth = 0, p10 = 0, p50 = 0, p90 = 0;
  std::optional<size_t> best;
  bool gaps[4] = {false, false, false, false};
  long rows = 0;
  ReadColumns(
      in, source, "depth", &columns,
      [&](std::string_view body, long) {
        if (body.starts_with("Vs30")) run->vs30 = std::string(body);
      },
      [&](const std::vector<double>& v, long line) {
        if (rows++ == 0) {
          depth = columns.Need("depth");
          p10 = columns.Need("vs_p10");
          p50 = columns.Need("vs_p50");
          p90 = columns.Need("vs_p90");
          best = columns.Find("vs_best");
        }
        const double z = v[depth];
        if (!(std::isfinite(z) && z >= 0.0) || z < run->max_depth) {
          Refuse(source, line,
                 "the depth must be a number >= 0 not above the line before it, got " + textio::Shortest(z));
        }
        run->max_depth = z;
        Extend(&run->p10, &gaps[0], Positive(columns, v, p10, line, true), z);
        Extend(&run->p50, &gaps[1], Positive(columns, v, p50, line, true), z);
        Extend(&run->p90, &gaps[2], Positive(columns, v, p90, line, true), z);
        if (best) Extend(&run->best_vs, &gaps[3], Positive(columns, v, *best, line, true), z);
      });
  if (rows == 0 || !(run->max_depth > 0.0)) {
    throw textio::InputError(source + ": a profile without depths below the surface");
  }
}

std::vector<InversionRun::Fit> ParseFit(std::istream& in, const std::string& source) {
  std::vector<InversionRun::Fit> fits;
  Columns columns;
  size_t f = 0, c = 0, sigma = 0, best = 0, p10 = 0, p90 = 0;
  bool new_block = true;  // the next row opens a block of its own
  bool first_row = true;
  bool best_gap = false, band_gap = false;
  ReadColumns(
      in, source, "frequency", &columns,
      [&](std::string_view body, long) {
        const std::vector<std::string_view> words = Fields(body);
        if (words.size() == 1 && (words[0] == "rayleigh" || words[0] == "love")) {
          fits.push_back({std::string(words[0]), {}, {}, {}});
          new_block = false;
          best_gap = band_gap = false;
        }
      },
      [&](const std::vector<double>& v, long line) {
        if (first_row) {
          first_row = false;
          f = columns.Need("frequency");
          c = columns.Need("c_observed");
          sigma = columns.Need("sigma");
          best = columns.Need("c_best");
          p10 = columns.Need("c_p10");
          p90 = columns.Need("c_p90");
        }
        if (new_block) fits.push_back({"", {}, {}, {}});  // rows without a wave's name
        new_block = false;
        InversionRun::Fit& fit = fits.back();
        const double freq = Positive(columns, v, f, line);
        if (!fit.observed.empty() && !(freq > fit.observed.back().f)) {
          Refuse(source, line, "the frequencies of a block must increase");
        }
        fit.observed.push_back({freq, Positive(columns, v, c, line), Positive(columns, v, sigma, line)});
        Extend(&fit.best, &best_gap, freq, Positive(columns, v, best, line, true));
        Extend(&fit.band, &band_gap, freq, Positive(columns, v, p10, line, true),
               Positive(columns, v, p90, line, true));
      });
  std::erase_if(fits, [](const InversionRun::Fit& fit) { return fit.observed.empty(); });
  if (fits.empty()) throw textio::InputError(source + ": no observed phase velocities");
  return fits;
}

std::vector<ShearModel> ParseEnsemble(std::istream& in, const std::string& source) {
  std::vector<ShearModel> models;
  Columns columns;
  size_t misfit = 0;
  std::optional<size_t> search;       // absent in files of one stage only
  std::vector<size_t> thickness, vs;  // the columns of each layer, top down
  ReadColumns(
      in, source, "misfit", &columns, [](std::string_view, long) {},
      [&](const std::vector<double>& v, long line) {
        if (models.empty()) {
          misfit = columns.Need("misfit");
          search = columns.Find("search");
          for (int i = 1; columns.Find("vs_" + std::to_string(i)); ++i) {
            vs.push_back(*columns.Find("vs_" + std::to_string(i)));
          }
          if (vs.empty()) columns.Need("vs_1");
          for (size_t i = 1; i < vs.size(); ++i) thickness.push_back(columns.Need("thickness_" + std::to_string(i)));
        }
        ShearModel model;
        model.misfit = v[misfit];
        if (search) model.searched = v[*search] != 0.0;
        if (!(std::isfinite(model.misfit) && model.misfit >= 0.0)) {
          Refuse(source, line, "the misfit must be a number >= 0, got " + textio::Shortest(model.misfit));
        }
        for (size_t k : thickness) model.thickness.push_back(Positive(columns, v, k, line));
        for (size_t k : vs) model.vs.push_back(Positive(columns, v, k, line));
        models.push_back(std::move(model));
      });
  if (models.empty()) throw textio::InputError(source + ": no models");
  return models;
}

circinv::Ensemble AcceptableModels(const std::vector<ShearModel>& models) {
  std::vector<double> misfits;
  misfits.reserve(models.size());
  size_t searched = 0;  // the search's models come first
  for (const ShearModel& model : models) {
    misfits.push_back(model.misfit);
    if (model.searched && searched + 1 == misfits.size()) ++searched;
  }
  return circinv::AcceptableEnsemble(misfits, searched);
}

namespace {

std::string InDirectory(const std::string& directory, const char* file) {
  return (std::filesystem::path(directory) / file).string();
}

bool IsFile(const suite::Context& context, const std::string& name) {
  std::error_code error;
  return std::filesystem::is_regular_file(context.Resolve(name), error);
}

}  // namespace

bool IsInversionDirectory(const suite::Context& context, const std::string& name) {
  return IsFile(context, InDirectory(name, "profile.txt")) && IsFile(context, InDirectory(name, "fit.txt"));
}

InversionRun ReadInversionRun(suite::Context& context, const std::string& name) {
  InversionRun run;
  run.source = name;
  auto read = [&](const char* file, auto parse) {
    const std::string path = InDirectory(name, file);
    suite::InputFile& input = context.OpenInput(path);
    parse(input.stream(), path);
    context.Close(input);
  };
  read("profile.txt", [&](std::istream& in, const std::string& path) { ParseProfile(in, path, &run); });
  read("fit.txt", [&](std::istream& in, const std::string& path) { run.fits = ParseFit(in, path); });
  if (IsFile(context, InDirectory(name, "best_model.txt"))) {
    read("best_model.txt",
         [&](std::istream& in, const std::string& path) { run.best = FromLayers(circinv::ReadModel(in, path)); });
  }
  if (IsFile(context, InDirectory(name, "ensemble.txt"))) {
    read("ensemble.txt", [&](std::istream& in, const std::string& path) {
      std::vector<ShearModel> models = ParseEnsemble(in, path);
      const circinv::Ensemble ensemble = AcceptableModels(models);
      run.has_ensemble = true;
      run.models = static_cast<long>(models.size());
      run.acceptable = static_cast<long>(ensemble.models.size());
      run.misfit_rule = ensemble.rule == circinv::EnsembleRule::kMisfitAtMostOne;
      const size_t drawn = std::min<size_t>(ensemble.models.size(), kMaxDrawnModels);
      for (size_t k = 0; k < drawn; ++k) run.ensemble.push_back(std::move(models[ensemble.models[k]]));
      run.best_misfit = run.ensemble.front().misfit;
    });
  }
  return run;
}

}  // namespace circplot
