// gauger's case in the hardening tests (hardening/cases.h).
#include "hardening/cases.h"
#include "rms_eval/gauger.h"
#include "suite/programs.h"

namespace gauger {
namespace {

[[maybe_unused]] const bool registered = hardening::RegisterCase({
    .program = kProgram,
    .input = "0.1\n0.01\n0.0\n0.5\n2\nu\nrecord.d\nout_rms.d\n",
    .stop_input = "0.1\n0.01\n0.0\n0.5\n2\nx\nrecord.d\nout_rms.d\n",  // no component x
    .lines_before_stop = 0,
    .streams = true,
    .files = {{"record.d", hardening::ColumnFile(40)}, {"extreme.d", hardening::kExtremeColumnFile}},
    .data_file = "record.d",
    .outputs = {"out_rms.d"},
    .extreme_inputs =
        {
            "0.1\n0.01\n0.0\n0.5\n2147483647\nu\nextreme.d\nout.d\n",
            "1e308\n5e-324\n-1e308\n1\n0\nu\nextreme.d\nout.d\n",
            "0.1\n0.01\n-1e300\n-1e300\n0\nn\nextreme.d\nout.d\n",
            "nan\ninf\nnan\nnan\n0\ne\nextreme.d\nout.d\n",
        },
});

}  // namespace
}  // namespace gauger
