// Output that cannot be written: a device that fills up at any point of a
// run, and quillon's second file on a full or missing device. Every such
// run ends with one diagnostic line and status 2, never status 0, and
// keeps in order every byte the device did take.
#include <cstddef>
#include <filesystem>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "hardening/programs.h"
#include "hardening/support.h"
#include "noise_ratio/quillon.h"

namespace hardening {
namespace {

TEST(FailingOutputTest, ADeviceFillingUpAnywhereIsReported) {
  TempDir dir("hardening_full_device");
  for (const ProgramCase& p : AllPrograms(dir)) {
    for (const std::string& input : {p.input, p.stop_input}) {
      if (input.empty()) continue;
      SCOPED_TRACE(p.name + " on: " + input);
      const Outcome whole = RunOn(p.run, input);
      ASSERT_EQ(whole.status, 0);
      if (whole.out.empty()) continue;  // results go to files only
      const size_t n = whole.out.size();
      for (size_t limit : {size_t{0}, size_t{1}, n / 2, n - 1}) {
        const Outcome cut = RunOn(p.run, input, limit);
        EXPECT_EQ(cut.status, 2) << "limit " << limit;
        EXPECT_EQ(cut.err, p.name + ": cannot write output: write failed\n") << "limit " << limit;
        EXPECT_EQ(cut.out, whole.out.substr(0, limit)) << "limit " << limit;
      }
      const Outcome exact = RunOn(p.run, input, n);
      EXPECT_EQ(exact.status, 0);
      EXPECT_EQ(exact.out, whole.out);
    }
  }
}

// Each file a program writes, in turn, on a full device (a link to
// /dev/full in its place): status 2 and one diagnostic line, whatever
// standard output held.
TEST(FailingOutputTest, OutputFilesOnAFullDevice) {
  TempDir dir("hardening_full_files");
  for (const ProgramCase& p : AllPrograms(dir)) {
    for (const std::string& file : p.outputs) {
      SCOPED_TRACE(p.name + " writing " + file);
      std::filesystem::remove(file);
      std::filesystem::create_symlink("/dev/full", file);
      const Outcome o = RunOn(p.run, p.input);
      std::filesystem::remove(file);
      EXPECT_EQ(o.status, 2);
      EXPECT_TRUE(IsOneDiagnosticLine(o.err, p.name)) << o.err;
    }
  }
}

constexpr char kQuillonRecords[] =
    "3.0 4\n"
    "2 0.5 2 0.5 2 7.5\n"
    "3 0.15 3 0.35 3 0\n";

Outcome RunQuillonWithFort7(const std::string& input, const std::string& fort7) {
  return RunOn(
      [&](std::istream& in, std::ostream& out, std::ostream& err) { return quillon::RunQuillon(in, out, err, fort7); },
      input);
}

TEST(FailingOutputTest, QuillonSecondFileOnAFullDevice) {
  TempDir dir("hardening_quillon_full");
  const Outcome normal = RunQuillonWithFort7(kQuillonRecords, (dir.path() / "fort.7").string());
  ASSERT_EQ(normal.status, 0);
  ASSERT_EQ(Lines(ReadFile(dir.path() / "fort.7")).size(), 2u);

  const Outcome full = RunQuillonWithFort7(kQuillonRecords, "/dev/full");
  EXPECT_EQ(full.status, 2);
  EXPECT_TRUE(IsOneDiagnosticLine(full.err, "quillon")) << full.err;
  EXPECT_NE(full.err.find("'/dev/full'"), std::string::npos) << full.err;
  EXPECT_EQ(full.out, normal.out);  // standard output is complete all the same

  // A message stop whose second-file lines cannot be written is a failure too.
  const Outcome stop = RunQuillonWithFort7(std::string(kQuillonRecords) + "6 .5 7 .5 6 0\n", "/dev/full");
  EXPECT_EQ(stop.status, 2);
  EXPECT_TRUE(IsOneDiagnosticLine(stop.err, "quillon")) << stop.err;
}

TEST(FailingOutputTest, QuillonSecondFileThatCannotBeCreated) {
  TempDir dir("hardening_quillon_missing");
  const std::string fort7 = (dir.path() / "no such dir" / "fort.7").string();
  const Outcome normal = RunQuillonWithFort7(kQuillonRecords, (dir.path() / "fort.7").string());
  const Outcome r = RunQuillonWithFort7(kQuillonRecords, fort7);
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(IsOneDiagnosticLine(r.err, "quillon")) << r.err;
  // The line of the record that needed the file is already out.
  EXPECT_EQ(r.out, Lines(normal.out).at(0) + "\n");
}

}  // namespace
}  // namespace hardening
