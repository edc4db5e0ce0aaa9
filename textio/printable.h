#ifndef CIRCARRAY_TEXTIO_PRINTABLE_H_
#define CIRCARRAY_TEXTIO_PRINTABLE_H_

#include <string>
#include <string_view>

namespace textio {

// A token of outside data as it may appear in a one-line diagnostic:
// control bytes (NUL, escape sequences, ...) shown as \xNN rather than sent
// to a terminal, and a token of megabytes cut to its first 64 characters
// followed by "...". Every message that quotes what a user's file holds
// shows it through here.
std::string Printable(std::string_view token);

}  // namespace textio

#endif  // CIRCARRAY_TEXTIO_PRINTABLE_H_
