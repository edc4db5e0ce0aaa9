#ifndef CIRCARRAY_ARRAY_SPECTRA_SMOOTHING_H_
#define CIRCARRAY_ARRAY_SPECTRA_SMOOTHING_H_

#include <cstddef>
#include <string>
#include <vector>

namespace circspec {

// How the FFT bins are averaged onto an output frequency fc. Every weight
// set is normalised to sum 1, and the bins used are k = 1 .. n/2 (the
// mean is removed from each segment, so bin 0 carries nothing useful):
//  - Konno-Ohmachi with bandwidth coefficient b: a window of constant
//    width in log frequency,
//      W(f) = [sin(b log10(f/fc)) / (b log10(f/fc))]^4,  W(fc) = 1;
//  - Parzen with bandwidth B Hz: the spectral window of the Parzen lag
//    window, of constant width in frequency,
//      W(f) = [sin(x) / x]^4,  x = pi u (f - fc) / 2,  u = 280 / (151 B),
//    where B = 280 / (151 u) is that window's equivalent bandwidth;
//  - none: the single bin nearest to fc.
// With main_lobe the windows stop at their first zeros (|x| = pi): no
// bin far from fc enters, so that a model of the smoothed spectra needs
// only the wavenumbers near fc (the dispersion curve's form).
struct SmoothingChoice {
  enum class Kind { kKonnoOhmachi, kParzen, kNone };
  Kind kind = Kind::kKonnoOhmachi;
  double parameter = 40;  // b, or B in Hz
  bool main_lobe = false;
};
// "ko:40", "parzen:0.5", "none" as written on the command line, with
// " (main lobe)" where the windows stop at their first zeros.
std::string Describe(const SmoothingChoice& choice);

// The weights of every output frequency over the bins of an FFT with
// bin spacing df and bins 0 .. last_bin, applied to per-bin sums of many
// channels at once. Smoothing is linear, so smoothing a sum of segments'
// spectra equals the sum of the smoothed spectra: the group sums of the
// jackknife are smoothed once each.
class Smoother;

// The smoother of segments of n samples at the interval dt: the FFT bins
// 1 .. n/2, spaced 1/(n dt), onto the output frequencies `grid`.
Smoother MakeSmoother(const SmoothingChoice& choice, const std::vector<double>& grid, size_t n, double dt);

class Smoother {
 public:
  Smoother(const SmoothingChoice& choice, const std::vector<double>& grid, double df, size_t last_bin);

  size_t frequencies() const { return rows_.size(); }
  // Bins touched by any weight: [first_bin(), first_bin() + bins()).
  size_t first_bin() const { return first_bin_; }
  size_t bins() const { return bins_; }

  // raw[(k - first_bin()) * channels + c] -> out[i * channels + c], for
  // every output frequency i and channel c.
  void Apply(const double* raw, size_t channels, double* out) const;

  // The normalised weight of bin k at output frequency i (0 outside its
  // support).
  double Weight(size_t i, size_t k) const {
    const Row& row = rows_[i];
    if (k < first_bin_ + row.first || k >= first_bin_ + row.first + row.weights.size()) return 0;
    return row.weights[k - first_bin_ - row.first];
  }

 private:
  struct Row {
    size_t first = 0;  // offset from first_bin_
    std::vector<double> weights;
  };
  std::vector<Row> rows_;
  size_t first_bin_ = 1, bins_ = 0;
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_SMOOTHING_H_
