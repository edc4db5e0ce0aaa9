// circspec on one hour of a six-station array (centre + 5 on 10 m) at
// 100 Hz, made by circsim: reading one record, the analysis of samples
// already in memory, and the whole program on the six files, as column
// text and as miniSEED (one file of three channels of 32-bit floats per
// station, as circsim --format mseed writes them). The 24-hour figures
// come from the built program under /usr/bin/time (docs/circspec.md).

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "array_spectra/analysis.h"
#include "array_spectra/station_source.h"
#include "array_testing/synthetic_array.h"
#include "suite/programs.h"
#include "testsupport/bench.h"
#include "testsupport/run_program.h"
#include "testsupport/test_context.h"
#include "textio/format.h"

namespace {

// The array in memory, and as circsim writes it into a private directory
// (made once, removed at exit): column text in text/, miniSEED in mseed/.
class BenchArray {
 public:
  static const BenchArray& Get() {
    static const BenchArray array;
    return array;
  }
  const circspec::testing::SyntheticArray& array() const { return array_; }
  std::string layout(const char* form) const { return (dir_ / form / "layout.txt").string(); }
  std::string text_layout() const { return layout("text"); }
  std::string mseed_layout() const { return layout("mseed"); }
  // Station s as the layout of each form names its record.
  array::Station text_station(size_t s) const { return StationAt(s, dir_ / "text", ".txt"); }
  array::Station mseed_station(size_t s) const { return StationAt(s, dir_ / "mseed", ".mseed"); }
  long samples() const { return array_.wavefield.samples; }

  ~BenchArray() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

 private:
  static constexpr double kDuration = 3600;
  static constexpr double kNoise = 0.001;

  BenchArray() : array_(circspec::testing::MakeArray(Design())) {
    dir_ = std::filesystem::temp_directory_path() / ("circspec_bench_" + std::to_string(::getpid()));
    for (const char* form : {"text", "mseed"}) {
      std::filesystem::create_directories(dir_ / form);
      std::string text = circspec::testing::LayoutText(Design());
      if (std::string(form) == "mseed") {
        for (size_t at = text.find(".txt"); at != std::string::npos; at = text.find(".txt", at)) {
          text.replace(at, 4, ".mseed");
        }
      }
      std::ofstream(layout(form)) << text;
      const testsupport::Outcome o =
          testsupport::RunInProcess(circsim::kProgram, "",
                                    {{"--duration", textio::Shortest(kDuration), "--noise", textio::Shortest(kNoise),
                                      "--format", form, layout(form)},
                                     std::filesystem::path()});
      if (o.status != 0) throw std::runtime_error("circsim failed: " + o.err);
    }
  }
  array::Station StationAt(size_t s, const std::filesystem::path& folder, const char* suffix) const {
    array::Station st = array_.layout.stations[s];
    st.path = folder / (st.name + suffix);
    st.paths = {st.path};
    return st;
  }
  static circspec::testing::ArrayDesign Design() {
    circspec::testing::ArrayDesign design;
    design.duration = kDuration;
    design.noise = kNoise;
    return design;
  }

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
// column text files or the miniSEED files; and the dispersion curve
// (--for curve) from the miniSEED files, whose cost beside the table's is
// that of inverting every jackknife replicate.
void BM_Circspec(benchmark::State& state, std::string (BenchArray::*layout)() const, const char* form) {
  const BenchArray& a = BenchArray::Get();
  for (auto _ : state) bench::RunProgramWithArgs(state, circspec::kProgram, {"--for", form, (a.*layout)()}, "");
  state.SetItemsProcessed(state.iterations() * a.samples());
}
BENCHMARK_CAPTURE(BM_Circspec, text, &BenchArray::text_layout, "table")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Circspec, mseed, &BenchArray::mseed_layout, "table")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Circspec, mseed_curve, &BenchArray::mseed_layout, "curve")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
