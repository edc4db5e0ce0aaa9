#include "array_spectra/analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>

#include "array_spectra/group_store.h"
#include "array_spectra/segment_screen.h"
#include "array_spectra/segment_transform.h"
#include "textio/errors.h"
#include "textio/format.h"

namespace circspec {

namespace {

constexpr size_t kMinWindowSamples = 16;
// Smoothed sums of deferred segments (--reject) held at most; beyond, the
// records are read a second time with the exact decisions.
constexpr size_t kDeferredBudgetBytes = size_t{48} << 20;

// Segment length, step and output grid, fixed by the options and the
// sampling interval.
struct Plan {
  double dt = 0;
  size_t n = 0, step = 0;
  std::vector<double> grid;
};

Plan MakePlan(const SampleSource& first, const AnalysisOptions& o) {
  Plan p;
  p.dt = first.first_step();
  const double samples = std::round(o.window / p.dt);
  if (!(samples >= static_cast<double>(kMinWindowSamples)) || samples > 1e8) {
    throw textio::RuntimeError("--window " + textio::Shortest(o.window) + " s is " + textio::Shortest(samples) +
                               " samples at the sampling interval " + textio::Shortest(p.dt) + " s of " + first.name() +
                               "; a window needs 16 to 10^8 samples");
  }
  p.n = static_cast<size_t>(samples);
  p.step = std::max<size_t>(1, static_cast<size_t>(std::llround(static_cast<double>(p.n) * (1 - o.overlap))));
  p.step = std::min(p.step, p.n);
  const double window = static_cast<double>(p.n) * p.dt;
  const double nyquist = 0.5 / p.dt;
  curve::GridChoice g;
  g.fmin = o.fmin.value_or(4 / window);
  g.fmax = o.fmax.value_or(0.4 / p.dt);
  g.count = o.frequencies;
  g.kind = o.grid;
  if (!(g.fmax <= nyquist)) {
    throw textio::RuntimeError("--fmax " + textio::Shortest(g.fmax) + " Hz lies above the Nyquist frequency " +
                               textio::Shortest(nyquist) + " Hz of the records (dt " + textio::Shortest(p.dt) + " s)");
  }
  if (!(g.fmin > 0) || !(g.fmin < g.fmax || (g.count == 1 && g.fmin <= g.fmax))) {
    throw textio::RuntimeError("the output frequencies need 0 < fmin < fmax, got fmin " + textio::Shortest(g.fmin) +
                               " Hz and fmax " + textio::Shortest(g.fmax) + " Hz");
  }
  p.grid = curve::MakeGrid(g);
  return p;
}

enum class Decision { kKeep, kDefer, kDrop };

struct Deferred {
  long segment;
  std::vector<double> sums;  // smoothed, frequencies x channels
};

// One reading of the records. `decide` sees each segment's index and its
// stations' RMS values and says what becomes of it.
class Pass {
 public:
  Pass(const ArrayGeometry& geometry, const ChannelLayout& channels, const Plan& plan, const Smoother& smoother,
       GroupStore* store)
      : channels_(channels.count),
        plan_(plan),
        smoother_(smoother),
        accumulator_(geometry, channels),
        store_(store),
        active_(smoother.bins() * channels.count),
        smoothed_(plan.grid.size() * channels.count) {}

  template <typename Decide>
  long Run(Sources* sources, Decide decide, std::vector<Deferred>* deferred, const ProgressFn& progress) {
    const size_t stations = sources->size();
    std::vector<std::unique_ptr<SegmentTransform>> transforms;
    std::vector<std::vector<std::complex<double>>> spectra(stations);
    std::vector<const std::complex<double>*> views(stations);
    for (size_t s = 0; s < stations; ++s) {
      transforms.push_back(std::make_unique<SegmentTransform>(plan_.n));
      spectra[s].resize(plan_.n / 2 + 1);
      views[s] = spectra[s].data();
    }
    std::vector<double> rms(stations);
    std::vector<double> single(smoother_.bins() * channels_);

    Segmenter segmenter(sources, plan_.n, plan_.step);
    long index = 0;
    for (; segmenter.Next(); ++index) {
      for (size_t s = 0; s < stations; ++s) rms[s] = transforms[s]->Detrend(segmenter.window(s));
      const Decision d = decide(index, rms.data());
      if (d != Decision::kDrop) {
        for (size_t s = 0; s < stations; ++s) transforms[s]->Transform(spectra[s].data());
        if (d == Decision::kKeep) {
          KeepInGroup(index, views);
        } else {
          std::fill(single.begin(), single.end(), 0.0);
          accumulator_.Add(views, smoother_.first_bin(), smoother_.bins(), single.data());
          Deferred item{index, std::vector<double>(smoothed_.size())};
          smoother_.Apply(single.data(), channels_, item.sums.data());
          deferred->push_back(std::move(item));
        }
      }
      if (progress) {
        progress(index + 1, static_cast<double>(static_cast<size_t>(index) * plan_.step + plan_.n) * plan_.dt);
      }
    }
    CloseGroup();
    return index;
  }

 private:
  void KeepInGroup(long index, const std::vector<const std::complex<double>*>& views) {
    if (active_count_ > 0 && store_->GroupOf(index) != store_->GroupOf(active_first_)) CloseGroup();
    if (active_count_ == 0) active_first_ = index;
    accumulator_.Add(views, smoother_.first_bin(), smoother_.bins(), active_.data());
    ++active_count_;
  }

  void CloseGroup() {
    if (active_count_ == 0) return;
    smoother_.Apply(active_.data(), channels_, smoothed_.data());
    store_->Add(active_first_, smoothed_.data(), active_count_);
    std::fill(active_.begin(), active_.end(), 0.0);
    active_count_ = 0;
  }

  size_t channels_;
  const Plan& plan_;
  const Smoother& smoother_;
  SegmentAccumulator accumulator_;
  GroupStore* store_;
  std::vector<double> active_;  // raw per-bin sums of the open group
  long active_first_ = 0, active_count_ = 0;
  std::vector<double> smoothed_;  // scratch
};

Sources OpenChecked(const SourceOpener& open) {
  Sources sources = open();
  if (sources.empty()) throw textio::RuntimeError("no station records");
  CheckCommonStart(sources);
  return sources;
}

}  // namespace

SpectralSums Analyse(const ArrayGeometry& geometry, const SourceOpener& open, const AnalysisOptions& options,
                     const ProgressFn& progress) {
  Sources sources = OpenChecked(open);
  const Plan plan = MakePlan(*sources.front(), options);
  const ChannelLayout channels(geometry, options.component);
  if (channels.count == 0) throw textio::RuntimeError("the horizontal components need a centre station (radius 0)");
  if (sources.size() != geometry.x.size() * SourcesPerStation(options.component)) {
    throw textio::RuntimeError(std::to_string(sources.size()) + " records for " + std::to_string(geometry.x.size()) +
                               " stations");
  }
  const Smoother smoother = MakeSmoother(options.smoothing, plan.grid, plan.n, plan.dt);
  const size_t values = plan.grid.size() * channels.count;

  auto store = std::make_unique<GroupStore>(values, options.max_groups);
  long segments = 0;
  long dropped = 0;
  bool read_twice = false;
  if (!(options.reject > 0)) {
    segments = Pass(geometry, channels, plan, smoother, store.get())
                   .Run(
                       &sources, [](long, const double*) { return Decision::kKeep; }, nullptr, progress);
    CheckCommonRate(sources);
  } else {
    // Provisional decisions while reading; see SegmentScreen.
    SegmentScreen screen(sources.size(), options.reject);
    std::vector<Deferred> deferred;
    std::vector<bool> kept_outright;
    const size_t max_deferred = std::max<size_t>(1, kDeferredBudgetBytes / (values * sizeof(double)));
    bool overflow = false;
    auto decide = [&](long, const double* rms) {
      const bool keep = screen.Record(rms) == SegmentScreen::Verdict::kKeep;
      kept_outright.push_back(keep && !overflow);
      if (overflow) return Decision::kDrop;  // a second reading follows; only the RMS values matter
      if (keep) return Decision::kKeep;
      if (deferred.size() < max_deferred) return Decision::kDefer;
      overflow = true;
      deferred.clear();
      deferred.shrink_to_fit();
      kept_outright.back() = false;
      return Decision::kDrop;
    };
    segments = Pass(geometry, channels, plan, smoother, store.get()).Run(&sources, decide, &deferred, progress);
    CheckCommonRate(sources);
    screen.Finish();
    dropped = screen.rejected_count();
    bool wrong_guess = overflow;
    for (long s = 0; s < segments && !wrong_guess; ++s)
      wrong_guess = kept_outright[static_cast<size_t>(s)] && screen.Rejected(s);
    if (!wrong_guess) {
      for (const Deferred& d : deferred) {
        if (!screen.Rejected(d.segment)) store->Add(d.segment, d.sums.data(), 1);
      }
    } else {
      read_twice = true;
      deferred.clear();
      store = std::make_unique<GroupStore>(values, options.max_groups);
      sources.clear();
      sources = OpenChecked(open);
      auto exact = [&](long s, const double*) {
        if (s >= screen.segments()) return Decision::kDrop;
        return screen.Rejected(s) ? Decision::kDrop : Decision::kKeep;
      };
      const long again = Pass(geometry, channels, plan, smoother, store.get()).Run(&sources, exact, nullptr, progress);
      if (again != segments) {
        throw textio::InputError("the records changed while being read: " + std::to_string(segments) +
                                 " segments at the first reading, " + std::to_string(again) + " at the second");
      }
    }
  }

  if (segments == 0) {
    throw textio::InputError("the records are shorter than one window: " + std::to_string(plan.n) + " samples of " +
                             textio::Shortest(plan.dt) + " s are needed (--window " + textio::Shortest(options.window) +
                             ")");
  }
  SpectralSums out;
  out.frequencies = plan.grid;
  out.channels = channels.count;
  out.kept = store->segments();
  out.dropped = dropped;
  if (out.kept == 0) {
    throw textio::InputError("every one of the " + std::to_string(segments) + " segments was dropped by --reject " +
                             textio::Shortest(options.reject));
  }
  out.total = store->Total();
  for (const GroupStore::Group& g : store->Groups()) {
    out.groups.emplace_back(g.values, g.values + values);
    out.group_segments.push_back(g.segments);
  }
  out.dt = plan.dt;
  out.start_time = sources.front()->start_time();
  out.window_samples = plan.n;
  out.step_samples = plan.step;
  out.segments = segments;
  out.samples_used = static_cast<long>(static_cast<size_t>(segments - 1) * plan.step + plan.n);
  out.read_twice = read_twice;
  return out;
}

}  // namespace circspec
