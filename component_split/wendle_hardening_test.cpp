// wendle's case in the hardening tests (hardening/cases.h).
#include "component_split/wendle.h"
#include "suite/programs.h"
#include "hardening/cases.h"

namespace wendle {
namespace {

[[maybe_unused]] const bool registered = hardening::RegisterCase({
    .program = kProgram,
    .input = "3\n1\nrecord.d\nout_\n",
    // The second item's input is missing: the first item's files are complete.
    .stop_input = "3\n2\nrecord.d\nout_\nrecord.d.missing\nout2_\n",
    .lines_before_stop = 0,
    .streams = true,
    .files = {{"record.d", hardening::ColumnFile(40)}, {"extreme.d", hardening::kExtremeColumnFile}},
    .data_file = "record.d",
    .outputs = {"out_u.d", "out_e.d", "out_n.d"},
    .extreme_inputs =
        {
            "2147483647\n2147483647\nextreme.d\nout.d\n",
            "-2147483648\n-1\nextreme.d\nout.d\n",
        },
});

}  // namespace
}  // namespace wendle
