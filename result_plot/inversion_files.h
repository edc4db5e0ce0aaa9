#ifndef CIRCARRAY_RESULT_PLOT_INVERSION_FILES_H_
#define CIRCARRAY_RESULT_PLOT_INVERSION_FILES_H_

#include <istream>
#include <string>
#include <vector>

#include "profile_inversion/ensemble_rule.h"
#include "result_plot/inputs.h"
#include "suite/context.h"

namespace circplot {

// Readers of the files circinv writes into its result directory (see
// docs/circinv.md, "Result files"). Each names its columns in its last
// '#' header line and is read by those names; each refuses what does not
// fit with textio::InputError "<source> line N: ...".

// profile.txt: "depth vs_p10 vs_p50 vs_p90 vs_best" per depth, from the
// surface to the depth the data constrain. Fills the profile part of *run.
void ParseProfile(std::istream& in, const std::string& source, InversionRun* run);

// fit.txt: per wave a block "# rayleigh" or "# love" of lines "frequency
// c_observed sigma c_best c_p10 c_p50 c_p90" (nan where a model has no
// mode).
std::vector<InversionRun::Fit> ParseFit(std::istream& in, const std::string& source);

// ensemble.txt: every model tried, "misfit thickness_1 vp_1 vs_1 density_1
// ... vp_L vs_L density_L" (the half-space without thickness), in the order
// made.
std::vector<ShearModel> ParseEnsemble(std::istream& in, const std::string& source);

// The acceptable ensemble of circinv's appraisal, by circinv's own rule
// (profile_inversion/ensemble_rule.h) over the models' misfits.
circinv::Ensemble AcceptableModels(const std::vector<ShearModel>& models);

// Whether the directory `name` (as given on the command line, taken from
// the run's directory) holds circinv's results: profile.txt and fit.txt.
bool IsInversionDirectory(const suite::Context& context, const std::string& name);

// Reads circinv's result directory `name` through the run's context:
// profile.txt and fit.txt, and where present best_model.txt and
// ensemble.txt (of whose acceptable models the best kMaxDrawnModels are
// kept).
InversionRun ReadInversionRun(suite::Context& context, const std::string& name);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_INVERSION_FILES_H_
