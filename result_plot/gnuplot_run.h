#ifndef CIRCARRAY_RESULT_PLOT_GNUPLOT_RUN_H_
#define CIRCARRAY_RESULT_PLOT_GNUPLOT_RUN_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace circplot {

// The executable `program` in the folders of $PATH, as a shell would find
// it; none if it is not there.
std::optional<std::filesystem::path> FindOnPath(std::string_view program);

// How a run of gnuplot ended.
struct GnuplotOutcome {
  bool exited = false;   // it exited (else a signal ended it)
  int code = 0;          // its exit status, or the signal's number
  std::string messages;  // what it wrote on its standard output and error

  bool ok() const { return exited && code == 0; }
  // "exit status 1", "signal 9".
  std::string Describe() const;
};

// Runs `gnuplot script` in `directory` (empty: the current one), its
// standard input empty, its standard output and error collected. Throws
// textio::RuntimeError if the program cannot be started.
GnuplotOutcome RunGnuplot(const std::filesystem::path& gnuplot, const std::string& script,
                          const std::filesystem::path& directory);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_GNUPLOT_RUN_H_
