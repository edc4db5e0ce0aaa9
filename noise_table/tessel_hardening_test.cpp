// tessel's case in the hardening tests (hardening/cases.h).
#include "hardening/cases.h"
#include "noise_table/tessel.h"
#include "suite/programs.h"

namespace tessel {
namespace {

[[maybe_unused]] const bool registered = hardening::RegisterCase({
    .program = kProgram,
    .input = "0.1 1\n",
    // 0.9995: the shifted argument leaves the Bessel routine's range after 203 rows.
    .stop_input = "0.9995 1\n",
    .lines_before_stop = 203,
    .streams = false,
    .extreme_inputs =
        {
            "3.4e38 2147483647\n",
            "-1e-45 -2147483648\n",
            "nan 0\n",
        },
});

}  // namespace
}  // namespace tessel
