#ifndef CIRCARRAY_TESTSUPPORT_PNG_CHECK_H_
#define CIRCARRAY_TESTSUPPORT_PNG_CHECK_H_

// What circplot's tests check of a PNG file without decoding it: the
// signature, the chunk structure with every chunk's CRC, the size in the
// IHDR chunk, and the amount of compressed pixel data (IDAT).

#include <array>
#include <cstdint>
#include <string>

namespace circplot::testing {

struct PngFacts {
  std::string error;  // empty if the file is a well-formed PNG
  uint32_t width = 0;
  uint32_t height = 0;
  size_t idat_bytes = 0;  // compressed image data, all IDAT chunks together
};

// The CRC-32 that PNG uses (ISO 3309, polynomial 0xedb88320), over
// a chunk's type and data.
inline uint32_t Crc32(const std::string& bytes, size_t begin, size_t end) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xedb88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xffffffffu;
  for (size_t i = begin; i < end; ++i) c = table[(c ^ static_cast<unsigned char>(bytes[i])) & 0xffu] ^ (c >> 8);
  return c ^ 0xffffffffu;
}

inline uint32_t BigEndian32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

inline PngFacts InspectPng(const std::string& bytes) {
  PngFacts facts;
  static const std::string kSignature("\x89PNG\r\n\x1a\n", 8);
  if (bytes.compare(0, kSignature.size(), kSignature) != 0) {
    facts.error = "no PNG signature";
    return facts;
  }
  size_t at = kSignature.size();
  bool first = true;
  while (true) {
    if (at + 12 > bytes.size()) {
      facts.error = "truncated: no IEND chunk";
      return facts;
    }
    const uint32_t length = BigEndian32(bytes, at);
    const std::string type = bytes.substr(at + 4, 4);
    if (length > bytes.size() - at - 12) {
      facts.error = "chunk " + type + " runs past the end of the file";
      return facts;
    }
    const size_t data = at + 8;
    if (Crc32(bytes, at + 4, data + length) != BigEndian32(bytes, data + length)) {
      facts.error = "bad CRC in chunk " + type;
      return facts;
    }
    if (first) {
      if (type != "IHDR" || length != 13) {
        facts.error = "the first chunk is not a 13-byte IHDR";
        return facts;
      }
      facts.width = BigEndian32(bytes, data);
      facts.height = BigEndian32(bytes, data + 4);
      first = false;
    }
    if (type == "IDAT") facts.idat_bytes += length;
    at = data + length + 4;
    if (type == "IEND") break;
  }
  if (facts.idat_bytes == 0) facts.error = "no image data (IDAT)";
  return facts;
}

}  // namespace circplot::testing

#endif  // CIRCARRAY_TESTSUPPORT_PNG_CHECK_H_
