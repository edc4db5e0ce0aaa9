// Hostile input: lines of megabytes, NUL bytes, CRLF line ends, no final
// newline, names at and past the field width, paths with blanks, and
// numbers at the edges of their types.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "hardening/programs.h"
#include "hardening/support.h"
#include "log_resample/resampa.h"
#include "rms_eval/gauger.h"
#include "textio/errors.h"
#include "textio/free_reader.h"
#include "textio/names.h"

namespace hardening {
namespace {

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

TEST(HostileTextTest, MegabyteLinesWithoutNewline) {
  std::string text;
  for (int i = 0; i < 1 << 20; ++i) text += "1.5 ";
  std::istringstream in("   " + std::string(3 << 20, ' ') + "7\n" + text);
  textio::FreeReader reader(in);
  int32_t seven = 0;
  ASSERT_TRUE(reader.Read({seven}).ok());
  EXPECT_EQ(seven, 7);
  float a = 0.0f, b = 0.0f;
  ASSERT_TRUE(reader.Read({a, b}).ok());
  EXPECT_EQ(a, 1.5f);
  EXPECT_EQ(b, 1.5f);
  EXPECT_EQ(reader.Read({a}).status, textio::ReadStatus::kEnd);  // the rest of the long line is dropped

  std::istringstream names(std::string(3 << 20, 'n'));
  textio::FreeReader name_reader(names);
  std::string name;
  ASSERT_TRUE(name_reader.ReadLine(&name).ok());
  EXPECT_EQ(name, std::string(200, 'n'));
  EXPECT_EQ(name_reader.ReadLine(&name).status, textio::ReadStatus::kEnd);
}

TEST(HostileTextTest, CarriageReturnsSeparateAndNeverJoinANameOrValue) {
  std::istringstream in("1.5\r\n2\r3\r\nout.d\r\nout.d \r\nout.d\r \r\n");
  textio::FreeReader reader(in);
  double x = 0.0;
  int32_t i = 0, j = 0;
  ASSERT_TRUE(reader.Read({x}).ok());
  EXPECT_EQ(x, 1.5);
  ASSERT_TRUE(reader.Read({i, j}).ok());
  EXPECT_EQ(i, 2);
  EXPECT_EQ(j, 3);
  for (int k = 0; k < 3; ++k) {
    std::string name;
    ASSERT_TRUE(reader.ReadLine(&name).ok());
    EXPECT_EQ(name, "out.d") << k;  // the last one was "out.d\r" before a fuzz finding
  }
}

TEST(HostileTextTest, NulBytesAreUnreadableAndShownSafely) {
  std::istringstream in(std::string("1.0\0 2.0\n", 9));
  textio::FreeReader reader(in);
  double a = 0.0, b = 0.0;
  const textio::ReadResult r = reader.Read({a, b});
  EXPECT_EQ(r.status, textio::ReadStatus::kUnreadable);
  EXPECT_EQ(textio::DescribeFailure(r, "the pair"), "line 1: cannot read the pair: unreadable value '1.0\\x00'");

  // A token of megabytes, or one carrying terminal escapes, is shown cut
  // and with its control bytes spelled out.
  std::istringstream big("\x1b[2J" + std::string(1 << 20, '9') + "x\n");
  textio::FreeReader big_reader(big);
  const textio::ReadResult rb = big_reader.Read({a});
  EXPECT_EQ(textio::DescribeFailure(rb, "a"),
            "line 1: cannot read a: unreadable value '\\x1b[2J" + std::string(60, '9') + "...'");
}

TEST(HostileTextTest, NoFinalNewline) {
  std::istringstream in("1 2\nname");
  textio::FreeReader reader(in);
  int32_t a = 0, b = 0;
  ASSERT_TRUE(reader.Read({a, b}).ok());
  std::string name;
  ASSERT_TRUE(reader.ReadLine(&name).ok());
  EXPECT_EQ(name, "name");
}

TEST(HostileTextTest, NamesOfTwoHundredAndTwoHundredOneCharacters) {
  const std::string n200(200, 'a');
  std::istringstream in(n200 + "\n" + n200 + "b\n");
  textio::FreeReader reader(in);
  std::string name;
  ASSERT_TRUE(reader.ReadLine(&name).ok());
  EXPECT_EQ(name, n200);
  ASSERT_TRUE(reader.ReadLine(&name).ok());
  EXPECT_EQ(name, n200);  // the 201st character is past the field
  // A name cut at its first blank needs a blank inside the field.
  EXPECT_EQ(textio::CutAtFirstBlank(n200), "");
  EXPECT_EQ(textio::CutAtFirstBlank(n200.substr(1)), n200.substr(1));
}

// What a run leaves: its outcome and the files it wrote.
struct Result {
  Outcome outcome;
  std::vector<std::string> files;
};

Result RunCase(const ProgramCase& p, const std::string& input) {
  for (const std::string& f : p.outputs) std::filesystem::remove(f);
  Result r{RunOn(p.run, input), {}};
  for (const std::string& f : p.outputs) r.files.push_back(ReadFile(f));
  return r;
}

void ExpectSame(const Result& a, const Result& b) {
  EXPECT_EQ(a.outcome.status, b.outcome.status);
  EXPECT_EQ(a.outcome.out, b.outcome.out);
  EXPECT_EQ(a.outcome.err, b.outcome.err);
  EXPECT_EQ(a.files, b.files);
}

// The line-end variants of a text: CRLF, no final newline, and a junk
// line after it (NUL bytes, or a single token of megabytes without newline).
std::vector<std::string> Variants(const std::string& text) {
  return {Replace(text, "\n", "\r\n"), text.substr(0, text.size() - 1), text + std::string("\0\0\x01\n", 4),
          text + std::string(2 << 20, '9')};
}

// Every program gives the same result on these variants of its standard
// input and of the data file it reads.
TEST(HostileProgramInputTest, LineEndsAndJunkAfterTheDataChangeNothing) {
  TempDir dir("hardening_line_ends");
  for (const ProgramCase& p : AllPrograms(dir)) {
    for (const std::string& input : {p.input, p.stop_input}) {
      if (input.empty()) continue;
      SCOPED_TRACE(p.name + " on: " + input);
      const Result normal = RunCase(p, input);
      for (const std::string& v : Variants(input)) ExpectSame(RunCase(p, v), normal);
    }
    if (p.data_file.empty()) continue;
    SCOPED_TRACE(p.name + " reading variants of " + p.data_file);
    const std::string data = ReadFile(p.data_file);
    const Result normal = RunCase(p, p.input);
    ASSERT_FALSE(normal.files.empty() && normal.outcome.out.empty());
    for (const std::string& v : Variants(data)) {
      std::ofstream(p.data_file, std::ios::binary | std::ios::trunc) << v;
      ExpectSame(RunCase(p, p.input), normal);
    }
    std::ofstream(p.data_file, std::ios::binary | std::ios::trunc) << data;
  }
}

Outcome Resampa(const std::string& input) { return testsupport::Run(resampa::RunResampa, input); }

TEST(HostileProgramInputTest, PairFileNamesWithBlanksAndAtTheFieldWidth) {
  TempDir dir("hardening_names");
  const std::string pairs = "1 10\r\n2 100\r\n3 1000";  // CRLF, no final newline
  const std::string expected = Resampa(dir.Write("plain.d", "1 10\n2 100\n3 1000\n") + "\n3\n1\n").out;
  ASSERT_EQ(Lines(expected).size(), 3u);

  EXPECT_EQ(Resampa(dir.Write("my pair file.d", pairs) + "\n3\n1\n").out, expected);

  // Absolute paths of exactly 200 and 201 characters.
  const size_t base = (dir.path() / "").string().size();
  ASSERT_LT(base, 190u);
  const std::string name200 = std::string(200 - base - 2, 'p') + ".d";
  const std::string path200 = dir.Write(name200, pairs);
  ASSERT_EQ(path200.size(), 200u);
  EXPECT_EQ(Resampa(path200 + "\n3\n1\n").out, expected);
  EXPECT_EQ(Resampa(path200 + "   \r\n3\n1\n").out, expected);  // trailing blanks are padding

  const std::string path201 = dir.Write("q" + name200, pairs);
  ASSERT_EQ(path201.size(), 201u);
  const Outcome cut = Resampa(path201 + "\n3\n1\n");
  EXPECT_EQ(cut.status, 2);
  EXPECT_EQ(cut.err, "resampa: cannot open the pair file '" + path201.substr(0, 200) + "'\n");
  EXPECT_EQ(cut.out, "");
}

// Numbers at the edges of their types reach every program's arithmetic
// and counts; the sanitizer build checks that none of it is undefined.
TEST(HostileProgramInputTest, ExtremeNumbersEndCleanly) {
  TempDir dir("hardening_extremes");
  const std::string pair = dir.Write("pair.d", "1 10\n2 100\n");
  const std::string column = dir.Write("column.d", "0 1e308 -1e308 5e-324\n0.01 nan inf -inf\n0.02 1 2 3\n");
  const std::string out = (dir.path() / "out.d").string();
  const std::vector<std::pair<std::string, std::string>> runs = {
      {"vantor", "1 3.4e38 -3.4e38 nan\n1e38 1e38\n-1e-45 -0\ninf nan\n"},
      {"vantor", "10 1e-45 0 inf\n-3.4e38\n1 0.5\n"},
      {"vantor", "2147483647 1 1 1\n"},
      {"vantor", "2147483648 1 1 1\n"},
      {"quillon", "3.4e38 2147483647\n1e38 nan 1e38 inf 1e38 0\n0 0 0 0 0 0\n"},
      {"quillon", "-0 -2147483648\n-1e-45 1e-45 -1e-45 -1e-45 -1e-45 0\n"},
      {"tessel", "3.4e38 2147483647\n"},
      {"tessel", "-1e-45 -2147483648\n"},
      {"tessel", "nan 0\n"},
      {"hollin", "1 2147483647\n28*3.4e38\n"},
      {"hollin", "2 -2147483648\n60*-1e-45\n"},
      {"hollin", "1 0\n28*nan\n"},
      {"resampa", pair + "\n1e308\n1e-308\n"},
      {"resampa", pair + "\ninf\n0\n"},
      {"resampa", pair + "\nnan\n1\n"},
      {"resampa", pair + "\n-1e308\n1e-308\n"},
      {"resampa", pair + "\n4999999.5\n1\n"},
      {"gauger", "0.1\n0.01\n0.0\n0.5\n2147483647\nu\n" + column + "\n" + out + "\n"},
      {"gauger", "1e308\n5e-324\n-1e308\n1\n0\nu\n" + column + "\n" + out + "\n"},
      {"gauger", "0.1\n0.01\n-1e300\n-1e300\n0\nn\n" + column + "\n" + out + "\n"},
      {"gauger", "nan\ninf\nnan\nnan\n0\ne\n" + column + "\n" + out + "\n"},
      {"wendle", "2147483647\n2147483647\n" + column + "\n" + out + "\n"},
      {"wendle", "-2147483648\n-1\n" + column + "\n" + out + "\n"},
      {"corral", "1e308 -1e308\n" + column + "\n-2147483648\n2147483647\n"},
      {"corral", "nan inf\n" + column + "\n2\n-2147483648\n" + out + "a\n" + out + "b\n"},
      {"snippa", "2147483647 2147483647\n2147483647\n0\n0\n1\n2\n"},
      {"snippa", "-2147483648 -2147483648\n-2147483648\n1e308\n-1e308\n1\n"},
      {"snippa", "2147483647 1073741824\n2147483647\n0\n0\n1\n"},
      {"snippa", "1 3\n5\ninf\nnan\n1e300\n-1e300\n5e-324\n"},
  };
  const std::vector<ProgramCase> programs = AllPrograms(dir);
  for (const auto& [name, input] : runs) {
    SCOPED_TRACE(name + " on: " + input);
    for (const ProgramCase& p : programs) {
      if (p.name != name) continue;
      const Outcome o = RunOn(p.run, input, 1 << 20);  // room for a few thousand lines
      if (o.status == 0) {
        EXPECT_EQ(o.err, "");
      } else {
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(IsOneDiagnosticLine(o.err, name)) << o.err;
      }
      EXPECT_TRUE(o.out.empty() || o.out.back() == '\n' || o.out.size() == 1 << 20);
    }
  }
}

// Overlap 1 steps by 0: the same window a million times over (the run's
// bound), each line the same, and the RMS computed once rather than a
// million times over the window.
TEST(HostileProgramInputTest, GaugerStepZeroRepeatsOneWindow) {
  TempDir dir("hardening_step_zero");
  std::string record;
  for (int i = 1; i <= 2000; ++i) record += std::to_string(i) + (i % 3 == 0 ? " 2.5\n" : " -1\n");
  const std::string column = dir.Write("column.d", record);
  const std::string out = (dir.path() / "rms.d").string();
  const Outcome o = testsupport::Run(gauger::RunGauger, "1500\n1\n10\n1\n0\nu\n" + column + "\n" + out + "\n");
  ASSERT_EQ(o.status, 0) << o.err;
  const std::vector<std::string> lines = Lines(ReadFile(out));
  ASSERT_EQ(lines.size(), 1u + gauger::kMaxWindows);
  for (size_t i = 2; i < lines.size(); ++i) ASSERT_EQ(lines[i], lines[1]) << i;

  // The same window alone gives the same line.
  const Outcome one = testsupport::Run(gauger::RunGauger, "1500\n1\n10\n-1e300\n0\nu\n" + column + "\n" + out + "\n");
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(Lines(ReadFile(out)).at(1), lines[1]);
}

}  // namespace
}  // namespace hardening
