// vantor's case in the hardening tests (hardening/cases.h).
#include "hardening/cases.h"
#include "suite/programs.h"

namespace vantor {
namespace {

[[maybe_unused]] const bool registered = hardening::RegisterCase({
    .program = kProgram,
    .input = "1 10.0 0.0 100\n2.0 0.5\n3.0 0.4\n4.0 0.3\n5.0 0.2\n",
    .stop_input = "7 1 1 1\n",  // an unknown type code
    .lines_before_stop = 0,
    .streams = true,
    .extreme_inputs =
        {
            "1 3.4e38 -3.4e38 nan\n1e38 1e38\n-1e-45 -0\ninf nan\n",
            "10 1e-45 0 inf\n-3.4e38\n1 0.5\n",
            "2147483647 1 1 1\n",
            "2147483648 1 1 1\n",
        },
});

}  // namespace
}  // namespace vantor
