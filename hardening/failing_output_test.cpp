// Output that cannot be written: a device that fills up at any point of a
// run, and every output file on a full device. Every such run ends with
// one diagnostic line and status 2, never status 0, and keeps in order
// every byte the device did take.
#include <cstddef>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "hardening/cases.h"

namespace hardening {
namespace {

TEST(FailingOutputTest, ADeviceFillingUpAnywhereIsReported) {
  for (const ProgramCase& p : AllCases()) {
    TempDir dir("hardening_full_device");
    PlaceFiles(p, dir);
    ForEachRunInput(p, [&](const std::string& input) {
      const Outcome whole = RunIn(dir, p, input);
      ASSERT_EQ(whole.status, 0);
      if (whole.out.empty()) return;  // results go to files only
      const size_t n = whole.out.size();
      for (size_t limit : {size_t{0}, size_t{1}, n / 2, n - 1}) {
        const Outcome cut = RunIn(dir, p, input, limit);
        EXPECT_EQ(cut.status, 2) << "limit " << limit;
        EXPECT_EQ(cut.err, p.name() + ": cannot write output: write failed\n") << "limit " << limit;
        EXPECT_EQ(cut.out, whole.out.substr(0, limit)) << "limit " << limit;
      }
      const Outcome exact = RunIn(dir, p, input, n);
      EXPECT_EQ(exact.status, 0);
      EXPECT_EQ(exact.out, whole.out);
    });
  }
}

// Each file a program writes, in turn, on a full device (a link to
// /dev/full in its place): status 2 and one diagnostic line, whatever
// standard output held.
TEST(FailingOutputTest, OutputFilesOnAFullDevice) {
  for (const ProgramCase& p : AllCases()) {
    TempDir dir("hardening_full_files");
    PlaceFiles(p, dir);
    for (const std::string& file : p.outputs) {
      SCOPED_TRACE(p.name() + " writing " + file);
      std::filesystem::remove(dir.path() / file);
      std::filesystem::create_symlink("/dev/full", dir.path() / file);
      const Outcome o = RunIn(dir, p, p.input);
      std::filesystem::remove(dir.path() / file);
      EXPECT_EQ(o.status, 2);
      EXPECT_TRUE(IsOneDiagnosticLine(o.err, p.program.name)) << o.err;
    }
  }
}

}  // namespace
}  // namespace hardening
