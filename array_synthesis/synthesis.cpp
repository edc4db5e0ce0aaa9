#include "array_synthesis/synthesis.h"

#include <fftw3.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "array_synthesis/counter_rng.h"
#include "array_synthesis/sincos.h"
#include "textio/format.h"

namespace circsim {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr uint64_t kNoiseStream = 3;  // after the wave types' streams 1 and 2

// Complex values of an FFTW buffer per channel: n/2 + 1 of them, which
// need n + 2 doubles; the series of n doubles overlays them.
long BufferDoubles(long samples) { return 2 * (samples / 2 + 1); }

}  // namespace

void DrawWaves(uint64_t seed, WaveType type, long bin, int count, PlaneWave* out) {
  CounterRng rng{seed, static_cast<uint64_t>(type), static_cast<uint64_t>(bin)};
  for (int j = 0; j < count; ++j) {
    const SinCosValue az = SinCos(kTwoPi * rng.Uniform());
    out[j].cos_az = az.cos;
    out[j].sin_az = az.sin;
    out[j].phase = kTwoPi * rng.Uniform();
  }
}

StationRecord::StationRecord(long samples) : samples_(samples) {
  for (double*& d : data_) d = nullptr;
  for (double*& d : data_) {
    d = fftw_alloc_real(static_cast<size_t>(BufferDoubles(samples)));
    if (d == nullptr) {
      for (double* p : data_) fftw_free(p);
      throw std::bad_alloc();
    }
  }
}

StationRecord::~StationRecord() {
  for (double* d : data_) fftw_free(d);
}

std::span<std::complex<double>> StationRecord::spectrum(int channel) {
  return {reinterpret_cast<std::complex<double>*>(data_[channel]), static_cast<size_t>(samples_ / 2 + 1)};
}

std::span<const std::complex<double>> StationRecord::spectrum(int channel) const {
  return {reinterpret_cast<const std::complex<double>*>(data_[channel]), static_cast<size_t>(samples_ / 2 + 1)};
}

std::span<const double> StationRecord::series(int channel) const {
  return {data_[channel], static_cast<size_t>(samples_)};
}

Synthesizer::Synthesizer(const Wavefield& wavefield) : w_(wavefield) {
  if (w_.samples < 4 || w_.samples > INT_MAX) throw std::invalid_argument("record length out of range");
  if (!(w_.dt > 0) || !std::isfinite(w_.dt)) throw std::invalid_argument("dt must be positive");
  if (!(w_.band.fmin > 0 && w_.band.fmin < w_.band.fmax && std::isfinite(w_.band.fmax))) {
    throw std::invalid_argument("the band needs 0 < fmin < fmax");
  }
  if (!(w_.hv >= 0) || !(w_.love_fraction >= 0 && w_.love_fraction <= 1) || !(w_.noise >= 0) || !std::isfinite(w_.hv) ||
      !std::isfinite(w_.noise) || w_.waves < 1) {
    throw std::invalid_argument("wavefield parameter out of range");
  }
  df_ = 1 / (static_cast<double>(w_.samples) * w_.dt);

  // Bins strictly inside (fmin, fmax), never the zero or Nyquist bin,
  // whose weights are 0 anyway.
  first_bin_ = static_cast<long>(std::floor(w_.band.fmin / df_)) + 1;
  last_bin_ = std::min(static_cast<long>(std::ceil(w_.band.fmax / df_)) - 1, (w_.samples - 1) / 2);
  double total = 0;
  for (long k = first_bin_; k <= last_bin_; ++k) total += w_.band.Weight(frequency(k));
  if (!(total > 0)) {
    throw std::invalid_argument("the band holds no frequency bin of the record (bins are " + textio::Shortest(df_) +
                                " Hz apart)");
  }
  // The variance of x_j is the sum over k = 1..n/2-1 of 2 E|X_k|^2.
  scale2_ = 1 / (2 * total);

  // FFTW_ESTIMATE picks the algorithm from the length alone, so the same
  // input always gives the same bits. The planning buffer is only looked
  // at, never written; every record is transformed with fftw_execute_dft_c2r
  // on its own buffers, which fftw_alloc_real aligns alike.
  const int n = static_cast<int>(w_.samples);
  double* probe = fftw_alloc_real(static_cast<size_t>(BufferDoubles(w_.samples)));
  if (probe == nullptr) throw std::bad_alloc();
  plan_ = fftw_plan_dft_c2r_1d(n, reinterpret_cast<fftw_complex*>(probe), probe, FFTW_ESTIMATE);
  fftw_free(probe);
  if (plan_ == nullptr) throw std::runtime_error("FFTW could not plan the inverse transform");
}

Synthesizer::~Synthesizer() { fftw_destroy_plan(static_cast<fftw_plan>(plan_)); }

double Synthesizer::signal_power(long bin) const {
  if (bin < first_bin_ || bin > last_bin_) return 0;
  return scale2_ * w_.band.Weight(frequency(bin));
}

void Synthesizer::Spectra(const Site& site, StationRecord* record) const {
  if (record->samples() != w_.samples) throw std::invalid_argument("record length differs from the wavefield's");
  const double x = site.x;
  const double y = site.y;
  const double h_rayleigh = w_.hv * std::sqrt(1 - w_.love_fraction);
  const double h_love = w_.hv * std::sqrt(w_.love_fraction);
  const uint64_t station_key = HashName(site.name);
  const double inv_waves = 1 / static_cast<double>(w_.waves);

  std::span<std::complex<double>> spectra[kChannels];
  for (int c = 0; c < kChannels; ++c) {
    spectra[c] = record->spectrum(c);
    std::memset(static_cast<void*>(spectra[c].data()), 0, spectra[c].size_bytes());
  }
  std::vector<PlaneWave> waves(static_cast<size_t>(w_.waves));

  for (long k = first_bin_; k <= last_bin_; ++k) {
    const double f = frequency(k);
    const double power = scale2_ * w_.band.Weight(f);
    if (power == 0) continue;
    const double a = std::sqrt(power * inv_waves);  // amplitude of each wave

    // Rayleigh: vertical sum z, and its radial projections on east and north.
    const double k_rayleigh = kTwoPi * f / w_.rayleigh.Velocity(f);
    DrawWaves(w_.seed, WaveType::kRayleigh, k, w_.waves, waves.data());
    double zr = 0, zi = 0, er = 0, ei = 0, nr = 0, ni = 0;
    for (const PlaneWave& p : waves) {
      const double phase = p.phase - k_rayleigh * (x * p.cos_az + y * p.sin_az);
      const auto [s, c] = SinCos(phase);
      zr += c;
      zi += s;
      er += c * p.cos_az;
      ei += s * p.cos_az;
      nr += c * p.sin_az;
      ni += s * p.sin_az;
    }
    // Radial motion = i * hR * vertical: i (re + i im) = -im + i re.
    const double ah = a * h_rayleigh;
    std::complex<double> u(a * zr, a * zi);
    std::complex<double> e(-ah * ei, ah * er);
    std::complex<double> n(-ah * ni, ah * nr);

    if (h_love > 0) {
      const double k_love = kTwoPi * f / w_.love.Velocity(f);
      DrawWaves(w_.seed, WaveType::kLove, k, w_.waves, waves.data());
      double tr_e = 0, ti_e = 0, tr_n = 0, ti_n = 0;
      for (const PlaneWave& p : waves) {
        const double phase = p.phase - k_love * (x * p.cos_az + y * p.sin_az);
        const auto [s, c] = SinCos(phase);
        tr_e -= c * p.sin_az;  // transverse direction (-sin beta, cos beta)
        ti_e -= s * p.sin_az;
        tr_n += c * p.cos_az;
        ti_n += s * p.cos_az;
      }
      const double al = a * h_love;
      e += std::complex<double>(al * tr_e, al * ti_e);
      n += std::complex<double>(al * tr_n, al * ti_n);
    }

    if (w_.noise > 0) {
      // E|N|^2 = noise * channel power: real and imaginary parts each
      // carry half of it.
      const double sd_vertical = std::sqrt(w_.noise * power / 2);
      const double sd_horizontal = sd_vertical * w_.hv / std::numbers::sqrt2;
      std::complex<double>* values[kChannels] = {&u, &e, &n};
      for (int c = 0; c < kChannels; ++c) {
        CounterRng rng{w_.seed, kNoiseStream, station_key, static_cast<uint64_t>(c), static_cast<uint64_t>(k)};
        const auto [g1, g2] = rng.GaussianPair();
        const double sd = c == kVertical ? sd_vertical : sd_horizontal;
        *values[c] += std::complex<double>(sd * g1, sd * g2);
      }
    }
    if (site.clock_offset != 0) {
      // Sampled tau later: u(t + tau) has the spectrum U(f) exp(2 pi i f tau).
      const std::complex<double> shift = std::polar(1.0, kTwoPi * f * site.clock_offset);
      u *= shift;
      e *= shift;
      n *= shift;
    }
    spectra[kVertical][static_cast<size_t>(k)] = u;
    spectra[kEast][static_cast<size_t>(k)] = e;
    spectra[kNorth][static_cast<size_t>(k)] = n;
  }
}

void Synthesizer::ToSeries(StationRecord* record) const {
  if (record->samples() != w_.samples) throw std::invalid_argument("record length differs from the wavefield's");
  for (int c = 0; c < kChannels; ++c) {
    double* d = record->data(c);
    fftw_execute_dft_c2r(static_cast<fftw_plan>(plan_), reinterpret_cast<fftw_complex*>(d), d);
  }
}

}  // namespace circsim
