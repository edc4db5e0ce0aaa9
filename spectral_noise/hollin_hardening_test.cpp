// hollin's case in the hardening tests (hardening/cases.h).
#include "hardening/cases.h"
#include "suite/programs.h"

namespace hollin {
namespace {

// Two mode-1 records of seven complex values each.
constexpr char kRecords[] =
    "1 2\n"
    "0.75 1 0 0\n0 1 0 0\n0 0.5 0 0\n0 1 0 0\n0 1 0 0\n0 0.1 0 0\n0 1 0 0\n"
    "1.5 1 0 0\n0 1 0 0\n0 0.5 0 0\n0 1 0 0\n0 1 0 0\n0 0.2 0 0\n0 1 0 0\n";

[[maybe_unused]] const bool registered = hardening::RegisterCase({
    .program = kProgram,
    .input = kRecords,
    .stop_input = "3 2\n",  // an unknown mode
    .lines_before_stop = 0,
    .streams = true,
    .extreme_inputs =
        {
            "1 2147483647\n28*3.4e38\n",
            "2 -2147483648\n60*-1e-45\n",
            "1 0\n28*nan\n",
        },
});

}  // namespace
}  // namespace hollin
