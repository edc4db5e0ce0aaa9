#include "array_testing/field_records.h"

#include <cmath>
#include <fstream>
#include <random>

#include "seisio/mseed.h"
#include "seisio/trace.h"
#include "textio/format.h"
#include "textio/output.h"

namespace circspec::testing {

namespace {

// The pieces of a record that are written: [first, last) sample ranges.
std::vector<std::pair<long, long>> Pieces(long samples, const RecordEdit& edit) {
  std::vector<bool> kept(static_cast<size_t>(samples), false);
  for (long j = edit.cut_start; j < samples - edit.cut_end; ++j) kept[static_cast<size_t>(j)] = true;
  for (const RecordEdit::Span& gap : edit.gaps) {
    for (long j = gap.first; j < gap.first + gap.count && j < samples; ++j) kept[static_cast<size_t>(j)] = false;
  }
  std::vector<std::pair<long, long>> pieces;
  for (long j = 0; j < samples;) {
    if (!kept[static_cast<size_t>(j)]) {
      ++j;
      continue;
    }
    const long first = j;
    while (j < samples && kept[static_cast<size_t>(j)]) ++j;
    pieces.emplace_back(first, j);
  }
  return pieces;
}

// A component's samples with the edit's bursts added.
std::vector<double> WithBursts(const std::vector<double>& samples, const RecordEdit& edit, unsigned seed) {
  std::vector<double> out = samples;
  if (edit.bursts.empty()) return out;
  double squares = 0;
  for (double v : samples) squares += v * v;
  const double rms = std::sqrt(squares / static_cast<double>(samples.size()));
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> gauss;
  for (const RecordEdit::Burst& b : edit.bursts) {
    for (long j = b.first; j < b.first + b.count && j < static_cast<long>(out.size()); ++j) {
      out[static_cast<size_t>(j)] += b.factor * rms * gauss(rng);
    }
  }
  return out;
}

}  // namespace

std::string WriteRecords(const SyntheticArray& array, const std::filesystem::path& dir, RecordForm form,
                         const std::map<std::string, RecordEdit>& edits, const std::string& layout_text) {
  const double dt = array.wavefield.dt;
  for (size_t s = 0; s < array.layout.stations.size(); ++s) {
    const array::Station& st = array.layout.stations[s];
    const auto found = edits.find(st.name);
    const RecordEdit edit = found == edits.end() ? RecordEdit{} : found->second;
    const std::vector<double> channels[3] = {WithBursts(array.vertical[s], edit, 3 * s),
                                             WithBursts(array.east[s], edit, 3 * s + 1),
                                             WithBursts(array.north[s], edit, 3 * s + 2)};
    const auto pieces = Pieces(static_cast<long>(channels[0].size()), edit);
    auto time_of = [&](long j) { return static_cast<double>(j + 1) * dt + array.clock_offsets[s]; };
    std::ofstream file(dir / st.file, std::ios::binary);
    textio::Output out(file, st.file);
    if (form == RecordForm::kText) {
      for (const auto& [first, last] : pieces) {
        for (long j = first; j < last; ++j) {
          std::string* line = out.buffer();
          textio::AppendShortest(line, time_of(j));
          for (const std::vector<double>& c : channels) {
            line->push_back(' ');
            textio::AppendScientific(line, c[static_cast<size_t>(j)], 17);
          }
          line->push_back('\n');
          out.Commit();
        }
      }
    } else {
      const char* const codes[] = {"HHZ", edit.unoriented ? "HH2" : "HHE", edit.unoriented ? "HH1" : "HHN"};
      for (int c = 0; c < 3; ++c) {
        for (const auto& [first, last] : pieces) {
          seisio::Trace t;
          t.network = "SY";
          t.station = st.name;
          t.channel = codes[c];
          t.interval = dt;
          t.start_ns = std::llround(time_of(first) * 1e9);
          t.samples.assign(channels[c].begin() + first, channels[c].begin() + last);
          seisio::WriteMiniSeed(t, out, {seisio::MiniSeedEncoding::kFloat64, 4096});
        }
      }
    }
    out.Flush();
  }
  const std::filesystem::path layout = dir / "layout.txt";
  std::ofstream(layout) << (layout_text.empty() ? array.layout_text : layout_text);
  return layout.string();
}

}  // namespace circspec::testing
