#include "profile_inversion/input_text.h"

#include <filesystem>
#include <iterator>
#include <system_error>

#include "profile_inversion/request.h"
#include "textio/errors.h"

namespace circinv {
namespace {

std::string WholeOf(std::istream& in, const std::string& shown) {
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw textio::InputError(shown + ": cannot be read");
  return text;
}

}  // namespace

InputText ReadInputText(suite::Context& context, const std::string& name) {
  if (name == kStandardInput) {
    if (context.stdin_is_terminal()) context.Warn("reading standard input ('-'; end with Ctrl-D)");
    return {"standard input", WholeOf(context.in(), "standard input")};
  }
  suite::InputFile& file = context.OpenInput(name);
  InputText input{name, WholeOf(file.stream(), name)};
  context.Close(file);
  return input;
}

bool SameFile(const suite::Context& context, const std::string& a, const std::string& b) {
  if (a == kStandardInput || b == kStandardInput) return false;
  std::error_code ec;
  return a == b || (std::filesystem::equivalent(context.Resolve(a), context.Resolve(b), ec) && !ec);
}

}  // namespace circinv
