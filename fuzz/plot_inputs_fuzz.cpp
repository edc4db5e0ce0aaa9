// circplot's recognition of its inputs on arbitrary text: every input is
// read as one kind (a circspec table, a dispersion-curve table, vantor's
// or quillon's output, a fort.7) or refused with a textio::InputError
// naming the source; and the readers of circinv's result files (profile,
// fit, ensemble) on the same text. (The --true file is the
// dispersion-curve file: see curve_reader_fuzz.)
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "harness.h"
#include "result_plot/inversion_files.h"
#include "result_plot/read_inputs.h"
#include "result_plot/text_lines.h"
#include "textio/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream in(text);
  const std::vector<circplot::TextLine> lines = circplot::ReadLines(in);
  fuzz::ReadOrRefusal("fuzz.txt", [&] { return circplot::RecogniseInput("fuzz.txt", lines); });
  fuzz::ReadOrRefusal("profile.txt", [&] {
    std::istringstream file(text);
    circplot::InversionRun run;
    circplot::ParseProfile(file, "profile.txt", &run);
    return run;
  });
  fuzz::ReadOrRefusal("fit.txt", [&] {
    std::istringstream file(text);
    return circplot::ParseFit(file, "fit.txt");
  });
  fuzz::ReadOrRefusal("ensemble.txt", [&] {
    std::istringstream file(text);
    const std::vector<circplot::ShearModel> models = circplot::ParseEnsemble(file, "ensemble.txt");
    fuzz::Check(!circplot::AcceptableModels(models).models.empty(), "an ensemble of at least one model");
    return models;
  });
  return 0;
}
