#include "testsupport/run_program.h"

#include <sstream>

#include "suite/runtime.h"
#include "testsupport/capped_device.h"

namespace testsupport {

Outcome RunInProcess(const suite::Program& program, std::string_view input, const RunOptions& options) {
  std::istringstream in{std::string(input)};
  CappedDevice device(options.stdout_limit);
  std::ostream out(&device);
  std::ostringstream err;
  suite::Invocation invocation;
  invocation.args = options.args;
  invocation.directory = options.directory;
  invocation.stdin_is_terminal = options.stdin_is_terminal;
  const int status = suite::Invoke(program, {in, out, err}, std::move(invocation));
  return {status, device.taken(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool IsOneDiagnosticLine(const std::string& err, std::string_view name) {
  const std::string prefix = std::string(name) + ": ";
  return err.size() > prefix.size() && err.compare(0, prefix.size(), prefix) == 0 && err.back() == '\n' &&
         err.find('\n') == err.size() - 1;
}

}  // namespace testsupport
