#ifndef CIRCARRAY_COMPONENT_SPLIT_SELECTOR_H_
#define CIRCARRAY_COMPONENT_SPLIT_SELECTOR_H_

#include <cstdint>
#include <vector>

namespace wendle {

// One output file of a split: its suffix and the component it carries.
struct ComponentFile {
  const char* suffix;  // "u.d", "e.d" or "n.d"
  int component;       // index into the sample's (u, e, n)
};

// What a component selector asks for.
struct Split {
  int values_per_sample;             // numbers read per sample, the time included
  std::vector<ComponentFile> files;  // written in this order
};

// Selector 1: u alone (2 values a sample, so two-column files serve too);
// 2: e and n; 3: u, e and n. Any other selector writes nothing, though the
// input is still read through (2 values for 0 and below, 4 above 3).
Split SplitFor(int32_t selector);

}  // namespace wendle

#endif  // CIRCARRAY_COMPONENT_SPLIT_SELECTOR_H_
