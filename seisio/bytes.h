#ifndef CIRCARRAY_SEISIO_BYTES_H_
#define CIRCARRAY_SEISIO_BYTES_H_

// Fixed-width numbers in either byte order, from and to raw bytes.

#include <bit>
#include <cstdint>
#include <cstring>

namespace seisio {

enum class ByteOrder { kLittle, kBig };

inline uint32_t Load32(const char* p, ByteOrder order) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  if (order == ByteOrder::kLittle) {
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
  }
  return uint32_t{b[3]} | uint32_t{b[2]} << 8 | uint32_t{b[1]} << 16 | uint32_t{b[0]} << 24;
}

inline uint64_t Load64(const char* p, ByteOrder order) {
  const uint64_t first = Load32(p, order);
  const uint64_t second = Load32(p + 4, order);
  return order == ByteOrder::kLittle ? (second << 32 | first) : (first << 32 | second);
}

inline int32_t LoadInt32(const char* p, ByteOrder order) { return std::bit_cast<int32_t>(Load32(p, order)); }
inline float LoadFloat(const char* p, ByteOrder order) { return std::bit_cast<float>(Load32(p, order)); }
inline double LoadDouble(const char* p, ByteOrder order) { return std::bit_cast<double>(Load64(p, order)); }

// Little-endian stores (the byte order the SAC writer uses).
inline void Store32Little(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xff);
}
inline void StoreInt32Little(char* p, int32_t v) { Store32Little(p, std::bit_cast<uint32_t>(v)); }
inline void StoreFloatLittle(char* p, float v) { Store32Little(p, std::bit_cast<uint32_t>(v)); }

}  // namespace seisio

#endif  // CIRCARRAY_SEISIO_BYTES_H_
