#include "array_spectra/smoothing.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <stdexcept>

#include "textio/format.h"

namespace circspec {

std::string Describe(const SmoothingChoice& choice) {
  const std::string lobe = choice.main_lobe ? " (main lobe)" : "";
  switch (choice.kind) {
    case SmoothingChoice::Kind::kKonnoOhmachi:
      return "ko:" + textio::Shortest(choice.parameter) + lobe;
    case SmoothingChoice::Kind::kParzen:
      return "parzen:" + textio::Shortest(choice.parameter) + lobe;
    case SmoothingChoice::Kind::kNone:
      return "none";
  }
  return {};
}

namespace {

// Four doubles side by side (GCC's and clang's vector extension): the
// compiler maps them to one AVX register, or two SSE2 ones.
using Lanes = double __attribute__((vector_size(4 * sizeof(double))));

// [sin x / x]^4, 1 at x = 0.
double SincFourth(double x) {
  if (x == 0) return 1;
  const double s = std::sin(x) / x;
  return (s * s) * (s * s);
}

}  // namespace

Smoother::Smoother(const SmoothingChoice& choice, const std::vector<double>& grid, double df, size_t last_bin) {
  if (last_bin < 1) throw std::invalid_argument("Smoother: no frequency bin above 0");
  first_bin_ = 1;
  bins_ = last_bin;
  const double u = choice.kind == SmoothingChoice::Kind::kParzen ? 280.0 / (151.0 * choice.parameter) : 0;
  for (double fc : grid) {
    Row row;
    if (choice.kind == SmoothingChoice::Kind::kNone) {
      const double nearest = std::clamp(std::round(fc / df), 1.0, static_cast<double>(last_bin));
      row.first = static_cast<size_t>(nearest) - first_bin_;
      row.weights = {1.0};
    } else {
      row.first = 0;
      row.weights.resize(bins_);
      double total = 0;
      for (size_t k = first_bin_; k <= last_bin; ++k) {
        const double f = static_cast<double>(k) * df;
        const double x = choice.kind == SmoothingChoice::Kind::kKonnoOhmachi ? choice.parameter * std::log10(f / fc)
                                                                             : std::numbers::pi * u * (f - fc) / 2;
        const double w = choice.main_lobe && std::fabs(x) >= std::numbers::pi ? 0 : SincFourth(x);
        row.weights[k - first_bin_] = w;
        total += w;
      }
      if (total == 0) {
        // A main lobe narrower than a bin: the nearest bin.
        const double nearest = std::clamp(std::round(fc / df), 1.0, static_cast<double>(last_bin));
        row.first = static_cast<size_t>(nearest) - first_bin_;
        row.weights = {1.0};
        rows_.push_back(std::move(row));
        continue;
      }
      for (double& w : row.weights) w /= total;
      if (choice.main_lobe) {
        // Keep the support only.
        const auto nonzero = [](double w) { return w != 0; };
        const size_t begin =
            static_cast<size_t>(std::find_if(row.weights.begin(), row.weights.end(), nonzero) - row.weights.begin());
        const size_t end =
            row.weights.size() -
            static_cast<size_t>(std::find_if(row.weights.rbegin(), row.weights.rend(), nonzero) - row.weights.rbegin());
        row.first = begin;
        row.weights = std::vector<double>(row.weights.begin() + static_cast<std::ptrdiff_t>(begin),
                                          row.weights.begin() + static_cast<std::ptrdiff_t>(end));
      }
    }
    rows_.push_back(std::move(row));
  }
}

// Compiled twice, for AVX2 and for any x86-64, the first taken where the
// processor has it: the same IEEE operations in the same order either way
// (no fused multiply-add: the build keeps -ffp-contract=off), four doubles
// a step instead of two.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void Smoother::Apply(const double* raw, size_t channels, double* out) const {
  // A matrix product, out = W raw. Each output frequency sums its bins in
  // bin order (channels side by side, independent sums: vectorisable
  // without reassociation, so every run gives the same bits); rows with
  // the same support go four at a time, so each raw value loaded serves
  // four sums.
  size_t i = 0;
  while (i < rows_.size()) {
    const Row& row = rows_[i];
    size_t block = 1;
    while (block < 4 && i + block < rows_.size() && rows_[i + block].first == row.first &&
           rows_[i + block].weights.size() == row.weights.size()) {
      ++block;
    }
    double* sums[4];
    const double* w[4];
    for (size_t r = 0; r < block; ++r) {
      sums[r] = out + (i + r) * channels;
      std::fill(sums[r], sums[r] + channels, 0.0);
      w[r] = rows_[i + r].weights.data();
    }
    const double* x = raw + row.first * channels;
    const size_t n = row.weights.size();
    if (block == 4) {
      // Four channels at a time as one vector, their sums for the four
      // rows held in registers over all bins: each raw value is loaded
      // once and each sum stored once. Lane by lane the operations are
      // those of the scalar loop, in the same order.
      size_t c0 = 0;
      for (; c0 + 4 <= channels; c0 += 4) {
        Lanes a0 = {}, a1 = {}, a2 = {}, a3 = {};
        const double* xk = x + c0;
        for (size_t k = 0; k < n; ++k, xk += channels) {
          Lanes v;
          std::memcpy(&v, xk, sizeof v);
          a0 += w[0][k] * v;
          a1 += w[1][k] * v;
          a2 += w[2][k] * v;
          a3 += w[3][k] * v;
        }
        std::memcpy(sums[0] + c0, &a0, sizeof a0);
        std::memcpy(sums[1] + c0, &a1, sizeof a1);
        std::memcpy(sums[2] + c0, &a2, sizeof a2);
        std::memcpy(sums[3] + c0, &a3, sizeof a3);
      }
      for (; c0 < channels; ++c0) {
        double a0 = 0, a1 = 0, a2 = 0, a3 = 0;
        const double* xk = x + c0;
        for (size_t k = 0; k < n; ++k, xk += channels) {
          const double v = *xk;
          a0 += w[0][k] * v;
          a1 += w[1][k] * v;
          a2 += w[2][k] * v;
          a3 += w[3][k] * v;
        }
        sums[0][c0] = a0;
        sums[1][c0] = a1;
        sums[2][c0] = a2;
        sums[3][c0] = a3;
      }
    } else {
      for (size_t r = 0; r < block; ++r) {
        const double* xr = x;
        for (size_t k = 0; k < n; ++k, xr += channels) {
          const double wk = w[r][k];
          for (size_t c = 0; c < channels; ++c) sums[r][c] += wk * xr[c];
        }
      }
    }
    i += block;
  }
}

Smoother MakeSmoother(const SmoothingChoice& choice, const std::vector<double>& grid, size_t n, double dt) {
  return Smoother(choice, grid, 1 / (static_cast<double>(n) * dt), n / 2);
}

}  // namespace circspec
