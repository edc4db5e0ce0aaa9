#include "array_spectra/analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>

#include "array_spectra/group_store.h"
#include "array_spectra/segment_screen.h"
#include "array_spectra/segment_transform.h"
#include "textio/errors.h"
#include "textio/format.h"

namespace circspec {

namespace {

constexpr size_t kMinWindowSamples = 16;
// Per-bin sums of deferred segments (--reject) held at most; beyond, the
// records are read a second time with the exact decisions.
constexpr size_t kDeferredBudgetBytes = size_t{48} << 20;

// Segment length, step and output grid, fixed by the options and the
// sampling interval.
struct Plan {
  double dt = 0;
  size_t n = 0, step = 0;
  std::vector<double> grid;
};

Plan MakePlan(double dt, const std::string& name, const AnalysisOptions& o) {
  Plan p;
  p.dt = dt;
  const double samples = std::round(o.window / p.dt);
  if (!(samples >= static_cast<double>(kMinWindowSamples)) || samples > 1e8) {
    throw textio::RuntimeError("--window " + textio::Shortest(o.window) + " s is " + textio::Shortest(samples) +
                               " samples at the sampling interval " + textio::Shortest(p.dt) + " s of " + name +
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
  long segment;             // its index among all windows, which groups count
  long screened;            // and among the whole ones, which the screen counts
  std::vector<double> raw;  // per-bin sums, bins x channels: smoothed with the others of its group
};

// Takes a channel's clock offset tau out of its spectrum: a record sampled
// tau after the grid, x(t + tau), has the spectrum X(f) exp(2 pi i f tau),
// so bin k at f_k = k / (n dt) is multiplied by exp(-2 pi i f_k tau). The
// factors are made again only when tau changes.
class OffsetCorrection {
 public:
  OffsetCorrection(size_t first_bin, size_t bins, double df) : first_bin_(first_bin), df_(df), factors_(bins) {}

  void Apply(double tau, std::complex<double>* spectrum) {
    if (tau == 0) return;
    if (tau != tau_) {
      for (size_t b = 0; b < factors_.size(); ++b) {
        const double f = static_cast<double>(first_bin_ + b) * df_;
        factors_[b] = std::polar(1.0, -2 * std::numbers::pi * f * tau);
      }
      tau_ = tau;
    }
    for (size_t b = 0; b < factors_.size(); ++b) spectrum[first_bin_ + b] *= factors_[b];
  }

 private:
  size_t first_bin_;
  double df_;
  double tau_ = 0;
  std::vector<std::complex<double>> factors_;
};

// What a reading of the records found, besides the sums.
struct PassFacts {
  long windows = 0, broken = 0;
  std::vector<int64_t> screened_starts;  // of the whole windows, in order
  int64_t common_first = 0, begin = 0, end = 0;
  std::vector<ChannelFacts> sources;
};

// One reading of the records. `decide` sees each whole segment's index
// among the whole ones and its stations' RMS values, and says what becomes
// of it.
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
  PassFacts Run(Sources* sources, const TimeGrid& grid, const SpanChoice& span, Decide decide,
                std::vector<Deferred>* deferred, const ProgressFn& progress) {
    const size_t stations = sources->size();
    const double df = 1 / (static_cast<double>(plan_.n) * plan_.dt);
    std::vector<std::unique_ptr<SegmentTransform>> transforms;
    std::vector<OffsetCorrection> corrections;
    std::vector<std::vector<std::complex<double>>> spectra(stations);
    std::vector<const std::complex<double>*> views(stations);
    for (size_t s = 0; s < stations; ++s) {
      transforms.push_back(std::make_unique<SegmentTransform>(plan_.n));
      corrections.emplace_back(smoother_.first_bin(), smoother_.bins(), df);
      spectra[s].resize(plan_.n / 2 + 1);
      views[s] = spectra[s].data();
    }
    std::vector<double> rms(stations);

    PassFacts facts;
    Segmenter segmenter(sources, grid, span, plan_.n, plan_.step);
    // A record whose length is known gets the span its groups end with, so
    // that every group is smoothed once.
    if (const std::optional<long> windows = segmenter.ExpectedWindows()) {
      const auto most = static_cast<long>(store_->max_groups());
      store_->StartWithSpan(static_cast<size_t>((*windows + most - 1) / most));
    }
    long index = 0;
    for (; segmenter.Next(); ++index) {
      if (!segmenter.whole()) {
        ++facts.broken;
      } else {
        for (size_t s = 0; s < stations; ++s) {
          std::span<const double> first, second;
          segmenter.Window(s, &first, &second);
          rms[s] = transforms[s]->Detrend(first, second);
        }
        const auto screened = static_cast<long>(facts.screened_starts.size());
        facts.screened_starts.push_back(segmenter.start());
        const Decision d = decide(screened, rms.data());
        if (d != Decision::kDrop) {
          for (size_t s = 0; s < stations; ++s) {
            transforms[s]->Transform(spectra[s].data());
            corrections[s].Apply(segmenter.offset(s), spectra[s].data());
          }
          if (d == Decision::kKeep) {
            KeepInGroup(index, views);
          } else {
            Deferred item{index, screened, std::vector<double>(active_.size())};
            accumulator_.Add(views, smoother_.first_bin(), smoother_.bins(), item.raw.data());
            deferred->push_back(std::move(item));
          }
        }
      }
      if (progress) {
        progress(index + 1, static_cast<double>(static_cast<size_t>(index) * plan_.step + plan_.n) * plan_.dt);
      }
    }
    CloseGroup();
    CheckCommonRate(segmenter);
    facts.windows = index;
    facts.common_first = segmenter.common_first();
    facts.begin = segmenter.begin();
    facts.end = index > 0 ? segmenter.start() + static_cast<int64_t>(plan_.n) : segmenter.begin();
    for (size_t s = 0; s < stations; ++s) {
      const Track& t = segmenter.track(s);
      facts.sources.push_back({t.source().name(), t.first_offset_ns() / 1e9, {}});
      for (const Break& b : t.breaks()) {
        if (b.from < facts.end) facts.sources.back().breaks.push_back(b);
      }
    }
    return facts;
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
  return sources;
}

// The kept ones of the deferred segments join their groups: their per-bin
// sums added up group by group and smoothed once for each group.
void AddDeferred(const std::vector<Deferred>& deferred, const SegmentScreen& screen, const Smoother& smoother,
                 size_t channels, GroupStore* store) {
  std::vector<double> raw, smoothed(smoother.frequencies() * channels);
  long first = 0, count = 0;
  auto flush = [&] {
    if (count == 0) return;
    smoother.Apply(raw.data(), channels, smoothed.data());
    store->Add(first, smoothed.data(), count);
    count = 0;
  };
  for (const Deferred& d : deferred) {
    if (screen.Rejected(d.screened)) continue;
    if (count > 0 && store->GroupOf(d.segment) != store->GroupOf(first)) flush();
    if (count == 0) {
      first = d.segment;
      raw.assign(d.raw.size(), 0.0);
    }
    for (size_t v = 0; v < raw.size(); ++v) raw[v] += d.raw[v];
    ++count;
  }
  flush();
}

}  // namespace

SpectralSums Analyse(const ArrayGeometry& geometry, const SourceOpener& open, const AnalysisOptions& options,
                     const ProgressFn& progress) {
  Sources sources = OpenChecked(open);
  const TimeGrid grid = CommonGrid(sources);
  const Plan plan = MakePlan(grid.dt, sources.front()->name(), options);
  const ChannelLayout channels(geometry, options.component);
  if (channels.count == 0) throw textio::RuntimeError("the horizontal components need a centre station (radius 0)");
  if (sources.size() != geometry.x.size() * SourcesPerStation(options.component)) {
    throw textio::RuntimeError(std::to_string(sources.size()) + " records for " + std::to_string(geometry.x.size()) +
                               " stations");
  }
  const Smoother smoother = MakeSmoother(options.smoothing, plan.grid, plan.n, plan.dt);
  const size_t raw_values = smoother.bins() * channels.count;
  const size_t values = plan.grid.size() * channels.count;

  auto store = std::make_unique<GroupStore>(values, options.max_groups);
  PassFacts facts;
  long dropped = 0;
  std::vector<int64_t> dropped_starts;
  bool read_twice = false;
  if (!(options.reject > 0)) {
    facts =
        Pass(geometry, channels, plan, smoother, store.get())
            .Run(
                &sources, grid, options.span, [](long, const double*) { return Decision::kKeep; }, nullptr, progress);
  } else {
    // Provisional decisions while reading; see SegmentScreen.
    SegmentScreen screen(sources.size(), options.reject);
    std::vector<Deferred> deferred;
    std::vector<bool> kept_outright;
    const size_t max_deferred = std::max<size_t>(1, kDeferredBudgetBytes / (raw_values * sizeof(double)));
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
    facts = Pass(geometry, channels, plan, smoother, store.get())
                .Run(&sources, grid, options.span, decide, &deferred, progress);
    screen.Finish();
    dropped = screen.rejected_count();
    for (long s = 0; s < screen.segments(); ++s) {
      if (screen.Rejected(s)) dropped_starts.push_back(facts.screened_starts[static_cast<size_t>(s)]);
    }
    bool wrong_guess = overflow;
    for (long s = 0; s < screen.segments() && !wrong_guess; ++s)
      wrong_guess = kept_outright[static_cast<size_t>(s)] && screen.Rejected(s);
    if (!wrong_guess) {
      AddDeferred(deferred, screen, smoother, channels.count, store.get());
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
      const PassFacts again = Pass(geometry, channels, plan, smoother, store.get())
                                  .Run(&sources, grid, options.span, exact, nullptr, progress);
      if (again.windows != facts.windows || again.screened_starts != facts.screened_starts) {
        throw textio::InputError("the records changed while being read: " + std::to_string(facts.windows) +
                                 " segments at the first reading, " + std::to_string(again.windows) + " at the second");
      }
    }
  }

  if (facts.windows == 0) {
    throw textio::InputError("the records hold no common span of one window: " + std::to_string(plan.n) +
                             " samples of " + textio::Shortest(plan.dt) + " s are needed (--window " +
                             textio::Shortest(options.window) + ")" +
                             (options.span.start || options.span.end ? " within --start and --end" : ""));
  }
  SpectralSums out;
  out.frequencies = plan.grid;
  out.channels = channels.count;
  out.kept = store->segments();
  out.dropped = dropped;
  out.broken = facts.broken;
  if (out.kept == 0) {
    throw textio::InputError("every one of the " + std::to_string(facts.windows) + " segments was left out (" +
                             std::to_string(facts.broken) + " for breaks in the records, " + std::to_string(dropped) +
                             " by --reject " + textio::Shortest(options.reject) + ")");
  }
  out.total = store->Total();
  for (const GroupStore::Group& g : store->Groups()) {
    out.groups.emplace_back(g.values, g.values + values);
    out.group_segments.push_back(g.segments);
  }
  out.grid = grid;
  out.utc = sources.front()->absolute_time();
  out.dt = plan.dt;
  out.window_samples = plan.n;
  out.step_samples = plan.step;
  out.common_first = facts.common_first;
  out.begin = facts.begin;
  out.end = facts.end;
  out.segments = facts.windows;
  out.dropped_starts = std::move(dropped_starts);
  out.sources = std::move(facts.sources);
  out.read_twice = read_twice;
  return out;
}

}  // namespace circspec
