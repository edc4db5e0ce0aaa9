// The array layout reader and the forming of rings on arbitrary text: it
// ends with a layout or a textio::InputError naming the file; a layout it
// returns keeps the rules of the layout file (at most one centre, unique
// names and files, finite positions), and rings formed from it keep theirs
// (one or two, outer first, of at least three stations each, every
// station the centre, on a ring or left out).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "array/layout.h"
#include "array/rings.h"
#include "harness.h"
#include "textio/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const auto read = fuzz::ReadOrRefusal("fuzz.txt", [&] { return array::ParseLayout(in, "fuzz.txt", "folder"); });
  if (!read) return 0;
  const array::Layout& layout = *read;
  std::set<std::string> names;
  std::set<std::string> files;
  for (const array::Station& s : layout.stations) {
    fuzz::Check(names.insert(s.name).second && files.insert(s.file).second, "names and files are unique");
    fuzz::Check(std::isfinite(s.x) && std::isfinite(s.y), "positions are finite");
  }
  const double tolerance = size > 0 ? 0.001 + (data[0] % 20) / 100.0 : 0.1;
  const auto rings = fuzz::ReadOrRefusal("fuzz.txt", [&] { return array::FormRings(layout, tolerance); });
  if (!rings) return 0;
  fuzz::Check(!rings->rings.empty() && rings->rings.size() <= 2, "one or two rings");
  if (rings->rings.size() == 2) fuzz::Check(rings->rings[0].radius >= rings->rings[1].radius, "outer ring first");
  size_t on_rings = 0;
  for (const array::Ring& ring : rings->rings) {
    fuzz::Check(ring.stations.size() >= 3, "a ring of at least three stations");
    fuzz::Check(ring.spread_low <= 0 && ring.spread_high >= 0 && ring.largest_gap >= 0, "spreads and gaps");
    on_rings += ring.stations.size();
  }
  fuzz::Check(on_rings + rings->left_out.size() + (layout.centre ? 1 : 0) == layout.stations.size(),
              "every station is the centre, on a ring or left out");
  return 0;
}
