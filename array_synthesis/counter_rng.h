#ifndef CIRCARRAY_ARRAY_SYNTHESIS_COUNTER_RNG_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_COUNTER_RNG_H_

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <string_view>
#include <utility>

namespace circsim {

// SplitMix64's output function (Steele, Lea & Flood 2014): a bijective
// mixing of 64 bits.
constexpr uint64_t Mix64(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

// A 64-bit hash of a text (FNV-1a, then mixed), to key random streams on
// a station's name rather than on its place in a file.
constexpr uint64_t HashName(std::string_view name) {
  uint64_t h = 0xcbf29ce484222325ULL;
  for (char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
  return Mix64(h);
}

// A counter-based random generator: its sequence depends only on the key
// it is built from (for instance seed, stream, frequency bin), so any
// part of a synthetic wavefield can be drawn on its own, in any order,
// with the same numbers. The key words are folded in with Mix64; the
// sequence is SplitMix64 from the folded state.
class CounterRng {
 public:
  CounterRng(std::initializer_list<uint64_t> key) {
    uint64_t h = 0;
    for (uint64_t word : key) h = Mix64((h + kGamma) ^ word);
    state_ = h;
  }

  uint64_t Next() {
    state_ += kGamma;
    return Mix64(state_);
  }

  // Uniform in [0, 1), 53 random bits (converted through a signed
  // integer, which the processor converts in one instruction).
  double Uniform() { return static_cast<double>(static_cast<int64_t>(Next() >> 11)) * 0x1.0p-53; }

  // Two independent standard normal deviates (Box-Muller).
  std::pair<double, double> GaussianPair() {
    const double u1 = 1 - Uniform();  // (0, 1]: the logarithm stays finite
    const double u2 = Uniform();
    const double r = std::sqrt(-2 * std::log(u1));
    const double a = 2 * std::numbers::pi * u2;
    return {r * std::cos(a), r * std::sin(a)};
  }

 private:
  static constexpr uint64_t kGamma = 0x9e3779b97f4a7c15ULL;  // 2^64 / golden ratio
  uint64_t state_;
};

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_COUNTER_RNG_H_
