#include "suite/programs.h"

#include <variant>

#include "profile_inversion/forward_run.h"
#include "profile_inversion/inversion_run.h"
#include "profile_inversion/request.h"

namespace circinv {

void Run(suite::Context& context) {
  const Request request = ParseRequest(context.args());
  if (const ForwardRequest* forward = std::get_if<ForwardRequest>(&request)) {
    RunForward(context, *forward);
  } else {
    RunInversion(context, std::get<InversionRequest>(request));
  }
}

}  // namespace circinv
