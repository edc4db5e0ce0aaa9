// circspec on one hour of a six-station array (centre + 5 on 10 m) at
// 100 Hz, made by circsim: reading one record beside gauger reading the
// same file, the analysis of samples already in memory, and the whole
// program on the six files, as column text and as miniSEED (one file of
// three channels of 32-bit floats per station, as circsim --format mseed
// writes them). The 24-hour figures come from the built program under
// /usr/bin/time (docs/circspec.md).

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <benchmark/benchmark.h>

#include "array_spectra/analysis.h"
#include "suite/programs.h"
#include "array_spectra/memory_source.h"
#include "array_spectra/station_source.h"
#include "array_spectra/synthetic_array.h"
#include "array_synthesis/field_writer.h"
#include "array_synthesis/record_writer.h"
#include "rms_eval/record.h"
#include "seisio/mseed.h"
#include "testsupport/bench.h"
#include "testsupport/test_context.h"
#include "textio/format.h"

namespace {

// The array in memory and as column files in a private directory,
// made once and removed at exit.
class BenchArray {
 public:
  static const BenchArray& Get() {
    static const BenchArray array;
    return array;
  }
  const circspec::testing::SyntheticArray& array() const { return array_; }
  std::string layout() const { return (dir_ / "layout.txt").string(); }
  std::string record(size_t s) const { return (dir_ / array_.layout.stations[s].file).string(); }
  std::string mseed_layout() const { return (dir_ / "layout_mseed.txt").string(); }
  // Station s as the layout of each form names its record.
  array::Station text_station(size_t s) const { return StationAt(s, record(s)); }
  array::Station mseed_station(size_t s) const {
    return StationAt(s, dir_ / (array_.layout.stations[s].name + ".mseed"));
  }
  long samples() const { return array_.wavefield.samples; }

  ~BenchArray() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

 private:
  BenchArray() : array_(Make()) {
    dir_ = std::filesystem::temp_directory_path() / ("circspec_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    std::ofstream(layout()) << circspec::testing::LayoutText(Design());
    std::ofstream mseed_layout(this->mseed_layout());
    const circsim::Synthesizer synth(array_.wavefield);
    circsim::StationRecord record(array_.wavefield.samples);
    for (size_t s = 0; s < array_.layout.stations.size(); ++s) {
      const array::Station& st = array_.layout.stations[s];
      synth.Synthesize(circsim::Site{st.name, st.azimuth_deg, st.radius}, &record);
      {
        std::ofstream file(this->record(s), std::ios::binary);
        textio::Output out(file);
        circsim::WriteColumns(record, array_.wavefield.dt, 9, out);
        out.Flush();
      }
      std::ofstream file(mseed_station(s).path, std::ios::binary);
      textio::Output out(file);
      for (int c = 0; c < circsim::kChannels; ++c) {
        seisio::WriteMiniSeed(circsim::ChannelTrace(record, c, array_.wavefield.dt, st.name), out,
                              {seisio::MiniSeedEncoding::kFloat32, 4096});
      }
      out.Flush();
      mseed_layout << st.name << ' ' << textio::Shortest(st.azimuth_deg) << ' ' << textio::Shortest(st.radius) << ' '
                   << st.name << ".mseed\n";
    }
  }
  array::Station StationAt(size_t s, const std::filesystem::path& path) const {
    array::Station st = array_.layout.stations[s];
    st.path = path;
    st.paths = {path};
    return st;
  }
  static circspec::testing::ArrayDesign Design() {
    circspec::testing::ArrayDesign design;
    design.duration = 3600;
    design.noise = 0.001;
    return design;
  }
  static circspec::testing::SyntheticArray Make() { return circspec::testing::MakeArray(Design()); }

  circspec::testing::SyntheticArray array_;
  std::filesystem::path dir_;
};

// The vertical of one station's record: column text parsed line by line,
// or miniSEED decoded record by record.
void BM_ReadVertical(benchmark::State& state, array::Station (BenchArray::*station)(size_t) const) {
  const BenchArray& a = BenchArray::Get();
  std::vector<double> block(4096);
  constexpr seisio::Component kU[] = {seisio::Component::kU};
  for (auto _ : state) {
    testsupport::TestContext context;
    circspec::Sources sources = circspec::OpenStation(context, (a.*station)(0), kU);
    while (sources[0]->Read(block.data(), block.size()) == block.size()) {
    }
    benchmark::DoNotOptimize(block.data());
  }
  state.SetItemsProcessed(state.iterations() * a.samples());
}
BENCHMARK_CAPTURE(BM_ReadVertical, text, &BenchArray::text_station)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadVertical, mseed, &BenchArray::mseed_station)->Unit(benchmark::kMillisecond)->UseRealTime();

// gauger's reading of the same file, column u (its windowed RMS left out).
void BM_GaugerReadRecord(benchmark::State& state) {
  const BenchArray& a = BenchArray::Get();
  gauger::Datblk store;
  testsupport::TestContext context;
  for (auto _ : state) benchmark::DoNotOptimize(gauger::rfile(&store, 0, 1, a.record(0), context));
  state.SetItemsProcessed(state.iterations() * a.samples());
}
BENCHMARK(BM_GaugerReadRecord)->Unit(benchmark::kMillisecond)->UseRealTime();

// Everything after parsing: segments, FFTs, cross spectra, smoothing.
void BM_AnalyseInMemory(benchmark::State& state) {
  const BenchArray& a = BenchArray::Get();
  for (auto _ : state) {
    benchmark::DoNotOptimize(circspec::Analyse(a.array().geometry, a.array().Opener(), circspec::AnalysisOptions{}));
  }
  state.SetItemsProcessed(state.iterations() * a.samples());
}
BENCHMARK(BM_AnalyseInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program, default options, the table counted and dropped, on the
// column text files or the miniSEED files.
void BM_Circspec(benchmark::State& state, std::string (BenchArray::*layout)() const) {
  const BenchArray& a = BenchArray::Get();
  for (auto _ : state) bench::RunProgramWithArgs(state, circspec::kProgram, {(a.*layout)()}, "");
  state.SetItemsProcessed(state.iterations() * a.samples());
}
BENCHMARK_CAPTURE(BM_Circspec, text, &BenchArray::layout)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Circspec, mseed, &BenchArray::mseed_layout)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
