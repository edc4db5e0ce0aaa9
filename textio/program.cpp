#include "textio/program.h"

#include <csignal>
#include <iostream>

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

int RunMain(int (*program)(std::istream& in, std::ostream& out, std::ostream& err)) {
  std::signal(SIGPIPE, SIG_IGN);
  std::ios::sync_with_stdio(false);
  return program(std::cin, std::cout, std::cerr);
}

}  // namespace textio
