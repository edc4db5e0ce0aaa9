#include "suite/runtime.h"

#include <unistd.h>

#include <csignal>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "core/bessel.h"
#include "suite/stop.h"
#include "textio/errors.h"

namespace suite {

namespace {

void Report(std::ostream& err, std::string_view name, std::string_view message) {
  err << name << ": " << message << '\n';
  err.flush();
}

// The body, with a message stop (the program's own, or a Bessel refusal)
// turned into its text after the files are closed.
int RunBody(const Program& program, Context& context) {
  std::string stop_text;
  int status = 0;
  try {
    program.run(context);
  } catch (const suite::Stop& stop) {
    stop_text = stop.text();
    status = stop.status();
  } catch (const core::BesselRefusal& refusal) {
    stop_text = suite::MessageLine("Error:nz or ierr in cbesj()", refusal.nz(), refusal.ierr());
  }
  context.CloseAll();
  context.out().Write(stop_text);
  context.out().Flush();
  return status;
}

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

int PrintAndReturn(std::ostream& out, std::string_view text) {
  out << text;
  out.flush();
  return out ? 0 : kFailureStatus;
}

}  // namespace

std::string_view Version() { return CIRCARRAY_VERSION; }

int Execute(const Program& program, Context& context) {
  try {
    return RunBody(program, context);
  } catch (const textio::RuntimeError& e) {
    context.AbandonAll();
    try {
      context.out().Flush();  // lines written before the error stay written
    } catch (const textio::WriteError&) {
      // The first error is the one reported.
    }
    Report(context.err(), program.name, e.what());
  } catch (const std::bad_alloc&) {
    context.AbandonAll();
    Report(context.err(), program.name, "out of memory");
  } catch (const std::exception& e) {
    context.AbandonAll();
    Report(context.err(), program.name, std::string("internal error: ") + e.what());
  }
  return kFailureStatus;
}

int Invoke(const Program& program, Streams streams, Invocation invocation) {
  const std::vector<std::string>& args = invocation.args;
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (IsHelp(arg) && (program.arguments == Arguments::kOptions || args.size() == 1)) {
      return PrintAndReturn(streams.out, program.help);
    }
    if (arg == "--version" && (program.arguments == Arguments::kOptions || args.size() == 1)) {
      return PrintAndReturn(streams.out, std::string(program.name) + " (circarray) " + std::string(Version()) + "\n");
    }
  }
  if (program.arguments == Arguments::kNone) {
    if (!args.empty()) {
      streams.err << program.name << ": unexpected argument '" << args[0] << "'; usage: " << program.name
                  << " [--help | --version] < input\n";
      return kFailureStatus;
    }
    if (invocation.stdin_is_terminal) {
      streams.err << program.name << ": reading " << program.waiting << " from standard input"
                  << " (end with Ctrl-D; '" << program.name << " --help' explains the layout)\n";
      streams.err.flush();
    }
  }
  Context context(program.name, streams, std::move(invocation));
  return Execute(program, context);
}

int Main(int argc, char** argv, const Program& program) {
  std::signal(SIGPIPE, SIG_IGN);
  std::ios::sync_with_stdio(false);
  Invocation invocation;
  invocation.args.assign(argv + 1, argv + argc);
  invocation.stdin_is_terminal = isatty(STDIN_FILENO) == 1;
  invocation.stderr_is_terminal = isatty(STDERR_FILENO) == 1;
  return Invoke(program, {std::cin, std::cout, std::cerr}, std::move(invocation));
}

}  // namespace suite
