// The free-format reader fed arbitrary text. The first line is a script
// of reads (each byte picks the kind and number of targets); the rest is
// the text read. Every real read must come back bit for bit after being
// written in the free format, and every read must end.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "harness.h"
#include "textio/format.h"
#include "textio/free_reader.h"
#include "textio/number.h"

namespace {

// A written field without its padding blanks.
std::string_view Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return std::string_view(s).substr(first, s.find_last_not_of(' ') + 1 - first);
}

template <typename T>
bool SameBits(T a, T b) {
  if (std::isnan(a)) return std::isnan(b);
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool Parse(std::string_view token, float* out) { return textio::ParseFloat(token, out); }
bool Parse(std::string_view token, double* out) { return textio::ParseDouble(token, out); }

// A float or a double, written in the free format and read back.
template <typename Real>
void CheckRoundTrip(Real v) {
  constexpr bool kFloat = std::is_same_v<Real, float>;
  Real back = 0;
  fuzz::Check(Parse(Trim(textio::FreeReal(v)), &back),
              kFloat ? "a written float does not read back" : "a written double does not read back");
  fuzz::Check(SameBits(v, back),
              kFloat ? "a float changed in a write-read round trip" : "a double changed in a write-read round trip");
}

void CheckRoundTrip(int32_t v) {
  std::string s;
  textio::AppendFreeInt(&s, v);
  int32_t back = 0;
  fuzz::Check(textio::ParseInt32(Trim(s), &back) && back == v, "an integer changed in a write-read round trip");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  const size_t nl = all.find('\n');
  std::string_view script = all.substr(0, nl == std::string_view::npos ? 0 : nl);
  if (script.empty()) script = "\x01\x02\x03";
  std::istringstream in(std::string(nl == std::string_view::npos ? all : all.substr(nl + 1)));
  textio::FreeReader reader(in);

  const long newlines = static_cast<long>(std::count(all.begin(), all.end(), '\n'));
  long last_line = 0;
  // Every read takes at least one line or reports the end, so the loop
  // ends after at most one pass per line.
  for (long step = 0;; ++step) {
    fuzz::Check(step <= newlines + 2, "reads do not advance through the input");
    const auto op = static_cast<unsigned char>(script[static_cast<size_t>(step) % script.size()]);
    const size_t count = op / 8 % 4 + 1;
    textio::ReadResult r;
    std::vector<float> floats(count);
    std::vector<double> doubles(count);
    int32_t ints[4] = {0, 0, 0, 0};
    std::string texts[4];
    switch (op % 8) {
      case 0:
        r = reader.ReadFloats(floats);
        break;
      case 1:
        r = reader.ReadDoubles(doubles);
        break;
      case 2:
        r = reader.Read({floats[0], ints[0], doubles[0], textio::Target::Text(texts[0], 8)});
        break;
      case 3:
        r = reader.Read({ints[0], ints[1]});
        break;
      case 4:
        r = reader.SkipLine();
        break;
      case 5:
        r = reader.ReadLine(&texts[0], count * 50);
        fuzz::Check(r.ok() || r.status == textio::ReadStatus::kEnd, "a name read failed otherwise than at the end");
        if (r.ok()) fuzz::Check(texts[0].size() <= count * 50, "a name is longer than its field");
        break;
      case 6:
        r = reader.Read({textio::Target::Text(texts[0], 4), textio::Target::Text(texts[1], 200)});
        fuzz::Check(texts[0].size() <= 4 && texts[1].size() <= 200, "a text is longer than its field");
        break;
      default:
        r = reader.Read({doubles[0]});
        break;
    }
    fuzz::Check(r.line >= last_line, "line numbers went backwards");
    last_line = r.line;
    for (float v : floats) CheckRoundTrip(v);
    for (double v : doubles) CheckRoundTrip(v);
    for (int32_t v : ints) CheckRoundTrip(v);
    if (r.status == textio::ReadStatus::kEnd) break;
  }
  return 0;
}
