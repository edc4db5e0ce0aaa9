// quillon's case in the hardening tests (hardening/cases.h).
#include "hardening/cases.h"
#include "noise_ratio/quillon.h"
#include "suite/programs.h"

namespace quillon {
namespace {

// Four records of six values; resolution limits go to fort.7.
constexpr char kRecords[] =
    "3.0 4\n"
    "2 0.5 2 0.5 2 7.5\n"
    "3 0.15 3 0.35 3 0\n"
    "4 0.95 4 0.8 4 0\n"
    "5 1.5 5 0.95 5 0\n";

[[maybe_unused]] const bool registered = hardening::RegisterCase({
    .program = kProgram,
    .input = kRecords,
    // Frequencies that differ stop the run after the four lines before.
    .stop_input = std::string(kRecords) + "6 .5 7 .5 6 0\n2 0.5 2 0.5 2 0\n",
    .lines_before_stop = 4,
    .streams = true,
    .outputs = {"fort.7"},
    .extreme_inputs =
        {
            "3.4e38 2147483647\n1e38 nan 1e38 inf 1e38 0\n0 0 0 0 0 0\n",
            "-0 -2147483648\n-1e-45 1e-45 -1e-45 -1e-45 -1e-45 0\n",
        },
});

}  // namespace
}  // namespace quillon
