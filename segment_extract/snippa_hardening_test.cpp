// snippa's case in the hardening tests (hardening/cases.h).
#include "hardening/cases.h"
#include "suite/programs.h"

namespace snippa {
namespace {

[[maybe_unused]] const bool registered = hardening::RegisterCase({
    .program = kProgram,
    .input = "2 2\n5\n0.5\n1.25\n1\n2\n3\n4\n5\n",
    .stop_input = "",  // snippa has no message stop
    .streams = true,
    .extreme_inputs =
        {
            "2147483647 2147483647\n2147483647\n0\n0\n1\n2\n",
            "-2147483648 -2147483648\n-2147483648\n1e308\n-1e308\n1\n",
            "2147483647 1073741824\n2147483647\n0\n0\n1\n",
            "1 3\n5\ninf\nnan\n1e300\n-1e300\n5e-324\n",
        },
});

}  // namespace
}  // namespace snippa
