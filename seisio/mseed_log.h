#ifndef CIRCARRAY_SEISIO_MSEED_LOG_H_
#define CIRCARRAY_SEISIO_MSEED_LOG_H_

#include <string>

namespace seisio {

// libmseed prints its diagnostics on standard error by itself. The suite
// reports one line per failure, so the library's lines are caught instead:
// the last one is kept (per thread) for the message of the failure it
// explains. Call before every use of the library; it sets the catch once.
void CatchMiniSeedLog();

// The library's last diagnostic since ClearMiniSeedLog(), without its
// prefix and newline; "" if none.
std::string LastMiniSeedLog();
void ClearMiniSeedLog();

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_MSEED_LOG_H_
