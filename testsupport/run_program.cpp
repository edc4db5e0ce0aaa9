#include "testsupport/run_program.h"

#include <sstream>

namespace testsupport {

Outcome Run(const Program& program, std::string_view input) {
  std::istringstream in{std::string(input)};
  std::ostringstream out, err;
  const int status = program(in, out, err);
  return {status, out.str(), err.str()};
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
