#include "hardening/programs.h"

#include "centre_series/corral.h"
#include "component_split/wendle.h"
#include "log_resample/resampa.h"
#include "noise_ratio/quillon.h"
#include "noise_table/tessel.h"
#include "ratio_inversion/vantor.h"
#include "rms_eval/gauger.h"
#include "segment_extract/snippa.h"
#include "spectral_noise/hollin.h"

namespace hardening {

namespace {

constexpr char kHollinRecords[] =
    "1 2\n"
    "0.75 1 0 0\n0 1 0 0\n0 0.5 0 0\n0 1 0 0\n0 1 0 0\n0 0.1 0 0\n0 1 0 0\n"
    "1.5 1 0 0\n0 1 0 0\n0 0.5 0 0\n0 1 0 0\n0 1 0 0\n0 0.2 0 0\n0 1 0 0\n";

constexpr char kQuillonRecords[] =
    "3.0 4\n"
    "2 0.5 2 0.5 2 7.5\n"
    "3 0.15 3 0.35 3 0\n"
    "4 0.95 4 0.8 4 0\n"
    "5 1.5 5 0.95 5 0\n";

// A column file: time, u, e, n.
std::string ColumnFile(int samples) {
  std::string text;
  for (int i = 0; i < samples; ++i) {
    text += std::to_string(i * 0.01) + " " + std::to_string((i * 7) % 13 - 6.5) + " " +
            std::to_string((i * 5) % 11 - 5.25) + " " + std::to_string((i * 3) % 7 - 3.125) + "\n";
  }
  return text;
}

}  // namespace

std::vector<ProgramCase> AllPrograms(const TempDir& dir) {
  const std::string fort7 = (dir.path() / "fort.7").string();
  const std::string pair = dir.Write("pair.d", "0.5 3.2\n1.0 2.9\n2.5 2.0\n4.0 1.1\n6.0 0.4\n");
  const std::string single = dir.Write("single.d", "1 10\n");
  const std::string column = dir.Write("record.d", ColumnFile(40));
  const std::string out = (dir.path() / "out").string();

  std::vector<ProgramCase> cases;
  cases.push_back(
      {"vantor", vantor::RunVantor, "1 10.0 0.0 100\n2.0 0.5\n3.0 0.4\n4.0 0.3\n5.0 0.2\n", "7 1 1 1\n", true, "", {}});
  cases.push_back({"quillon",
                   [fort7](std::istream& in, std::ostream& out, std::ostream& err) {
                     return quillon::RunQuillon(in, out, err, fort7);
                   },
                   kQuillonRecords,
                   std::string(kQuillonRecords) + "6 .5 7 .5 6 0\n2 0.5 2 0.5 2 0\n",
                   true,
                   "",
                   {fort7}});
  // 0.9995: the shifted argument leaves the Bessel routine's range after 203 rows.
  cases.push_back({"tessel", tessel::RunTessel, "0.1 1\n", "0.9995 1\n", false, "", {}});
  cases.push_back({"hollin", hollin::RunHollin, kHollinRecords, "3 2\n", true, "", {}});
  cases.push_back({"resampa", resampa::RunResampa, pair + "\n10\n0.5\n", single + "\n5\n1\n", false, pair, {}});
  cases.push_back({"snippa", snippa::RunSnippa, "2 2\n5\n0.5\n1.25\n1\n2\n3\n4\n5\n", "", true, "", {}});
  cases.push_back({"gauger",
                   gauger::RunGauger,
                   "0.1\n0.01\n0.0\n0.5\n2\nu\n" + column + "\n" + out + "_rms.d\n",
                   "0.1\n0.01\n0.0\n0.5\n2\nx\n" + column + "\n" + out + "_rms.d\n",
                   true,
                   column,
                   {out + "_rms.d"}});
  // The second item's input is missing: the first item's files are complete.
  cases.push_back({"wendle",
                   wendle::RunWendle,
                   "3\n1\n" + column + "\n" + out + "_\n",
                   "3\n2\n" + column + "\n" + out + "_\n" + column + ".missing\n" + out + "2_\n",
                   true,
                   column,
                   {out + "_u.d", out + "_e.d", out + "_n.d"}});
  cases.push_back({"corral",
                   corral::RunCorral,
                   "1.0 2.0\n" + column + "\n3\n0\n" + out + "_cu.d\n" + out + "_ce.d\n" + out + "_cn.d\n",
                   "1.0 2.0\n" + column + "\n9\n0\n",
                   true,
                   column,
                   {out + "_cu.d", out + "_ce.d", out + "_cn.d"}});
  return cases;
}

}  // namespace hardening
