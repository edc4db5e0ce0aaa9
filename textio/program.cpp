#include "textio/program.h"

#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "textio/errors.h"

namespace textio {

namespace {

void Report(std::ostream& err, std::string_view name, std::string_view message) {
  err << name << ": " << message << '\n';
  err.flush();
}

}  // namespace

int RunProgram(std::string_view name, std::ostream& out_stream, std::ostream& err,
               const std::function<void(Output&)>& body) {
  Output out(out_stream);
  int status = 0;
  try {
    try {
      body(out);
    } catch (const Stop& stop) {
      out.Write(stop.text());
      status = stop.status();
    } catch (const WriteError&) {
      throw;
    } catch (const RuntimeError& e) {
      out.Flush();
      Report(err, name, e.what());
      return kRuntimeErrorStatus;
    }
    out.Flush();
  } catch (const WriteError& e) {
    Report(err, name, std::string("cannot write output: ") + e.what());
    return kRuntimeErrorStatus;
  } catch (const std::bad_alloc&) {
    Report(err, name, "out of memory");
    return kRuntimeErrorStatus;
  } catch (const std::exception& e) {
    Report(err, name, std::string("internal error: ") + e.what());
    return kRuntimeErrorStatus;
  }
  return status;
}

std::string_view SuiteVersion() { return CIRCARRAY_VERSION; }

int Dispatch(std::span<const std::string_view> args, const ProgramInfo& info, ProgramFn program,
             std::istream& in, std::ostream& out, std::ostream& err, bool interactive) {
  if (args.empty()) {
    if (interactive) {
      err << info.name << ": reading " << info.waiting << " from standard input"
          << " (end with Ctrl-D; '" << info.name << " --help' explains the layout)\n";
      err.flush();
    }
    return program(in, out, err);
  }
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << info.help;
    out.flush();
    return out ? 0 : kRuntimeErrorStatus;
  }
  if (args.size() == 1 && args[0] == "--version") {
    out << info.name << " (circarray) " << SuiteVersion() << '\n';
    out.flush();
    return out ? 0 : kRuntimeErrorStatus;
  }
  err << info.name << ": unexpected argument '" << args[0] << "'; usage: " << info.name
      << " [--help | --version] < input\n";
  return kRuntimeErrorStatus;
}

int RunMain(int argc, char** argv, const ProgramInfo& info, ProgramFn program) {
  std::signal(SIGPIPE, SIG_IGN);
  std::ios::sync_with_stdio(false);
  std::vector<std::string_view> args(argv + 1, argv + argc);
  return Dispatch(args, info, program, std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) == 1);
}

}  // namespace textio
