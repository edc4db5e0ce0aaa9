// Interoperability with independent implementations of the formats:
// Debian's sac2mseed and mseed2sac (apt-get install sac2mseed mseed2sac).
// Files written here, converted by them, must read back with the same
// samples, start time, interval and codes.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "seisio/mseed.h"
#include "seisio/sac.h"
#include "testsupport/expect_trace.h"
#include "testsupport/seismic_traces.h"
#include "testsupport/temp_dir.h"

namespace seisio {
namespace {

using testing::Counts;
using testing::kNewYear2020;
using testing::MakeTrace;

// Runs a command in `dir`; its output goes to dir/tool.log.
int RunTool(const testsupport::TempDir& dir, const std::string& command) {
  return std::system(("cd '" + dir.path().string() + "' && " + command + " >tool.log 2>&1").c_str());
}

void Save(const testsupport::TempDir& dir, const std::string& name, const std::string& bytes) {
  std::ofstream(dir / name, std::ios::binary) << bytes;
}

TEST(InteropTest, SacWrittenHereReadsBackThroughSac2mseed) {
  const std::string tool = testing::FindTool("sac2mseed");
  if (tool.empty()) GTEST_SKIP() << "sac2mseed is not installed (apt-get install sac2mseed): interoperability untested";
  // Counts at 200 Hz, starting on a microsecond.
  const Trace written = MakeTrace("HHZ", kNewYear2020 + 3'600'123'456'000, 0.005, Counts(20'000, 11));
  // As 32-bit floats (encoding 4), and as Steim 2 of the counts unscaled
  // (-s 1: sac2mseed would otherwise scale them to six digits).
  const char* const encodings[] = {"-e 4", "-e 11 -s 1", "-e 10 -s 1 -r 512"};
  for (const char* encoding : encodings) {
    SCOPED_TRACE(encoding);
    testsupport::TempDir dir("interop_sac2mseed");
    Save(dir, "z.sac", testing::SacBytes(written));
    ASSERT_EQ(RunTool(dir, tool + " " + encoding + " -o z.mseed z.sac"), 0) << dir.Read("tool.log");
    const std::string bytes = dir.Read("z.mseed");
    const std::vector<Trace> read = ReadMiniSeed(std::span<const char>(bytes.data(), bytes.size()), "z.mseed");
    ASSERT_EQ(read.size(), 1u);
    testing::ExpectSameTrace(read[0], written);
  }
}

TEST(InteropTest, MiniSeedWrittenHereReadsBackThroughMseed2sac) {
  const std::string tool = testing::FindTool("mseed2sac");
  if (tool.empty()) GTEST_SKIP() << "mseed2sac is not installed (apt-get install mseed2sac): interoperability untested";
  // Three channels in one file; mseed2sac writes one SAC file each. Both
  // byte orders of SAC (-f 3 little-endian, -f 4 big-endian), from Steim 2
  // counts and from 64-bit floats (which SAC holds exactly when they are
  // floats).
  std::vector<Trace> written;
  const char* channels[] = {"BHZ", "BHE", "BHN"};
  for (uint32_t k = 0; k < 3; ++k) {
    written.push_back(MakeTrace(channels[k], kNewYear2020 + 86'400'000'000'000 + 250'000, 0.025, Counts(9000, 20 + k)));
  }
  std::vector<Trace> quarters = written;
  for (Trace& t : quarters) {
    for (double& v : t.samples) v /= 4;
  }
  const struct {
    const std::vector<Trace>* traces;
    MiniSeedEncoding encoding;
    const char* format;
  } cases[] = {
      {&written, MiniSeedEncoding::kSteim2, "-f 3"},
      {&written, MiniSeedEncoding::kSteim2, "-f 4"},
      {&quarters, MiniSeedEncoding::kFloat64, "-f 4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    testsupport::TempDir dir("interop_mseed2sac");
    Save(dir, "st.mseed", testing::MiniSeedBytes(*c.traces, {c.encoding, 4096}));
    ASSERT_EQ(RunTool(dir, tool + " " + c.format + " st.mseed"), 0) << dir.Read("tool.log");
    for (const Trace& t : *c.traces) {
      // mseed2sac names its files NET.STA.LOC.CHAN.QUAL.YEAR.DAY.HHMMSS.SAC.
      std::string found;
      for (const std::string& name : dir.Files()) {
        if (name.rfind(t.id() + ".", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".SAC") found = name;
      }
      ASSERT_FALSE(found.empty()) << "no SAC file for " << t.id() << " in " << dir.Read("tool.log");
      const std::string bytes = dir.Read(found);
      testing::ExpectSameTrace(ReadSac(std::span<const char>(bytes.data(), bytes.size()), found), t);
    }
  }
}

}  // namespace
}  // namespace seisio
