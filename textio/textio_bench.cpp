// Throughput of the free-format reader and writer on column text.

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "textio/format.h"
#include "textio/free_reader.h"
#include "textio/output.h"

namespace {

// Lines of "time u e n" as array processing writes them.
std::string ColumnText(int lines) {
  std::string text;
  std::string line;
  for (int i = 0; i < lines; ++i) {
    double t = i * 0.01;
    line.clear();
    textio::FreeLine(&line).Add(t).Add(0.001 * (i % 977) - 0.3).Add(1.0 / (i + 1)).Add(-2.5e-3 * (i % 31)).End();
    text += line;
  }
  return text;
}

textio::ReadResult ReadRecord(textio::FreeReader& reader, double (&v)[4]) { return reader.ReadDoubles(v); }
textio::ReadResult ReadRecord(textio::FreeReader& reader, float (&v)[4]) { return reader.ReadFloats(v); }

// Reads the columns into 64-bit (double) or 32-bit (float) targets.
template <typename T>
void BM_ReadColumns(benchmark::State& state) {
  const std::string text = ColumnText(200000);
  for (auto _ : state) {
    std::istringstream in(text);
    textio::FreeReader reader(in);
    T v[4];
    T sum = 0;
    while (ReadRecord(reader, v).ok()) sum += v[1];
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadColumns<double>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadColumns<float>)->Unit(benchmark::kMillisecond);

// Two 64-bit values per line, 17 digits each, as the component splitter writes.
void BM_WriteFree64(benchmark::State& state) {
  const int kLines = 200000;
  for (auto _ : state) {
    std::ostringstream os;
    textio::Output out(os);
    for (int i = 0; i < kLines; ++i) {
      textio::FreeLine(out).Add(i * 0.01).Add(1.0 / (i + 3)).End();
    }
    out.Flush();
    benchmark::DoNotOptimize(os.str().size());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kLines * 2);
}
BENCHMARK(BM_WriteFree64)->Unit(benchmark::kMillisecond);

void BM_WriteE15_7(benchmark::State& state) {
  const int kValues = 200000;
  std::string s;
  for (auto _ : state) {
    s.clear();
    for (int i = 0; i < kValues; ++i) textio::AppendE15_7(&s, 1.0 / (i + 3));
    benchmark::DoNotOptimize(s.size());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kValues);
}
BENCHMARK(BM_WriteE15_7)->Unit(benchmark::kMillisecond);

}  // namespace
