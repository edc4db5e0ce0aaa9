#include "profile_inversion/result_files.h"

#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <system_error>

#include "profile_inversion/model_file.h"
#include "suite/files.h"
#include "textio/errors.h"
#include "textio/format.h"
#include "textio/output.h"

namespace circinv {
namespace {

namespace fs = std::filesystem;

// One line of numbers separated by one blank, each the shortest text that
// reads back as the same double.
class Row {
 public:
  explicit Row(textio::Output& out) : out_(out) {}
  Row& operator<<(double v) {
    std::string* buffer = out_.buffer();
    if (fields_++ > 0) buffer->push_back(' ');
    textio::AppendShortest(buffer, v);
    return *this;
  }
  void End() {
    out_.buffer()->push_back('\n');
    out_.Commit();
  }

 private:
  textio::Output& out_;
  int fields_ = 0;
};

void WriteFile(const fs::path& path, const std::string& shown, const std::function<void(textio::Output&)>& body) {
  std::ofstream stream(path, std::ios::binary | std::ios::trunc);
  if (!stream) throw textio::WriteError(suite::CreateFailure(shown));
  {
    textio::Output out(stream, shown);
    body(out);
    out.Flush();
  }
  stream.close();
  if (!stream) throw textio::WriteError(textio::WriteFailure(shown));
}

std::string Shortest(double v) { return textio::Shortest(v); }

void WriteProfile(textio::Output& out, const InversionResult& result) {
  const Appraisal& a = result.appraisal;
  out.Line("# shear velocity (m/s) against depth (m): quantiles of " + QuantileSource(a) +
           (a.rule == EnsembleRule::kMisfitAtMostOne
                ? " (misfit <= 1)"
                : " (misfit up to that of the search's best 5 %; too few reached misfit 1)") +
           " and the best model (misfit " + Shortest(a.best_misfit) + ")");
  out.Line("# Vs30 (m/s): p10 " + Shortest(a.vs30_percentiles.p10) + ", p50 " + Shortest(a.vs30_percentiles.p50) +
           ", p90 " + Shortest(a.vs30_percentiles.p90) + "; best model " + Shortest(a.best_vs30));
  out.Line("# the data constrain the profile to " + Shortest(a.constrained_depth) +
           " m depth (half the longest observed wavelength)");
  out.Line("# depth vs_p10 vs_p50 vs_p90 vs_best");
  for (size_t k = 0; k < a.depth.size(); ++k) {
    (Row(out) << a.depth[k] << a.vs[k].p10 << a.vs[k].p50 << a.vs[k].p90 << a.best_vs[k]).End();
  }
}

void WriteEnsemble(textio::Output& out, const InversionResult& result) {
  const Parameterisation& p = result.parameterisation;
  out.Line(
      "# every model tried, in the order made: its misfit; search 1 for the neighbourhood search's models, 0 for "
      "those of the polish of the best model and of the walk over the acceptable region that follow them; then per "
      "layer, top down, thickness (m), vp and vs (m/s), density (kg/m^3); the half-space last, without thickness");
  std::string header = "# misfit search";
  for (int i = 1; i <= p.layer_count(); ++i) {
    const std::string n = std::to_string(i);
    if (i < p.layer_count()) header += " thickness_" + n;
    header += " vp_" + n + " vs_" + n + " density_" + n;
  }
  out.Line(header);
  for (int64_t m = 0; m < result.search.size(); ++m) {
    const LayeredModel model = p.ModelAt(result.search.point(m));
    Row row(out);
    row << result.search.misfits[m] << (m < result.searched ? 1 : 0);
    for (size_t i = 0; i < model.layers.size(); ++i) {
      const Layer& layer = model.layers[i];
      if (i + 1 < model.layers.size()) row << layer.thickness;
      row << layer.vp << layer.vs << layer.density;
    }
    row.End();
  }
}

void WriteFit(textio::Output& out, const InversionResult& result) {
  const Appraisal& a = result.appraisal;
  out.Line(
      "# phase velocities (m/s) against frequency (Hz), one block per wave: observed with its standard error, "
      "of the best model, and quantiles of the " +
      std::string(a.rule == EnsembleRule::kMisfitAtMostOne ? "acceptable" : "best 5 % of the") +
      " models; nan where a model has no mode");
  out.Line("# frequency c_observed sigma c_best c_p10 c_p50 c_p90");
  for (size_t k = 0; k < result.curves.size(); ++k) {
    const ObservedCurve& curve = result.curves[k];
    const CurveFit& fit = a.fit[k];
    if (k > 0) out.Line("");
    out.Line(std::string("# ") + WaveName(curve.wave));
    for (size_t i = 0; i < curve.size(); ++i) {
      (Row(out) << curve.frequency[i] << curve.velocity[i] << curve.sigma[i] << fit.best[i] << fit.acceptable[i].p10
                << fit.acceptable[i].p50 << fit.acceptable[i].p90)
          .End();
    }
  }
}

}  // namespace

void WriteResults(const fs::path& directory_as_given, const InversionResult& result, std::string_view shown_name) {
  const std::string shown = shown_name.empty() ? directory_as_given.string() : std::string(shown_name);
  auto refuse = [&](const std::string& why) {
    throw textio::RuntimeError("the result directory \"" + shown + "\" " + why);
  };
  // "out/" names the directory "out": without the trailing separator its
  // parent is where the temporary goes, not "out" itself (the rename of a
  // directory into itself would fail, after the work).
  fs::path directory = directory_as_given.lexically_normal();
  if (!directory.has_filename() && directory.has_relative_path()) directory = directory.parent_path();
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(directory, ec);
  if (fs::exists(status)) {
    if (!fs::is_directory(status)) refuse("exists and is not a directory");
    if (!fs::is_empty(directory, ec) || ec) refuse("exists and is not empty");
  }
  const fs::path name = directory.filename();
  const fs::path parent = directory.parent_path();
  // A fresh sibling, made with the permissions the user's umask gives any
  // new directory (mkdtemp would make it private to the owner).
  fs::path temporary;
  for (int attempt = 0;; ++attempt) {
    std::string hidden = ".";
    hidden += name.string();
    hidden += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    temporary = (parent.empty() ? fs::path(".") : parent) / hidden;
    if (fs::create_directory(temporary, ec)) break;
    if (ec || attempt == 1000) refuse("cannot be made: no temporary directory beside it (" + ec.message() + ")");
  }
  try {
    auto in = [&](const char* file) { return std::pair{temporary / file, shown + "/" + file}; };
    const auto [model_path, model_name] = in("best_model.txt");
    {
      std::ofstream stream(model_path, std::ios::binary | std::ios::trunc);
      if (!stream) throw textio::WriteError(suite::CreateFailure(model_name));
      WriteModel(stream, result.appraisal.best_model, model_name);
      stream.close();
      if (!stream) throw textio::WriteError(textio::WriteFailure(model_name));
    }
    const std::pair<fs::path, std::string> files[] = {in("profile.txt"), in("ensemble.txt"), in("fit.txt")};
    WriteFile(files[0].first, files[0].second, [&](textio::Output& out) { WriteProfile(out, result); });
    WriteFile(files[1].first, files[1].second, [&](textio::Output& out) { WriteEnsemble(out, result); });
    WriteFile(files[2].first, files[2].second, [&](textio::Output& out) { WriteFit(out, result); });
    // rename(2) replaces an empty directory and fails on a non-empty one, so
    // a directory filled since the check above is not overwritten either.
    fs::rename(temporary, directory, ec);
    if (ec) refuse("cannot be made: " + ec.message());
  } catch (...) {
    fs::remove_all(temporary, ec);
    throw;
  }
}

}  // namespace circinv
