// circsim's phase-velocity curve files (--rayleigh, --love) on arbitrary
// text: a curve read gives a positive, finite velocity at every frequency,
// or the refusal names the file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "array_synthesis/dispersion.h"
#include "harness.h"
#include "testsupport/test_context.h"
#include "textio/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteFile("curve.txt", std::string_view(reinterpret_cast<const char*>(data), size));
  testsupport::TestContext context(fuzz::WorkDir());
  try {
    const circsim::DispersionCurve curve = circsim::ReadDispersionCurve(context, "curve.txt");
    for (double f : {1e-3, 0.5, 1.0, 7.3, 40.0, 1e4}) {
      const double c = curve.Velocity(f);
      fuzz::Check(std::isfinite(c) && c > 0, "a curve gives a positive, finite velocity");
    }
  } catch (const textio::InputError& e) {
    fuzz::Check(std::string(e.what()).find("curve.txt") != std::string::npos, "the message names the file");
  }
  return 0;
}
