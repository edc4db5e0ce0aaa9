// The array layout reader on arbitrary text: it ends with a layout or a
// textio::InputError naming the file; a layout it returns keeps the rules
// of the layout file (at most one centre, one or two rings of at least
// three stations, outer ring first, unique names and files).
#include <cstddef>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "array/layout.h"
#include "harness.h"
#include "textio/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const auto read = fuzz::ReadOrRefusal("fuzz.txt", [&] { return array::ParseLayout(in, "fuzz.txt", "folder"); });
  if (!read) return 0;
  const array::Layout& layout = *read;
  fuzz::Check(!layout.rings.empty() && layout.rings.size() <= 2, "one or two rings");
  if (layout.rings.size() == 2) fuzz::Check(layout.rings[0].radius > layout.rings[1].radius, "outer ring first");
  size_t on_rings = 0;
  for (const array::Ring& ring : layout.rings) {
    fuzz::Check(ring.stations.size() >= 3, "a ring of at least three stations");
    on_rings += ring.stations.size();
  }
  fuzz::Check(on_rings + (layout.centre ? 1 : 0) == layout.stations.size(), "every station is centre or on a ring");
  std::set<std::string> names;
  std::set<std::string> files;
  for (const array::Station& s : layout.stations) {
    fuzz::Check(names.insert(s.name).second && files.insert(s.file).second, "names and files are unique");
    fuzz::Check(s.radius >= 0, "radii are not negative");
  }
  return 0;
}
