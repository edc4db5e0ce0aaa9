#ifndef CIRCARRAY_TESTSUPPORT_TEST_CONTEXT_H_
#define CIRCARRAY_TESTSUPPORT_TEST_CONTEXT_H_

#include <filesystem>
#include <sstream>
#include <string>

#include "suite/context.h"

namespace testsupport {

// A run context for unit tests of routines that open their files through
// one: empty standard input, standard output and error kept in strings,
// relative file names taken from `directory` ("" = the working directory).
class TestContext {
 public:
  explicit TestContext(std::filesystem::path directory = {})
      : context_("test", {in_, out_, err_}, suite::Invocation{{}, std::move(directory)}) {}
  TestContext(const TestContext&) = delete;
  TestContext& operator=(const TestContext&) = delete;

  suite::Context& get() { return context_; }
  operator suite::Context&() { return context_; }
  std::string err() const { return err_.str(); }

 private:
  std::istringstream in_;
  std::ostringstream out_, err_;
  suite::Context context_;
};

}  // namespace testsupport

#endif  // CIRCARRAY_TESTSUPPORT_TEST_CONTEXT_H_
