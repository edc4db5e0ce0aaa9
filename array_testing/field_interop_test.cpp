// Records circsim writes as SAC and miniSEED, converted by independent
// implementations of the formats (Debian's sac2mseed and mseed2sac), give
// the same samples in circspec and in seis2col as the files circsim wrote;
// its miniSEED gives circspec the table of its column text; and the column
// text of seis2col is read by gauger and wendle.

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "component_split/wendle.h"
#include "rms_eval/record.h"
#include "seismic_convert/seis2col.h"
#include "suite/programs.h"
#include "testsupport/run_program.h"
#include "testsupport/seismic_traces.h"
#include "testsupport/temp_dir.h"

namespace circspec {
namespace {

const char* const kStations[] = {"C", "S1", "S2", "S3", "S4"};
const char* const kPlaces[] = {"0 0", "0 10", "72 10", "144 10", "216 10"};

testsupport::Outcome RunProgram(const suite::Program& program, std::vector<std::string> args,
                                const std::filesystem::path& directory) {
  return testsupport::RunInProcess(program, "", testsupport::RunOptions{std::move(args), directory});
}

// Runs a command in `dir`; its output goes to dir/tool.log.
int RunTool(const testsupport::TempDir& dir, const std::string& command) {
  return std::system(("cd '" + dir.path().string() + "' && " + command + " >tool.log 2>&1").c_str());
}

// A layout whose station X has the record field `field(X)`.
template <typename Field>
std::string LayoutText(Field field) {
  std::string text;
  for (size_t s = 0; s < std::size(kStations); ++s)
    text += std::string(kStations[s]) + " " + kPlaces[s] + " " + field(kStations[s]) + "\n";
  return text;
}

std::string ThreeFiles(const std::string& station, const std::string& suffix) {
  return station + ".u" + suffix + "," + station + ".e" + suffix + "," + station + ".n" + suffix;
}

// circspec's table without its line naming the layout file, which is all
// that may differ between two layouts of the same records.
std::string Table(const testsupport::TempDir& dir, const std::string& layout) {
  const testsupport::Outcome r = RunProgram(kProgram, {"--window", "5.12", layout}, dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  std::string table;
  for (size_t at = 0; at < r.out.size();) {
    const size_t end = r.out.find('\n', at);
    const std::string line = r.out.substr(at, end - at);
    if (line.rfind("# layout", 0) != 0) table += line + "\n";
    at = end == std::string::npos ? r.out.size() : end + 1;
  }
  EXPECT_GT(table.size(), 1000u) << r.out;
  return table;
}

std::string Columns(const testsupport::TempDir& dir, const std::vector<std::string>& input) {
  std::vector<std::string> args = {"--epoch"};
  args.insert(args.end(), input.begin(), input.end());
  const testsupport::Outcome r = RunProgram(seis2col::kProgram, args, dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(r.out.empty());
  return r.out;
}

void Synthesise(const testsupport::TempDir& dir, const std::string& format, const std::string& layout) {
  const testsupport::Outcome r =
      RunProgram(circsim::kProgram, {"--duration", "60", "--noise", "0.01", "--format", format, layout}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
}

// The numbers of a table's data lines.
std::vector<std::vector<double>> Values(const std::string& table) {
  std::vector<std::vector<double>> rows;
  std::istringstream in(table);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    rows.emplace_back(std::istream_iterator<double>(fields), std::istream_iterator<double>());
  }
  return rows;
}

// Without conversion tools: the same array as column text (17 digits)
// and as circsim's miniSEED gives the same table but for the rounding of
// the samples to 32-bit floats, far below the standard errors. A station
// read from the wrong channel, or records shifted by a sample, would not.
TEST(FieldInterop, MiniSeedFromCircsimGivesTheTextTableWithinTheRounding) {
  testsupport::TempDir dir("interop_circsim_text");
  dir.Write("text.txt", LayoutText([](const std::string& s) { return s + ".txt"; }));
  dir.Write("mseed.txt", LayoutText([](const std::string& s) { return s + ".mseed"; }));
  for (const char* format : {"text", "mseed"}) {
    const testsupport::Outcome r = RunProgram(
        circsim::kProgram,
        {"--duration", "60", "--noise", "0.01", "--digits", "17", "--format", format, std::string(format) + ".txt"},
        dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
  }
  const std::vector<std::vector<double>> text = Values(Table(dir, "text.txt"));
  const std::vector<std::vector<double>> mseed = Values(Table(dir, "mseed.txt"));
  ASSERT_EQ(text.size(), mseed.size());
  ASSERT_GT(text.size(), 10u);
  for (size_t i = 0; i < text.size(); ++i) {
    ASSERT_EQ(text[i].size(), 14u) << "freq, six quantities with errors, segments";
    ASSERT_EQ(mseed[i].size(), text[i].size());
    EXPECT_EQ(mseed[i][0], text[i][0]);
    EXPECT_EQ(mseed[i][13], text[i][13]) << "the same segments";
    for (size_t q = 1; q < 13; q += 2) {
      EXPECT_LE(std::fabs(mseed[i][q] - text[i][q]), 1e-3 * text[i][q + 1])
          << "frequency " << text[i][0] << ", column " << q;
    }
  }
}

TEST(FieldInterop, SacFromCircsimThroughSac2mseedGivesTheSameSamples) {
  const std::string tool = seisio::testing::FindTool("sac2mseed");
  if (tool.empty()) GTEST_SKIP() << "sac2mseed is not installed (apt-get install sac2mseed): interoperability untested";
  testsupport::TempDir dir("interop_circsim_sac");
  dir.Write("sac.txt", LayoutText([](const std::string& s) { return ThreeFiles(s, ".sac"); }));
  dir.Write("mseed.txt", LayoutText([](const std::string& s) { return ThreeFiles(s, ".mseed"); }));
  Synthesise(dir, "sac", "sac.txt");
  for (const char* station : kStations) {
    for (const char* c : {".u", ".e", ".n"}) {
      const std::string stem = station + std::string(c);
      // As 32-bit floats (encoding 4), SAC's own sample type: exact.
      ASSERT_EQ(RunTool(dir, tool + " -e 4 -o " + stem + ".mseed " + stem + ".sac"), 0) << dir.Read("tool.log");
    }
  }
  EXPECT_EQ(Table(dir, "mseed.txt"), Table(dir, "sac.txt"));
  for (const char* station : kStations) {
    SCOPED_TRACE(station);
    EXPECT_EQ(Columns(dir, {ThreeFiles(station, ".mseed")}), Columns(dir, {ThreeFiles(station, ".sac")}));
  }
}

TEST(FieldInterop, MiniSeedFromCircsimThroughMseed2sacGivesTheSameSamples) {
  const std::string tool = seisio::testing::FindTool("mseed2sac");
  if (tool.empty()) GTEST_SKIP() << "mseed2sac is not installed (apt-get install mseed2sac): interoperability untested";
  testsupport::TempDir dir("interop_circsim_mseed");
  dir.Write("mseed.txt", LayoutText([](const std::string& s) { return s + ".mseed"; }));
  Synthesise(dir, "mseed", "mseed.txt");
  // mseed2sac writes one SAC file per channel, named
  // NET.STA.LOC.CHAN.QUAL.YEAR.DAY.HHMMSS.SAC.
  for (const char* station : kStations) {
    ASSERT_EQ(RunTool(dir, tool + " " + station + ".mseed"), 0) << dir.Read("tool.log");
  }
  auto sac_of = [&](const std::string& station, char letter) {
    const std::string prefix = "SY." + station + "..HH" + letter + ".";
    for (const std::string& name : dir.Files()) {
      if (name.rfind(prefix, 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".SAC") return name;
    }
    ADD_FAILURE() << "no SAC file " << prefix << "* in " << dir.Read("tool.log");
    return std::string("missing");
  };
  dir.Write("sac.txt", LayoutText([&](const std::string& s) {
              return sac_of(s, 'Z') + "," + sac_of(s, 'E') + "," + sac_of(s, 'N');
            }));
  EXPECT_EQ(Table(dir, "sac.txt"), Table(dir, "mseed.txt"));
  for (const char* station : kStations) {
    SCOPED_TRACE(station);
    const std::string converted = sac_of(station, 'Z') + "," + sac_of(station, 'E') + "," + sac_of(station, 'N');
    EXPECT_EQ(Columns(dir, {converted}), Columns(dir, {station + std::string(".mseed")}));
  }
}

// The column text seis2col writes is what the suite's readers of column
// files take: gauger's reader and wendle.
TEST(FieldInterop, GaugerAndWendleReadTheColumnTextOfSeis2col) {
  // A quarter of an hour at 100 Hz, counts up to a few thousand.
  testsupport::TempDir dir("seis2col_readers");
  using seisio::testing::Counts;
  using seisio::testing::MakeTrace;
  const std::vector<seisio::Trace> t = {MakeTrace("HHZ", seisio::testing::kNewYear2020, 0.01, Counts(90'000, 1)),
                                        MakeTrace("HHE", seisio::testing::kNewYear2020, 0.01, Counts(90'000, 2)),
                                        MakeTrace("HHN", seisio::testing::kNewYear2020, 0.01, Counts(90'000, 3))};
  std::ofstream(dir / "st.mseed", std::ios::binary) << seisio::testing::MiniSeedBytes(t);
  ASSERT_EQ(RunProgram(seis2col::kProgram, {"-o", "st.txt", "st.mseed"}, dir.path()).status, 0);

  // gauger's reader takes every sample of each column, exactly.
  for (int32_t column = 1; column <= 3; ++column) {
    std::istringstream in;
    std::ostringstream out, err;
    suite::Invocation invocation;
    invocation.directory = dir.path();
    suite::Context context("gauger", {in, out, err}, invocation);
    gauger::Datblk store;
    const int32_t n = gauger::rfile(&store, 0, column, "st.txt", context);
    ASSERT_EQ(n, 90'000);
    EXPECT_TRUE(std::equal(t[column - 1].samples.begin(), t[column - 1].samples.end(), store.first()));
    EXPECT_EQ(err.str(), "");
  }

  // wendle splits it to its last line without a note on standard error,
  // the times carried as seis2col wrote them.
  const testsupport::Outcome w = testsupport::RunInProcess(wendle::kProgram, "3\n1\nst.txt\nsite_\n", {{}, dir.path()});
  EXPECT_EQ(w.status, 0);
  EXPECT_EQ(w.err, "");
  const std::vector<std::string> e = testsupport::Lines(dir.Read("site_e.d"));
  ASSERT_EQ(e.size(), 90'000u);
  EXPECT_THAT(e.back(), ::testing::StartsWith("   899.99000000000001   "));
}

}  // namespace
}  // namespace circspec
