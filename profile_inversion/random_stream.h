#ifndef CIRCARRAY_PROFILE_INVERSION_RANDOM_STREAM_H_
#define CIRCARRAY_PROFILE_INVERSION_RANDOM_STREAM_H_

#include <cmath>
#include <cstdint>
#include <random>

namespace circinv {

// The random numbers of the search, identical on every platform and
// standard library. std::mt19937_64 is defined bit for bit by the C++
// standard; the distributions of <random> are not (libstdc++ and libc++
// turn the same bits into different doubles), so the doubles are made
// here from the generator's 64-bit words.
class RandomStream {
 public:
  explicit RandomStream(uint64_t seed) : engine_(seed) {}

  // Uniform on [0, 1): the top 53 bits of one 64-bit word, scaled by 2^-53,
  // so every value is a multiple of 2^-53 and each is equally likely.
  double Uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

  // Uniform on [lower, upper) (the single value lower when they are equal).
  double Uniform(double lower, double upper) { return lower + (upper - lower) * Uniform(); }

  // Standard normal: the Box-Muller transform (Box & Muller 1958) of two
  // uniforms, the first turned to (0, 1] so that its logarithm is finite.
  double Normal() {
    const double u = 1.0 - Uniform();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * M_PI * Uniform());
  }

 private:
  std::mt19937_64 engine_;
};

// The seed of independent stream `index` derived from `seed`: the
// SplitMix64 finaliser (Steele, Lea & Flood 2014) of seed + (index + 1)
// times the golden-ratio increment, so that neighbouring seeds and indices
// give unrelated streams.
inline uint64_t SubSeed(uint64_t seed, uint64_t index) {
  uint64_t z = seed + (index + 1) * 0x9e3779b97f4a7c15ULL;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_RANDOM_STREAM_H_
