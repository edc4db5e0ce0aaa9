// Cost of one Bessel value and of one root search.

#include <benchmark/benchmark.h>

#include "core/bessel.h"
#include "core/fzero.h"

namespace {

void BM_CalBsl(benchmark::State& state) {
  const float order = static_cast<float>(state.range(0));
  float x = 0.001f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(core::cal_bsl(order, x));
    x += 0.0007f;
    if (x > 5.0f) x = 0.001f;
  }
}
BENCHMARK(BM_CalBsl)->Arg(0)->Arg(1)->Arg(2);

void BM_FzeroJ0(benchmark::State& state) {
  float o = -0.4f;
  for (auto _ : state) {
    auto f = [o](float x) { return core::cal_bsl(0.0f, x) - o; };
    benchmark::DoNotOptimize(core::fzero(f, 0.0f, 3.83f, 3.83f, 1.0e-7f, 1.0e-7f));
    o += 0.0001f;
    if (o > 1.0f) o = -0.4f;
  }
}
BENCHMARK(BM_FzeroJ0);

}  // namespace
