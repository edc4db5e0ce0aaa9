#ifndef CIRCARRAY_ARRAY_SYNTHESIS_SYNTHESIS_H_
#define CIRCARRAY_ARRAY_SYNTHESIS_SYNTHESIS_H_

#include <complex>
#include <cstdint>
#include <span>
#include <string>

#include "array_synthesis/band.h"
#include "array_synthesis/dispersion.h"

namespace circsim {

// A synthetic wavefield over a circular array, made exactly in the
// frequency domain. Conventions:
//  - positions: x east, y north, metres; a station at azimuth theta
//    (counterclockwise from east) and radius r stands at
//    (r cos theta, r sin theta);
//  - a series x_j (j = 0..n-1) and its spectrum X_k (k = 0..n/2) are
//    related by x_j = sum over all k of X_k e^(+2 pi i j k / n), with
//    X_(n-k) = conj(X_k) (FFTW's unnormalised inverse real transform);
//    bin k is the frequency f_k = k / (n dt);
//  - a plane wave propagating toward azimuth alpha (arriving from
//    alpha + 180 degrees) with wavenumber k = 2 pi f / c(f) and phase phi
//    is seen at (x, y) as exp(i (phi - k (x cos alpha + y sin alpha))),
//    i.e. delayed by k r cos(theta - alpha);
//  - vertical u (up) carries the Rayleigh waves. Their horizontal motion
//    is radial, along (cos alpha, sin alpha), with the spectrum i * hR
//    times the vertical one: a quarter period ahead, so the particle
//    moves backwards at the top of its ellipse (retrograde);
//  - Love waves are a wave set of their own (own azimuths beta, phases,
//    curve), moving transversely along (-sin beta, cos beta), 90 degrees
//    counterclockwise from the direction of propagation;
//  - e = x (east), n = y (north).
// Amplitudes: the total horizontal power is hv^2 times the vertical power
// and Love waves carry the share love_fraction of it:
//   hR = hv * sqrt(1 - love_fraction),  hL = hv * sqrt(love_fraction),
// so with love_fraction = 0 the Rayleigh H/V amplitude ratio is hv.
// Normalisation: at bin k every one of the W waves has the amplitude
// s * sqrt(P(f_k) / W), P the band's power weight, so the expected power
// E|U_k|^2 = s^2 P(f_k) at every station; s is chosen so that the
// vertical signal has an expected variance of 1 over the record. Each
// channel carries an independent complex Gaussian noise with E|N_k|^2 =
// noise times that channel's expected signal power (s^2 P(f_k) on u,
// s^2 P(f_k) hv^2 / 2 on e and n), so the noise-to-signal power ratio is
// `noise` at every frequency and on every channel.
// Random numbers: the waves of bin k depend only on (seed, wave type, k);
// a station's noise only on (seed, station name, channel, k). A station
// can therefore be made alone, in any order, with identical results.
struct Wavefield {
  long samples = 0;  // record length n, >= 4
  double dt = 0.01;  // sampling interval, s
  Band band{};       // 0 < fmin < fmax
  DispersionCurve rayleigh{};
  DispersionCurve love = DispersionCurve().Scaled(0.9);
  double hv = 0.7;           // >= 0
  double love_fraction = 0;  // in [0, 1]
  double noise = 0;          // >= 0
  int waves = 64;            // >= 1
  uint64_t seed = 1;
};

// Where a station stands, what keys its noise, and when its digitiser
// samples: sample j is taken at the grid time j dt plus `clock_offset`
// seconds (a digitiser whose samples sit off the whole-second grid).
struct Site {
  std::string name;
  double x = 0, y = 0;  // metres east and north
  double clock_offset = 0;
};

enum Channel { kVertical = 0, kEast = 1, kNorth = 2 };
inline constexpr int kChannels = 3;

enum class WaveType : uint64_t { kRayleigh = 1, kLove = 2 };

// One random plane wave of a frequency bin.
struct PlaneWave {
  double cos_az = 1, sin_az = 0;  // direction of propagation
  double phase = 0;               // radians, at the array centre
};

// The `count` waves of one type at bin k: azimuths and phases uniform in
// [0, 2 pi), drawn in that order, wave by wave, from the counter-based
// generator keyed on (seed, type, k).
void DrawWaves(uint64_t seed, WaveType type, long bin, int count, PlaneWave* out);

// The three channels of one station, stored so that each channel's
// spectrum (n/2 + 1 complex values) and its series (n reals) share one
// buffer: the inverse transform runs in place. 24 bytes per sample.
class StationRecord {
 public:
  explicit StationRecord(long samples);
  ~StationRecord();
  StationRecord(const StationRecord&) = delete;
  StationRecord& operator=(const StationRecord&) = delete;

  long samples() const { return samples_; }
  std::span<std::complex<double>> spectrum(int channel);
  std::span<const std::complex<double>> spectrum(int channel) const;
  std::span<const double> series(int channel) const;
  double* data(int channel) { return data_[channel]; }

 private:
  long samples_;
  double* data_[kChannels];
};

class Synthesizer {
 public:
  // Plans the inverse transform of length wavefield.samples once. Throws
  // std::invalid_argument for parameters outside their ranges above, or
  // a band holding no frequency bin of the record.
  explicit Synthesizer(const Wavefield& wavefield);
  ~Synthesizer();
  Synthesizer(const Synthesizer&) = delete;
  Synthesizer& operator=(const Synthesizer&) = delete;

  const Wavefield& wavefield() const { return w_; }
  double frequency(long bin) const { return static_cast<double>(bin) * df_; }
  // Expected vertical signal power at a bin, s^2 P(f_k).
  double signal_power(long bin) const;
  // Bins that carry signal lie in [first_bin, last_bin], 0 < k < n/2.
  long first_bin() const { return first_bin_; }
  long last_bin() const { return last_bin_; }

  // Fills the three spectra of `site` (all other bins zero).
  void Spectra(const Site& site, StationRecord* record) const;
  // Turns the spectra into series, in place.
  void ToSeries(StationRecord* record) const;
  // Both.
  void Synthesize(const Site& site, StationRecord* record) const {
    Spectra(site, record);
    ToSeries(record);
  }

 private:
  Wavefield w_;
  double df_ = 0;
  long first_bin_ = 0, last_bin_ = -1;
  double scale2_ = 0;     // s^2
  void* plan_ = nullptr;  // fftw_plan
};

}  // namespace circsim

#endif  // CIRCARRAY_ARRAY_SYNTHESIS_SYNTHESIS_H_
