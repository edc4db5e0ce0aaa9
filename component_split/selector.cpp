#include "component_split/selector.h"

namespace wendle {

namespace {
constexpr ComponentFile kU{"u.d", 0};
constexpr ComponentFile kE{"e.d", 1};
constexpr ComponentFile kN{"n.d", 2};
}  // namespace

Split SplitFor(int32_t selector) {
  switch (selector) {
    case 1:
      return {2, {kU}};
    case 2:
      return {4, {kE, kN}};
    case 3:
      return {4, {kU, kE, kN}};
    default:
      return {selector <= 0 ? 2 : 4, {}};
  }
}

}  // namespace wendle
