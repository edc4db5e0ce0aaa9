#include "array_spectra/segmenter.h"

#include <cmath>
#include <cstring>

#include "textio/errors.h"
#include "textio/format.h"

namespace circspec {

namespace {

constexpr double kRateTolerance = 1e-6;  // relative, on the mean step

}  // namespace

void CheckCommonStart(const Sources& sources) {
  const SampleSource& first = *sources.front();
  const double dt = first.first_step();
  for (size_t i = 1; i < sources.size(); ++i) {
    const SampleSource& s = *sources[i];
    if (!(std::fabs(s.start_time() - first.start_time()) <= 0.5 * dt)) {
      throw textio::InputError("records start at different times: " + first.name() + " at " +
                               textio::Shortest(first.start_time()) + " s, " + s.name() + " at " +
                               textio::Shortest(s.start_time()) + " s (more than half a sampling interval apart)");
    }
    if (!(std::fabs(s.first_step() - dt) <= 0.01 * dt)) {
      throw textio::InputError("records have different sampling intervals: " + first.name() + " " +
                               textio::Shortest(dt) + " s, " + s.name() + " " + textio::Shortest(s.first_step()) +
                               " s (from their first two times)");
    }
  }
}

void CheckCommonRate(const Sources& sources) {
  auto mean_step = [](const SampleSource& s) {
    return (s.last_time() - s.start_time()) / static_cast<double>(s.samples_read() - 1);
  };
  const SampleSource& first = *sources.front();
  if (first.samples_read() < 2) return;
  const double reference = mean_step(first);
  for (size_t i = 1; i < sources.size(); ++i) {
    const SampleSource& s = *sources[i];
    if (s.samples_read() < 2) continue;
    const double step = mean_step(s);
    if (!(std::fabs(step - reference) <= kRateTolerance * reference)) {
      throw textio::InputError("records have different sampling intervals: the mean time step is " +
                               textio::Shortest(reference) + " s in " + first.name() + " but " +
                               textio::Shortest(step) + " s in " + s.name() + " (relative difference " +
                               textio::Shortest(std::fabs(step - reference) / reference) + ", more than 1e-6)");
    }
  }
}

Segmenter::Segmenter(Sources* sources, size_t length, size_t step)
    : sources_(sources), length_(length), step_(step), windows_(sources->size(), std::vector<double>(length)) {}

bool Segmenter::Next() {
  const bool first = count_ == 0;
  const size_t fresh = first ? length_ : step_;
  const size_t kept = length_ - fresh;
  for (size_t s = 0; s < windows_.size(); ++s) {
    double* w = windows_[s].data();
    if (kept > 0) std::memmove(w, w + fresh, kept * sizeof(double));
    if ((*sources_)[s]->Read(w + kept, fresh) < fresh) return false;
  }
  ++count_;
  return true;
}

}  // namespace circspec
