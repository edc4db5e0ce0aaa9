// resampa's case in the hardening tests (hardening/cases.h).
#include "hardening/cases.h"
#include "suite/programs.h"

namespace resampa {
namespace {

[[maybe_unused]] const bool registered = hardening::RegisterCase({
    .program = kProgram,
    .input = "pair.d\n10\n0.5\n",
    .stop_input = "single.d\n5\n1\n",  // one pair is too few
    .lines_before_stop = 0,
    .streams = false,
    .files =
        {
            {"pair.d", "0.5 3.2\n1.0 2.9\n2.5 2.0\n4.0 1.1\n6.0 0.4\n"},
            {"single.d", "1 10\n"},
            {"extreme.d", "1 10\n2 100\n"},
        },
    .data_file = "pair.d",
    .extreme_inputs =
        {
            "extreme.d\n1e308\n1e-308\n",
            "extreme.d\ninf\n0\n",
            "extreme.d\nnan\n1\n",
            "extreme.d\n-1e308\n1e-308\n",
            "extreme.d\n4999999.5\n1\n",
        },
});

}  // namespace
}  // namespace resampa
