// Hostile input: lines of megabytes, NUL bytes, CRLF line ends, no final
// newline, names at and past the field width, and numbers at the edges of
// their types.
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "hardening/cases.h"
#include "textio/free_reader.h"
#include "textio/names.h"
#include "textio/require.h"

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

Result RunCase(const TempDir& dir, const ProgramCase& p, const std::string& input) {
  for (const std::string& f : p.outputs) std::filesystem::remove(dir.path() / f);
  Result r{RunIn(dir, p, input), {}};
  for (const std::string& f : p.outputs) r.files.push_back(dir.Read(f));
  return r;
}

// The line-end variants of a text: CRLF, no final newline, and a junk
// line after it (NUL bytes, or a single token of megabytes without newline).
struct Variant {
  std::string text;
  bool unreadable_last_line = false;
};

std::vector<Variant> Variants(const std::string& text) {
  return {{Replace(text, "\n", "\r\n")},
          {text.substr(0, text.size() - 1)},
          {text + std::string("\0\0\x01\n", 4), true},
          {text + std::string(2 << 20, '9')}};
}

// `got` is the result of program `name` on a variant, `normal` on the text
// itself: the same status, standard output and files. Standard error is
// the same too, except that a data loop ending at the unreadable line says
// so in one warning.
void ExpectSame(const Result& got, const Result& normal, const Variant& v, std::string_view name) {
  EXPECT_EQ(got.outcome.status, normal.outcome.status);
  EXPECT_EQ(got.outcome.out, normal.outcome.out);
  EXPECT_EQ(got.files, normal.files);
  if (v.unreadable_last_line && got.outcome.err != normal.outcome.err) {
    EXPECT_EQ(normal.outcome.err, "");
    EXPECT_TRUE(IsOneDiagnosticLine(got.outcome.err, name)) << got.outcome.err;
    EXPECT_NE(got.outcome.err.find(": data end at unreadable value '\\x00\\x00\\x01' ("), std::string::npos)
        << got.outcome.err;
  } else {
    EXPECT_EQ(got.outcome.err, normal.outcome.err);
  }
}

// Every program gives the same result on these variants of its standard
// input and of the data file it reads.
TEST(HostileProgramInputTest, LineEndsAndJunkAfterTheDataChangeNothing) {
  for (const ProgramCase& p : AllCases()) {
    TempDir dir("hardening_line_ends");
    PlaceFiles(p, dir);
    ForEachRunInput(p, [&](const std::string& input) {
      const Result normal = RunCase(dir, p, input);
      for (const Variant& v : Variants(input)) ExpectSame(RunCase(dir, p, v.text), normal, v, p.program.name);
    });
    if (p.data_file.empty()) continue;
    SCOPED_TRACE(p.name() + " reading variants of " + p.data_file);
    const std::string data = dir.Read(p.data_file);
    const Result normal = RunCase(dir, p, p.input);
    ASSERT_FALSE(normal.files.empty() && normal.outcome.out.empty());
    for (const Variant& v : Variants(data)) {
      dir.Write(p.data_file, v.text);
      ExpectSame(RunCase(dir, p, p.input), normal, v, p.program.name);
    }
    dir.Write(p.data_file, data);
  }
}

// Numbers at the edges of their types reach every program's arithmetic
// and counts; the sanitizer build checks that none of it is undefined.
TEST(HostileProgramInputTest, ExtremeNumbersEndCleanly) {
  for (const ProgramCase& p : AllCases()) {
    TempDir dir("hardening_extremes");
    PlaceFiles(p, dir);
    for (const std::string& input : p.extreme_inputs) {
      SCOPED_TRACE(p.name() + " on: " + input);
      const Outcome o = RunIn(dir, p, input, 1 << 20);  // room for a few thousand lines
      ExpectCleanEnd(p, o);
      EXPECT_TRUE(o.out.empty() || o.out.back() == '\n' || o.out.size() == 1 << 20);
    }
  }
}

}  // namespace
}  // namespace hardening
