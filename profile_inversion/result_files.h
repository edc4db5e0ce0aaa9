#ifndef CIRCARRAY_PROFILE_INVERSION_RESULT_FILES_H_
#define CIRCARRAY_PROFILE_INVERSION_RESULT_FILES_H_

#include <filesystem>
#include <string_view>

#include "profile_inversion/inversion.h"

namespace circinv {

// Writes the results of an inversion into the directory `directory`:
//   best_model.txt  the best model, in the grammar of model files;
//   profile.txt     depth and the 10/50/90 % quantiles of vs of the
//                   acceptable models, with the best model's vs; Vs30 and
//                   the depth the data constrain in the header;
//   ensemble.txt    every model tried, its misfit and its layers;
//   fit.txt         per curve: frequency, observed c and sigma, the best
//                   model's c and the 10/50/90 % of the acceptable models' c.
// All or nothing: the files are written into a fresh hidden directory
// beside `directory`, which is then renamed to it. A `directory` that does
// not exist is made; an empty one is replaced; a non-empty one (or a file of
// that name) is refused and left as it is. On any failure the temporary
// directory is removed and textio::WriteError (a file) or
// textio::RuntimeError (the directory) is thrown, naming the directory as
// `shown` (its path when empty).
void WriteResults(const std::filesystem::path& directory, const InversionResult& result, std::string_view shown = {});

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_RESULT_FILES_H_
