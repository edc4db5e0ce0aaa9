// corral's case in the hardening tests (hardening/cases.h).
#include "centre_series/corral.h"
#include "suite/programs.h"
#include "hardening/cases.h"

namespace corral {
namespace {

[[maybe_unused]] const bool registered = hardening::RegisterCase({
    .program = kProgram,
    .input = "1.0 2.0\nrecord.d\n3\n0\nout_cu.d\nout_ce.d\nout_cn.d\n",
    .stop_input = "1.0 2.0\nrecord.d\n9\n0\n",  // more components than output names
    .lines_before_stop = 2,
    .streams = true,
    .files = {{"record.d", hardening::ColumnFile(40)}, {"extreme.d", hardening::kExtremeColumnFile}},
    .data_file = "record.d",
    .outputs = {"out_cu.d", "out_ce.d", "out_cn.d"},
    .extreme_inputs =
        {
            "1e308 -1e308\nextreme.d\n-2147483648\n2147483647\n",
            "nan inf\nextreme.d\n2\n-2147483648\nout.da\nout.db\n",
        },
});

}  // namespace
}  // namespace corral
