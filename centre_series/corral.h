#ifndef CIRCARRAY_CENTRE_SERIES_CORRAL_H_
#define CIRCARRAY_CENTRE_SERIES_CORRAL_H_

#include <cstdint>

namespace corral {

// Size of the output name table: the most name lines a run may give.
inline constexpr int32_t kNameTableSize = 6;

}  // namespace corral

#endif  // CIRCARRAY_CENTRE_SERIES_CORRAL_H_
