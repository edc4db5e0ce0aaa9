#include "array_spectra/smoothing_moments.h"

#include <algorithm>
#include <cmath>

namespace circspec {

namespace {

// log P at log f by linear interpolation between the positive powers.
class LogPower {
 public:
  LogPower(const std::vector<double>& f, const std::vector<double>& power) {
    for (size_t i = 0; i < f.size(); ++i) {
      if (power[i] > 0 && std::isfinite(power[i])) {
        x_.push_back(std::log(f[i]));
        y_.push_back(std::log(power[i]));
      }
    }
  }
  // The power relative to some constant (only ratios matter).
  double operator()(double f) const {
    if (x_.size() < 2) return 1;
    const double x = std::log(f);
    if (x <= x_.front()) return std::exp(y_.front() - y_.front());
    if (x >= x_.back()) return std::exp(y_.back() - y_.front());
    const size_t j = static_cast<size_t>(std::upper_bound(x_.begin(), x_.end(), x) - x_.begin());
    const double t = (x - x_[j - 1]) / (x_[j] - x_[j - 1]);
    return std::exp(y_[j - 1] + t * (y_[j] - y_[j - 1]) - y_.front());
  }

 private:
  std::vector<double> x_, y_;
};

}  // namespace

std::vector<SmoothingMoments> MomentsOf(const Smoother& smoother, double df, const std::vector<double>& frequencies,
                                        const std::vector<double>& power, const std::vector<double>& p) {
  const LogPower signal(frequencies, power);
  std::vector<SmoothingMoments> out(frequencies.size());
  for (size_t i = 0; i < frequencies.size(); ++i) {
    double sum = 0, first = 0, second = 0;
    for (size_t b = smoother.first_bin(); b < smoother.first_bin() + smoother.bins(); ++b) {
      const double w = smoother.Weight(i, b);
      if (w == 0) continue;
      const double fb = static_cast<double>(b) * df;
      const double weight = w * signal(fb);
      const double rho = std::pow(fb / frequencies[i], p[i]) - 1;
      sum += weight;
      first += weight * rho;
      second += weight * rho * rho;
    }
    if (sum > 0) out[i] = {first / sum, second / sum};
  }
  return out;
}

Slopes WavenumberExponents(const std::vector<double>& frequencies, const std::vector<double>& f,
                           const std::vector<double>& c, const std::vector<double>& se) {
  constexpr double kHalfWidth = 0.3;  // in ln f
  Slopes out{std::vector<double>(frequencies.size(), 1.0), std::vector<double>(frequencies.size(), 0.5)};
  for (size_t i = 0; i < frequencies.size(); ++i) {
    const double x0 = std::log(frequencies[i]);
    double sw = 0, sx = 0, sy = 0, sxx = 0, sxy = 0, low = 0, high = 0;
    std::vector<size_t> near;
    for (size_t j = 0; j < f.size(); ++j) {
      const double x = std::log(f[j]) - x0;
      if (std::fabs(x) > kHalfWidth || !(se[j] > 0) || !(c[j] > 0)) continue;
      const double w = (c[j] / se[j]) * (c[j] / se[j]);  // 1 / var(ln c)
      const double y = std::log(c[j]);
      sw += w, sx += w * x, sy += w * y, sxx += w * x * x, sxy += w * x * y;
      low = std::min(low, x), high = std::max(high, x);
      near.push_back(j);
    }
    const double d = sw * sxx - sx * sx;
    if (near.size() < 3 || high - low < kHalfWidth / 2 || !(d > 0)) continue;
    const double slope = (sw * sxy - sx * sy) / d, intercept = (sy - slope * sx) / sw;
    double chi2 = 0;
    for (size_t j : near) {
      const double r = (std::log(c[j]) - intercept - slope * (std::log(f[j]) - x0)) * c[j] / se[j];
      chi2 += r * r;
    }
    const double scatter = chi2 / static_cast<double>(near.size() - 2);
    out.p[i] = std::clamp(1 - slope, 0.25, 4.0);
    out.p_se[i] = 2 * std::sqrt(std::max(1.0, scatter) * sw / d);
  }
  return out;
}

}  // namespace circspec
