#ifndef CIRCARRAY_TESTSUPPORT_RANDOM_SERIES_H_
#define CIRCARRAY_TESTSUPPORT_RANDOM_SERIES_H_

#include <cstddef>
#include <random>
#include <vector>

namespace testsupport {

// `n` independent standard normal values, the same for the same seed on
// one standard library.
inline std::vector<double> GaussianSeries(size_t n, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> g;
  std::vector<double> v(n);
  for (double& x : v) x = g(rng);
  return v;
}

}  // namespace testsupport

#endif  // CIRCARRAY_TESTSUPPORT_RANDOM_SERIES_H_
