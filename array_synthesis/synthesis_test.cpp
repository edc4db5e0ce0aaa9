#include "array_synthesis/synthesis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace circsim {
namespace {

using Complex = std::complex<double>;
constexpr double kPi = std::numbers::pi;

// A short record: 200 s at 100 Hz, about 7900 bins in the default band;
// the waves and the noise as `w` has them.
Wavefield ShortField(Wavefield w = {}) {
  w.samples = 20000;
  w.dt = 0.01;
  w.band = Band{0.5, 40};
  return w;
}

std::vector<Complex> Copy(std::span<const Complex> s) { return {s.begin(), s.end()}; }

struct Spectra {
  std::vector<Complex> channel[kChannels];
};

// A station at `azimuth_deg` (counterclockwise from east) and `radius`.
Site PolarSite(std::string name, double azimuth_deg, double radius) {
  const double theta = azimuth_deg * kPi / 180;
  return {std::move(name), radius * std::cos(theta), radius * std::sin(theta)};
}

Spectra SpectraOf(const Synthesizer& synth, const Site& site) {
  StationRecord record(synth.wavefield().samples);
  synth.Spectra(site, &record);
  Spectra s;
  for (int c = 0; c < kChannels; ++c) s.channel[c] = Copy(record.spectrum(c));
  return s;
}

// Mean and standard error of a per-bin statistic over consecutive groups
// of the signal bins: the per-bin values are independent (every bin has its
// own random waves), so the sample standard deviation over the group's
// bins, divided by sqrt(count), is the error of the group mean.
struct GroupMean {
  double first_f = 0, last_f = 0, mean = 0, se = 0;
};

std::vector<GroupMean> GroupMeans(const Synthesizer& synth, int groups, const std::function<double(long)>& value) {
  std::vector<GroupMean> out;
  const long first = synth.first_bin(), count = synth.last_bin() - first + 1;
  for (int g = 0; g < groups; ++g) {
    const long a = first + count * g / groups, b = first + count * (g + 1) / groups;
    double s = 0, s2 = 0;
    for (long k = a; k < b; ++k) {
      const double v = value(k);
      s += v;
      s2 += v * v;
    }
    const double m = static_cast<double>(b - a);
    const double mean = s / m;
    out.push_back({synth.frequency(a), synth.frequency(b - 1), mean, std::sqrt((s2 / m - mean * mean) / (m - 1))});
  }
  return out;
}

// Largest |group mean - expected| in standard errors.
double WorstDeviation(const std::vector<GroupMean>& groups, double expected = 0) {
  double worst = 0;
  for (const GroupMean& g : groups) worst = std::max(worst, std::fabs(g.mean - expected) / g.se);
  return worst;
}

double Distance(const Site& a, const Site& b) { return std::hypot(a.x - b.x, a.y - b.y); }

TEST(Synthesis, VerticalCrossSpectrumIsJ0OfWavenumberTimesDistance) {
  // Waves from uniformly random azimuths: E[U_a conj(U_b)] = P J0(k d) for
  // any two stations d apart, with k from the Rayleigh curve.
  Wavefield w = ShortField();
  w.samples = 40000;  // 400 s: about 15800 bins
  const Synthesizer synth(w);
  const Site sites[] = {PolarSite("C", 0, 0), PolarSite("S1", 0, 10), PolarSite("S2", 72, 10),
                        PolarSite("S3", 200, 20)};
  Spectra s[4];
  for (int i = 0; i < 4; ++i) s[i] = SpectraOf(synth, sites[i]);
  const DispersionCurve true_curve;
  const DispersionCurve wrong_curve = true_curve.Scaled(0.9);
  const std::pair<int, int> pairs[] = {{0, 1}, {0, 3}, {1, 2}, {2, 3}};
  for (const auto& [a, b] : pairs) {
    const double d = Distance(sites[a], sites[b]);
    auto residual = [&](const DispersionCurve& curve) {
      return [&, curve](long k) {
        const double f = synth.frequency(k);
        const Complex cross = s[a].channel[kVertical][k] * std::conj(s[b].channel[kVertical][k]);
        return cross.real() / synth.signal_power(k) - std::cyl_bessel_j(0.0, 2 * kPi * f / curve.Velocity(f) * d);
      };
    };
    const auto groups = GroupMeans(synth, 10, residual(true_curve));
    for (const GroupMean& g : groups) EXPECT_LT(g.se, 0.05) << "too few bins to test anything";
    EXPECT_LT(WorstDeviation(groups), 4) << "pair " << a << "-" << b << ", d = " << d;
    // The imaginary part averages to 0: azimuths are symmetric.
    const auto imag = GroupMeans(synth, 10, [&](long k) {
      return (s[a].channel[kVertical][k] * std::conj(s[b].channel[kVertical][k])).imag() / synth.signal_power(k);
    });
    EXPECT_LT(WorstDeviation(imag), 4) << "pair " << a << "-" << b;
    // The test tells a 10 % slower curve apart.
    EXPECT_GT(WorstDeviation(GroupMeans(synth, 10, residual(wrong_curve))), 6) << "pair " << a << "-" << b;
  }
}

TEST(Synthesis, VerticalPowerFollowsTheTaperAndHasUnitVariance) {
  const Synthesizer synth(ShortField());
  StationRecord record(synth.wavefield().samples);
  synth.Spectra(PolarSite("S1", 30, 10), &record);
  const std::vector<Complex> u = Copy(record.spectrum(kVertical));

  // Outside the signal bins, and where the taper is 0, nothing.
  for (long k = 0; k < static_cast<long>(u.size()); ++k) {
    if (synth.signal_power(k) == 0) {
      ASSERT_EQ(u[k], Complex(0, 0)) << "bin " << k;
    }
  }
  EXPECT_GT(synth.first_bin(), 0);
  EXPECT_LT(synth.last_bin(), synth.wavefield().samples / 2);
  EXPECT_DOUBLE_EQ(
      synth.signal_power(synth.first_bin()) / synth.signal_power((synth.first_bin() + synth.last_bin()) / 2),
      synth.wavefield().band.Weight(synth.frequency(synth.first_bin())));
  // |U_k|^2 / P_k averages to 1 everywhere, tapers included.
  const auto groups = GroupMeans(synth, 20, [&](long k) { return std::norm(u[k]) / synth.signal_power(k); });
  EXPECT_LT(WorstDeviation(groups, 1), 4);

  // The series: the inverse transform x_j = X_0 + 2 Re sum_k X_k e^(2 pi i jk/n).
  synth.ToSeries(&record);
  const std::span<const double> x = record.series(kVertical);
  const long n = record.samples();
  for (long j : {0L, 1L, 777L, n / 2, n - 1}) {
    Complex sum = 0;
    for (long k = 1; k < static_cast<long>(u.size()); ++k)
      sum += u[k] * std::polar(1.0, 2 * kPi * static_cast<double>((j * k) % n) / static_cast<double>(n));
    EXPECT_NEAR(x[j], 2 * sum.real(), 1e-9) << "sample " << j;
  }
  // Expected variance 1: var = sum 2|X_k|^2 with E = 2 sum P_k = 1 and
  // standard error 2 sqrt(sum P_k^2).
  double var = 0, sum_p2 = 0;
  for (double v : x) var += v * v;
  var /= static_cast<double>(n);
  for (long k = synth.first_bin(); k <= synth.last_bin(); ++k) sum_p2 += std::pow(synth.signal_power(k), 2);
  EXPECT_NEAR(var, 1, 4 * 2 * std::sqrt(sum_p2));
}

TEST(Synthesis, NoiseHasRatioEpsOnEveryChannelAndIsIndependent) {
  // The waves do not depend on the noise level: the difference of two
  // fields that differ only in it is the noise alone.
  Wavefield w = ShortField({.hv = 0.8, .love_fraction = 0.25});
  const Synthesizer quiet(w);
  w.noise = 0.1;
  const Synthesizer noisy(w);
  const Site sites[] = {PolarSite("C", 0, 0), PolarSite("S1", 0, 10)};
  std::vector<Complex> noise[2][kChannels];
  Spectra with_noise[2];
  for (int i = 0; i < 2; ++i) {
    const Spectra a = SpectraOf(quiet, sites[i]);
    with_noise[i] = SpectraOf(noisy, sites[i]);
    for (int c = 0; c < kChannels; ++c) {
      for (size_t k = 0; k < a.channel[c].size(); ++k)
        noise[i][c].push_back(with_noise[i].channel[c][k] - a.channel[c][k]);
    }
  }
  const double channel_power[kChannels] = {1, w.hv * w.hv / 2, w.hv * w.hv / 2};
  for (int i = 0; i < 2; ++i) {
    for (int c = 0; c < kChannels; ++c) {
      const auto ratio = GroupMeans(
          noisy, 10, [&](long k) { return std::norm(noise[i][c][k]) / (noisy.signal_power(k) * channel_power[c]); });
      EXPECT_LT(WorstDeviation(ratio, 0.1), 4) << "station " << i << " channel " << c;
    }
    // The record's vertical power is signal plus noise: P (1 + eps).
    const auto total = GroupMeans(
        noisy, 10, [&](long k) { return std::norm(with_noise[i].channel[kVertical][k]) / noisy.signal_power(k); });
    EXPECT_LT(WorstDeviation(total, 1.1), 4) << "station " << i;
  }
  // Normalised cross-products of different noise channels average to 0.
  const std::pair<int, int> channel_pairs[][2] = {{{0, kVertical}, {1, kVertical}},
                                                  {{0, kEast}, {1, kEast}},
                                                  {{0, kVertical}, {0, kEast}},
                                                  {{1, kEast}, {1, kNorth}}};
  for (const auto& pair : channel_pairs) {
    const auto [ia, ca] = pair[0];
    const auto [ib, cb] = pair[1];
    for (int part = 0; part < 2; ++part) {
      const auto cross = GroupMeans(noisy, 10, [&](long k) {
        const Complex x = noise[ia][ca][k] * std::conj(noise[ib][cb][k]) /
                          (noisy.signal_power(k) * std::sqrt(channel_power[ca] * channel_power[cb]) * 0.1);
        return part == 0 ? x.real() : x.imag();
      });
      EXPECT_LT(WorstDeviation(cross), 4) << ia << "/" << ca << " with " << ib << "/" << cb;
    }
  }
}

TEST(Synthesis, NoiseIsKeyedOnTheStationName) {
  Wavefield w = ShortField({.noise = 0.5});
  const Synthesizer synth(w);
  w.noise = 0;
  const Synthesizer quiet(w);
  auto noise_of = [&](const Site& site) {
    const Spectra a = SpectraOf(synth, site), b = SpectraOf(quiet, site);
    std::vector<Complex> n;
    for (size_t k = 0; k < a.channel[kVertical].size(); ++k)
      n.push_back(a.channel[kVertical][k] - b.channel[kVertical][k]);
    return n;
  };
  const auto a = noise_of({"S1", 0, 10});
  const auto moved = noise_of({"S1", 123, 4});
  const auto renamed = noise_of({"S2", 0, 10});
  for (long k = synth.first_bin(); k <= synth.last_bin(); ++k) ASSERT_NEAR(std::abs(a[k] - moved[k]), 0, 1e-12);
  long same = 0;
  for (long k = synth.first_bin(); k <= synth.last_bin(); ++k) same += a[k] == renamed[k];
  EXPECT_EQ(same, 0);
}

// With one wave per type and bin, every bin's channels follow from the
// drawn waves exactly: this pins the conventions (propagation toward the
// azimuth, the curves, the quarter-period shift, the radial and transverse
// directions and the split of horizontal power).
TEST(Synthesis, OneWaveHorizontalMotionFollowsTheConventions) {
  for (const double love_fraction : {0.0, 0.3, 1.0}) {
    const Wavefield w = ShortField({.rayleigh = DispersionCurve(curve::Curve{"r", {{1, 800}, {20, 200}}}),
                                    .love = DispersionCurve(curve::Curve{"l", {{1, 500}, {10, 150}}}),
                                    .hv = 0.7,
                                    .love_fraction = love_fraction,
                                    .waves = 1,
                                    .seed = 5});
    const Synthesizer synth(w);
    for (const Site& site : {PolarSite("C", 0, 0), PolarSite("S", 30, 10), PolarSite("T", -100, 37.5)}) {
      const Spectra s = SpectraOf(synth, site);
      const double x = site.x, y = site.y;
      const double hr = w.hv * std::sqrt(1 - love_fraction), hl = w.hv * std::sqrt(love_fraction);
      double worst = 0;
      for (long k = synth.first_bin(); k <= synth.last_bin(); ++k) {
        const double f = synth.frequency(k);
        const double a = std::sqrt(synth.signal_power(k));
        PlaneWave r, l;
        DrawWaves(w.seed, WaveType::kRayleigh, k, 1, &r);
        DrawWaves(w.seed, WaveType::kLove, k, 1, &l);
        // Seen at (x, y): delayed by k (x cos alpha + y sin alpha).
        const Complex z =
            a * std::polar(1.0, r.phase - 2 * kPi * f / w.rayleigh.Velocity(f) * (x * r.cos_az + y * r.sin_az));
        const Complex t =
            a * std::polar(1.0, l.phase - 2 * kPi * f / w.love.Velocity(f) * (x * l.cos_az + y * l.sin_az));
        const Complex i(0, 1);
        const Complex e = i * hr * r.cos_az * z - hl * l.sin_az * t;
        const Complex n = i * hr * r.sin_az * z + hl * l.cos_az * t;
        worst = std::max({worst, std::abs(s.channel[kVertical][k] - z) / a, std::abs(s.channel[kEast][k] - e) / a,
                          std::abs(s.channel[kNorth][k] - n) / a});
      }
      EXPECT_LT(worst, 1e-11) << "A = " << love_fraction << ", station " << site.name;
    }
  }
}

TEST(Synthesis, HorizontalPowerIsHvSquaredAndIsotropic) {
  const Synthesizer synth(ShortField({.hv = 0.6, .love_fraction = 0.4}));
  const Spectra s = SpectraOf(synth, {"S", 50, 15});
  auto ratio = [&](int c) {
    return GroupMeans(synth, 10, [&, c](long k) { return std::norm(s.channel[c][k]) / synth.signal_power(k); });
  };
  const auto total = GroupMeans(synth, 10, [&](long k) {
    return (std::norm(s.channel[kEast][k]) + std::norm(s.channel[kNorth][k])) / synth.signal_power(k);
  });
  EXPECT_LT(WorstDeviation(total, 0.36), 4);
  EXPECT_LT(WorstDeviation(ratio(kEast), 0.18), 4);
  EXPECT_LT(WorstDeviation(ratio(kNorth), 0.18), 4);
}

TEST(Synthesis, SameSeedSameBitsWhateverWasMadeBefore) {
  Wavefield w = ShortField({.love_fraction = 0.5, .noise = 0.01});
  const Synthesizer first(w), second(w);
  const Site target = PolarSite("S2", 72, 10);
  StationRecord alone(w.samples), after_others(w.samples);
  first.Synthesize(target, &alone);
  second.Synthesize({"S1", 0, 10}, &after_others);
  second.Synthesize({"C", 0, 0}, &after_others);
  second.Synthesize(target, &after_others);
  for (int c = 0; c < kChannels; ++c) {
    EXPECT_EQ(std::memcmp(alone.series(c).data(), after_others.series(c).data(), alone.series(c).size_bytes()), 0)
        << "channel " << c;
  }
  w.seed = 2;
  const Synthesizer other(w);
  StationRecord reseeded(w.samples);
  other.Synthesize(target, &reseeded);
  EXPECT_NE(std::memcmp(alone.series(0).data(), reseeded.series(0).data(), alone.series(0).size_bytes()), 0);
}

TEST(Synthesis, RejectsParametersOutOfRange) {
  const std::vector<std::function<void(Wavefield&)>> bad = {
      [](Wavefield& w) { w.samples = 3; },
      [](Wavefield& w) { w.dt = 0; },
      [](Wavefield& w) {
        w.band = Band{0, 10};
      },
      [](Wavefield& w) {
        w.band = Band{10, 10};
      },
      [](Wavefield& w) {
        w.band = Band{10.001, 10.002};
      },  // between two bins 0.005 Hz apart
      [](Wavefield& w) {
        w.band = Band{60, 70};
      },  // above the Nyquist frequency
      [](Wavefield& w) { w.hv = -1; },
      [](Wavefield& w) { w.love_fraction = 1.5; },
      [](Wavefield& w) { w.noise = -0.1; },
      [](Wavefield& w) { w.waves = 0; },
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    Wavefield w = ShortField();
    bad[i](w);
    EXPECT_THROW(Synthesizer{w}, std::invalid_argument) << "case " << i;
  }
  const Synthesizer synth(ShortField());
  StationRecord wrong(100);
  EXPECT_THROW(synth.Spectra({"S", 0, 1}, &wrong), std::invalid_argument);
}

}  // namespace
}  // namespace circsim
