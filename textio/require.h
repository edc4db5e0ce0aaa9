#ifndef CIRCARRAY_TEXTIO_REQUIRE_H_
#define CIRCARRAY_TEXTIO_REQUIRE_H_

// Reads that must succeed, and the messages of reads that did not: the
// words with which a program names what its free-format input lacked.

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "textio/errors.h"
#include "textio/free_reader.h"

namespace textio {

// The message Require() throws for a failed read: "input ended after line
// N while reading <what>" or "line N: cannot read <what>: unreadable value
// 'tok'".
std::string DescribeFailure(const ReadResult& r, std::string_view what);

// Throws InputError unless `r` is kDone. `what` names the expected input,
// for example "the parameter record (itype, radius, fstep, fend)".
void Require(const ReadResult& r, std::string_view what);

// Reads one record of values of the types T... and returns them, or
// throws as Require() does. A value the record leaves unread (it ends at a
// slash or holds a null value) is 0, as a read into variables just set to
// 0 leaves it: `auto [itype, radius] = RequireRecord<int32_t, float>(reader,
// "the parameter record (itype, radius)")`.
template <typename... T>
std::tuple<T...> RequireRecord(FreeReader& reader, std::string_view what) {
  std::tuple<T...> values{};
  std::apply([&](T&... v) { Require(reader.Read({Target(v)...}), what); }, values);
  return values;
}

// The value of a record of one value: RequireRecord<T>, unpacked.
template <typename T>
T RequireValue(FreeReader& reader, std::string_view what) {
  return std::get<0>(RequireRecord<T>(reader, what));
}

// The warning for a data loop that ended at an unreadable value rather
// than at the end of its input: "<source> line N: data end at unreadable
// value 'tok' (<count> <counted>)", for example
// "in.txt line 1500: data end at unreadable value '3.1O' (1499 samples written)".
std::string DescribeDataEnd(const ReadResult& r, std::string_view source, int64_t count, std::string_view counted);

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_REQUIRE_H_
