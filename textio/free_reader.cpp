#include "textio/free_reader.h"

#include <array>

#include "textio/number.h"

namespace textio {

namespace {

// Character classes, looked up in one table: the scanner tests every
// character of multi-million-line files, and a chain of comparisons per
// character dominated the reading time.
enum : unsigned char { kBlankClass = 1, kEndsTokenClass = 2 };

constexpr std::array<unsigned char, 256> MakeCharClasses() {
  std::array<unsigned char, 256> classes{};
  for (unsigned char c : {' ', '\t', '\r', '\f', '\v'}) classes[c] = kBlankClass | kEndsTokenClass;
  for (unsigned char c : {',', '/'}) classes[c] = kEndsTokenClass;
  return classes;
}

constexpr std::array<unsigned char, 256> kCharClasses = MakeCharClasses();

bool IsBlank(char c) { return (kCharClasses[static_cast<unsigned char>(c)] & kBlankClass) != 0; }

bool EndsToken(char c) { return (kCharClasses[static_cast<unsigned char>(c)] & kEndsTokenClass) != 0; }

// Drops blanks and then one comma: the separator after a value.
void SkipSeparator(std::string_view* rest) {
  size_t i = 0;
  while (i < rest->size() && IsBlank((*rest)[i])) ++i;
  if (i < rest->size() && (*rest)[i] == ',') ++i;
  rest->remove_prefix(i);
}

// "r*c": returns the repeat count r, or 0 if the token is no repeat.
// Only the leading digits are scanned, so an ordinary number costs a
// character or two here rather than a search of the whole token.
long RepeatCount(std::string_view token, std::string_view* value) {
  size_t star = 0;
  long r = 0;
  for (; star < token.size() && token[star] >= '0' && token[star] <= '9'; ++star) {
    if (r < 1000000000) r = r * 10 + (token[star] - '0');
  }
  if (star == 0 || star == token.size() || token[star] != '*') return 0;
  if (r == 0) return 0;
  *value = token.substr(star + 1);
  return r;
}

}  // namespace

bool Target::Assign(std::string_view token) const {
  switch (kind_) {
    case Kind::kFloat:
      return ParseFloat(token, static_cast<float*>(ptr_));
    case Kind::kDouble:
      return ParseDouble(token, static_cast<double*>(ptr_));
    case Kind::kInt32:
      return ParseInt32(token, static_cast<int32_t*>(ptr_));
    case Kind::kText: {
      auto* s = static_cast<std::string*>(ptr_);
      s->assign(token.substr(0, width_));
      return true;
    }
  }
  return false;
}

bool FreeReader::FetchLine() {
  if (!lines_.Next(&rest_)) {
    rest_ = {};
    return false;
  }
  return true;
}

FreeReader::Token FreeReader::NextToken(std::string_view* token) {
  for (;;) {
    size_t i = 0;
    while (i < rest_.size() && IsBlank(rest_[i])) ++i;
    rest_.remove_prefix(i);
    if (!rest_.empty()) break;
    if (!FetchLine()) return Token::kEnd;
  }

  char c = rest_[0];
  if (c == ',') {
    rest_.remove_prefix(1);
    return Token::kNull;
  }
  if (c == '/') {
    rest_ = {};
    return Token::kSlash;
  }
  if (c == '\'' || c == '"') {
    // Quoted text runs to the closing quote; a doubled quote is one quote.
    quoted_.clear();
    size_t i = 1;
    while (i < rest_.size()) {
      if (rest_[i] == c) {
        if (i + 1 < rest_.size() && rest_[i + 1] == c) {
          quoted_.push_back(c);
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      quoted_.push_back(rest_[i++]);
    }
    quoted_spelling_ = rest_.substr(0, i);
    rest_.remove_prefix(i);
    SkipSeparator(&rest_);
    *token = quoted_;
    return Token::kQuoted;
  }

  size_t len = 0;
  while (len < rest_.size() && !EndsToken(rest_[len])) ++len;
  *token = rest_.substr(0, len);
  rest_.remove_prefix(len);
  SkipSeparator(&rest_);
  return Token::kValue;
}

template <typename AssignFn>
ReadResult FreeReader::ReadN(size_t count, AssignFn assign) {
  rest_ = {};  // every read starts on a new line
  repeat_left_ = 0;
  ReadResult result;
  for (size_t i = 0; i < count; ++i) {
    std::string_view token;
    bool quoted = false;
    if (repeat_left_ > 0) {
      --repeat_left_;
      if (repeat_null_) continue;
      token = repeat_value_;
    } else {
      switch (NextToken(&token)) {
        case Token::kEnd:
          result.status = ReadStatus::kEnd;
          result.line = lines_.line_number();
          return result;
        case Token::kSlash:
          result.line = lines_.line_number();
          return result;
        case Token::kNull:
          continue;
        case Token::kQuoted:
          quoted = true;  // text as it stands: "2*5" in quotes is no repeat
          break;
        case Token::kValue:
          if (std::string_view value; long r = RepeatCount(token, &value)) {
            repeat_left_ = r - 1;
            repeat_null_ = value.empty();
            repeat_value_ = value;
            if (repeat_null_) continue;
            token = value;
          }
          break;
      }
    }
    if (!assign(i, token, quoted)) {
      result.status = ReadStatus::kUnreadable;
      result.line = lines_.line_number();
      result.text = std::string(quoted ? quoted_spelling_ : token);  // as written, quotes and all
      rest_ = {};
      return result;
    }
  }
  result.line = lines_.line_number();
  rest_ = {};  // the rest of the last line is not read
  return result;
}

// A quoted token is a character constant: only a text target takes it,
// and a number due there makes it unreadable, whatever the quotes hold.
ReadResult FreeReader::Read(std::span<const Target> targets) {
  return ReadN(targets.size(), [&](size_t i, std::string_view t, bool quoted) {
    return (!quoted || targets[i].kind() == Target::Kind::kText) && targets[i].Assign(t);
  });
}

ReadResult FreeReader::ReadFloats(std::span<float> values) {
  return ReadN(values.size(),
               [&](size_t i, std::string_view t, bool quoted) { return !quoted && ParseFloat(t, &values[i]); });
}

ReadResult FreeReader::ReadDoubles(std::span<double> values) {
  return ReadN(values.size(),
               [&](size_t i, std::string_view t, bool quoted) { return !quoted && ParseDouble(t, &values[i]); });
}

ReadResult FreeReader::SkipLine() {
  rest_ = {};
  ReadResult result;
  if (!FetchLine()) result.status = ReadStatus::kEnd;
  rest_ = {};
  result.line = lines_.line_number();
  return result;
}

ReadResult FreeReader::ReadLine(std::string* out, size_t width) {
  rest_ = {};
  ReadResult result;
  std::string_view line;
  if (!lines_.Next(&line)) {
    result.status = ReadStatus::kEnd;
    result.line = lines_.line_number();
    return result;
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  line = line.substr(0, width);
  // A carriage return is a line-end relic, never part of a name, even
  // where blanks follow it or the cut at the width leaves it last.
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
  out->assign(line);
  result.line = lines_.line_number();
  return result;
}

}  // namespace textio
