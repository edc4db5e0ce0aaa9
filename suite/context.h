#ifndef CIRCARRAY_SUITE_CONTEXT_H_
#define CIRCARRAY_SUITE_CONTEXT_H_

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "suite/files.h"
#include "textio/free_reader.h"
#include "textio/output.h"

namespace suite {

// The standard streams of one run.
struct Streams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// Where a run takes place besides its streams.
struct Invocation {
  std::vector<std::string> args;    // the command-line arguments after the program name
  std::filesystem::path directory;  // relative file names are taken from here ("" = the working directory)
  bool stdin_is_terminal = false;
  bool stderr_is_terminal = false;
};

// Everything one run of a program works with: the reader of standard
// input, the buffered standard output, standard error, the arguments and
// every file the run opens. The context owns the files, so the entry point
// closes whatever is still open however the run ends.
class Context {
 public:
  Context(std::string_view program_name, Streams streams, Invocation invocation);
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;
  ~Context();

  std::string_view program_name() const { return program_name_; }
  const std::vector<std::string>& args() const { return invocation_.args; }
  bool stdin_is_terminal() const { return invocation_.stdin_is_terminal; }
  bool stderr_is_terminal() const { return invocation_.stderr_is_terminal; }

  std::istream& in() { return streams_.in; }
  // The free-format reader of standard input (one per run: it buffers).
  textio::FreeReader& reader();
  textio::Output& out() { return out_; }
  std::ostream& err() { return streams_.err; }

  // One line "<program>: <message>" on standard error, at once. For
  // warnings that leave the run's status and output as they are.
  void Warn(std::string_view message);

  // Data loops end quietly at the end of their input or at the first value
  // that cannot be read; the second is the convention too, but it can hide
  // a typo that halves a result. So a loop that ended at an unreadable value
  // says so on standard error (status and output stay as they are):
  // `source` is the file name or "standard input", `count` and `counted`
  // what the loop did ("1499", "samples written"). Nothing for any other end.
  void NoteDataEnd(const textio::ReadResult& end, std::string_view source, int64_t count, std::string_view counted);

  // Input data files. Try... returns nullptr if the file cannot be read;
  // OpenInput throws textio::InputError naming it.
  InputFile* TryOpenInput(const std::string& name);
  InputFile& OpenInput(const std::string& name);
  // Output files, created (or emptied) at once. TryCreateOutput returns
  // nullptr if the file cannot be created; CreateOutput throws
  // textio::RuntimeError naming it.
  OutputFile* TryCreateOutput(const std::string& name);
  OutputFile& CreateOutput(const std::string& name);
  // An output file that comes into being with its first line.
  OutputFile& OutputOnFirstLine(const std::string& name);

  // Closes one file before the end of the run (textio::WriteError naming
  // an output file that could not be written).
  void Close(InputFile& file);
  void Close(OutputFile& file);
  // Closes every file still open; the first write failure is thrown after
  // all are closed.
  void CloseAll();
  // Closes every file still open without reporting: the run already failed.
  void AbandonAll() noexcept;

  // Where a file name given to the run leads: relative names are taken
  // from the invocation's directory. For files that another program opens
  // on the run's behalf.
  std::filesystem::path Resolve(const std::string& name) const;

 private:
  std::string_view program_name_;
  Streams streams_;
  Invocation invocation_;
  textio::Output out_;
  std::optional<textio::FreeReader> reader_;
  std::vector<std::unique_ptr<InputFile>> inputs_;
  std::vector<std::unique_ptr<OutputFile>> outputs_;
};

}  // namespace suite

#endif  // CIRCARRAY_SUITE_CONTEXT_H_
