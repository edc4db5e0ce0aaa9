#include "seisio/mseed_log.h"

#include <libmseed.h>

#include <mutex>

namespace seisio {

namespace {

thread_local std::string last_message;

void Keep(char* message) {
  std::string text(message != nullptr ? message : "");
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  last_message = text;
}

}  // namespace

void CatchMiniSeedLog() {
  static std::once_flag once;
  std::call_once(once, [] { ms_loginit(Keep, "", Keep, ""); });
}

std::string LastMiniSeedLog() { return last_message; }

void ClearMiniSeedLog() { last_message.clear(); }

}  // namespace seisio
