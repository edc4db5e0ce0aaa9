// circinv's model and parameter files on arbitrary text. A model read is
// physical (every value finite and positive, vp/vs above sqrt(4/3), a
// half-space last) and its dispersion curve has a mode below the
// half-space's vs or none; a parameter space read has ordered ranges and
// a half-space last. Every refusal names the file first.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"
#include "profile_inversion/dispersion.h"
#include "profile_inversion/model_check.h"
#include "profile_inversion/model_file.h"
#include "profile_inversion/param_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream model_in(text);
  const auto model = fuzz::ReadOrRefusal("model.txt", [&] { return circinv::ReadModel(model_in, "model.txt"); });
  if (model && model->layers.size() <= 12) {
    fuzz::Check(circinv::WhyUnphysical(*model).empty(), "a model read is physical");
    fuzz::Check(model->half_space().thickness == 0, "the last row is the half-space");
    const std::vector<double> f = {0.5, 5, 50};
    std::vector<double> c(f.size());
    circinv::DispersionSolver solver(circinv::Wave::kRayleigh);
    solver.PhaseVelocities(*model, f, c);
    for (double v : c) fuzz::Check(std::isnan(v) || (v > 0 && v < model->half_space().vs), "a mode below vs");
  }
  std::istringstream param_in(text);
  const auto space =
      fuzz::ReadOrRefusal("param.txt", [&] { return circinv::ReadParameterSpace(param_in, "param.txt"); });
  if (space) {
    fuzz::Check(space->layers.size() >= 2, "layers over a half-space");
  }
  return 0;
}
