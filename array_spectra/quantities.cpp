#include "array_spectra/quantities.h"

#include <cmath>
#include <limits>

namespace circspec {

namespace {

struct Entry {
  Quantity q;
  std::string_view name;
  bool in_table = true;
};
constexpr Entry kEntries[] = {
    {Quantity::kSpac, "spac"},     {Quantity::kCoh, "coh"},        {Quantity::kCca, "cca"},
    {Quantity::kJ0sq, "j0sq"},     {Quantity::kJ1sq, "j1sq"},      {Quantity::kJ0J1sq, "j0j1sq"},
    {Quantity::kRingsq, "ringsq"}, {Quantity::kRing, "ring"},      {Quantity::kSpacR, "spac_r"},
    {Quantity::kSpacT, "spac_t"},  {Quantity::kSpacTR, "spac_tr"}, {Quantity::kSpacRT, "spac_rt", false},
};

bool NeedsCentre(Quantity q) { return q != Quantity::kCca && q != Quantity::kRingsq && q != Quantity::kRing; }
bool NeedsTwoRings(Quantity q) { return q == Quantity::kRingsq || q == Quantity::kRing; }
bool IsHorizontal(Quantity q) {
  return q == Quantity::kSpacR || q == Quantity::kSpacT || q == Quantity::kSpacTR || q == Quantity::kSpacRT;
}

// (1/N) sum_j Re S_cj / sqrt(S_cc,j S_jj): the SPAC coefficient of one
// projection, the centre's power taken per station.
double ProjectedSpac(const ProjectedChannels& p, const double* s) {
  double sum = 0;
  for (size_t j = 0; j < p.cross.size(); ++j)
    sum += s[p.cross[j]] / std::sqrt(s[p.centre_power[j]] * s[p.station_power[j]]);
  return sum / static_cast<double>(p.cross.size());
}

}  // namespace

std::string_view NameOf(Quantity q) {
  for (const Entry& e : kEntries) {
    if (e.q == q) return e.name;
  }
  return "?";
}

std::optional<Quantity> QuantityNamed(std::string_view name) {
  for (const Entry& e : kEntries) {
    if (e.name == name) return e.q;
  }
  return std::nullopt;
}

std::string WhyUnavailable(Quantity q, const ChannelLayout& channels) {
  const bool horizontal = channels.component == Component::kHorizontal;
  if (IsHorizontal(q) && !horizontal) {
    return std::string(NameOf(q)) + " comes from the horizontal components (--component h)";
  }
  if (!IsHorizontal(q) && horizontal) {
    return std::string(NameOf(q)) + " comes from the vertical component (--component v)";
  }
  if (NeedsCentre(q) && !channels.has_centre) {
    return std::string(NameOf(q)) + " needs a centre station (radius 0), and the layout has none";
  }
  if (NeedsTwoRings(q) && !channels.ring_cross) {
    return std::string(NameOf(q)) + " compares two rings, and the layout has one";
  }
  return {};
}

std::vector<Quantity> AvailableQuantities(const ChannelLayout& channels) {
  std::vector<Quantity> out;
  for (const Entry& e : kEntries) {
    if (e.in_table && WhyUnavailable(e.q, channels).empty()) out.push_back(e.q);
  }
  return out;
}

double Evaluate(Quantity q, const ChannelLayout& ch, size_t ring, const double* s) {
  const RingChannels& r = ch.rings[ring];
  switch (q) {
    case Quantity::kSpac: {
      const double cc = s[ch.centre_power];
      double sum = 0;
      for (size_t j = 0; j < r.centre_cross.size(); ++j)
        sum += s[r.centre_cross[j]] / std::sqrt(cc * s[r.station_power[j]]);
      return sum / static_cast<double>(r.centre_cross.size());
    }
    case Quantity::kCoh: {
      const double re = s[r.cz0_re], im = s[r.cz0_im];
      return (re * re + im * im) / (s[ch.centre_power] * s[r.g0]);
    }
    case Quantity::kCca:
      return s[r.g0] / s[r.g1];
    case Quantity::kJ0sq:
      return s[r.g0] / s[ch.centre_power];
    case Quantity::kJ1sq:
      return s[r.g1] / s[ch.centre_power];
    case Quantity::kJ0J1sq:
      return s[r.cz0_re] / s[r.g1];
    case Quantity::kRingsq:
      return s[ch.rings[0].g1] / s[ch.rings[1].g1];
    case Quantity::kRing:
      return s[*ch.ring_cross] / s[ch.rings[1].g1];
    case Quantity::kSpacR:
      return ProjectedSpac(r.radial, s);
    case Quantity::kSpacT:
      return ProjectedSpac(r.transverse, s);
    case Quantity::kSpacTR:
      return ProjectedSpac(r.transverse, s) / ProjectedSpac(r.radial, s);
    case Quantity::kSpacRT:
      return ProjectedSpac(r.radial, s) / ProjectedSpac(r.transverse, s);
  }
  return std::numeric_limits<double>::quiet_NaN();
}

Series Estimate(Quantity q, const ChannelLayout& channels, size_t ring, const SpectralSums& sums) {
  const size_t nf = sums.frequencies.size();
  const size_t nc = sums.channels;
  const size_t groups = sums.groups.size();
  Series out;
  out.value.resize(nf);
  out.se.assign(nf, std::numeric_limits<double>::quiet_NaN());
  std::vector<double> without(nc);
  std::vector<double> theta(groups);
  for (size_t i = 0; i < nf; ++i) {
    const double* total = &sums.total[i * nc];
    out.value[i] = Evaluate(q, channels, ring, total);
    if (groups < 2) continue;
    double mean = 0;
    for (size_t g = 0; g < groups; ++g) {
      const double* part = &sums.groups[g][i * nc];
      for (size_t c = 0; c < nc; ++c) without[c] = total[c] - part[c];
      theta[g] = Evaluate(q, channels, ring, without.data());
      mean += theta[g];
    }
    mean /= static_cast<double>(groups);
    double squares = 0;
    for (double t : theta) squares += (t - mean) * (t - mean);
    const double g = static_cast<double>(groups);
    out.se[i] = std::sqrt((g - 1) / g * squares);
  }
  return out;
}

}  // namespace circspec
