// The dispersion-curve file on arbitrary text: a curve read holds sorted,
// distinct, positive frequencies and gives a positive, finite velocity at
// every frequency, or the refusal names the file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "curve/curve_file.h"
#include "harness.h"
#include "textio/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const curve::StandardErrors se : {curve::StandardErrors::kIgnored, curve::StandardErrors::kRequired}) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
      const curve::Curve c = curve::ParseCurve(in, "curve.txt", se);
      for (size_t i = 1; i < c.points.size(); ++i) {
        fuzz::Check(c.points[i - 1].f < c.points[i].f, "frequencies sorted and distinct");
      }
      for (double f : {1e-3, 0.5, 1.0, 7.3, 40.0, 1e4}) {
        const double v = c.VelocityAt(f);
        fuzz::Check(std::isfinite(v) && v > 0, "a curve gives a positive, finite velocity");
      }
    } catch (const textio::InputError& e) {
      fuzz::Check(std::string(e.what()).rfind("curve.txt", 0) == 0, "the message starts with the file");
    }
  }
  return 0;
}
