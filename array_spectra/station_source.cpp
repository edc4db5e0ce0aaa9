#include "array_spectra/station_source.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "array_spectra/record_reader.h"
#include "seisio/mseed_index.h"
#include "seisio/recognise.h"
#include "seisio/sac.h"
#include "seisio/station.h"
#include "textio/errors.h"

namespace circspec {

namespace {

// An input file of the run, closed when the last source reading it goes.
class SharedFile {
 public:
  SharedFile(suite::Context& context, const std::string& name) : context_(context), file_(context.OpenInput(name)) {}
  ~SharedFile() { context_.Close(file_); }
  SharedFile(const SharedFile&) = delete;
  SharedFile& operator=(const SharedFile&) = delete;
  std::istream& stream() { return file_.stream(); }

 private:
  suite::Context& context_;
  suite::InputFile& file_;
};

// One channel of a SAC or miniSEED file, read by a seisio channel reader
// (miniSEED decoded as it goes, SAC read block by block) that keeps the
// file open. Its times are the header's, UTC: sample i of a run at the
// run's start + i * interval.
template <class ChannelReader>
class SeismicSource : public SampleSource {
 public:
  SeismicSource(std::shared_ptr<SharedFile> file, std::string name, std::unique_ptr<ChannelReader> reader)
      : name_(std::move(name)), file_(std::move(file)), reader_(std::move(reader)) {}

  const std::string& name() const override { return name_; }
  double interval() const override { return reader_->trace().interval; }
  bool absolute_time() const override { return true; }
  int64_t run_start_ns() const override { return reader_->run_start_ns(); }
  size_t Read(double* out, size_t count) override {
    const size_t n = reader_->Read(out, count);
    in_run_ += static_cast<long>(n);
    if (n > 0) last_time_ns_ = run_start_ns() + Nanoseconds(static_cast<double>(in_run_ - 1) * interval());
    return n;
  }
  bool NextRun() override {
    if (!reader_->NextRun()) return false;
    in_run_ = 0;
    return true;
  }
  int64_t last_time_ns() const override { return last_time_ns_; }
  std::optional<int64_t> length_hint() const override { return static_cast<int64_t>(reader_->count()); }

 private:
  std::string name_;
  std::shared_ptr<SharedFile> file_;  // declared first, so it closes after the reader
  std::unique_ptr<ChannelReader> reader_;
  long in_run_ = 0;  // samples delivered from the current run
  int64_t last_time_ns_ = 0;
};

// A channel that holds no samples cannot be part of a record.
void RequireSamples(const seisio::Trace& trace, size_t count, const std::string& name) {
  if (count == 0) throw textio::InputError(name + ": " + trace.id() + " holds no samples");
}

std::unique_ptr<SampleSource> MiniSeedSource(std::shared_ptr<SharedFile> file, const std::string& name,
                                             seisio::MiniSeedChannel channel) {
  auto reader = std::make_unique<seisio::MiniSeedChannelReader>(file->stream(), name, std::move(channel));
  return std::make_unique<SeismicSource<seisio::MiniSeedChannelReader>>(std::move(file), name, std::move(reader));
}

// The station in one file: column text, or miniSEED holding its channels.
Sources OneFile(suite::Context& context, const std::string& name, std::span<const seisio::Component> wanted) {
  auto file = std::make_shared<SharedFile>(context, name);
  const seisio::Format format = seisio::Recognise(file->stream());
  Sources sources;
  if (format == seisio::Format::kText) {
    file.reset();
    for (seisio::Component c : wanted) {
      sources.push_back(std::make_unique<RecordReader>(context, name, 1 + static_cast<int>(c)));
    }
    return sources;
  }
  if (format == seisio::Format::kSac) {
    throw textio::InputError(
        name + ": a SAC file holds one channel; give the station's three files u,e,n separated by commas");
  }
  std::vector<seisio::MiniSeedChannel> index = seisio::IndexMiniSeed(file->stream(), name, seisio::Continuity::kRuns);
  std::vector<seisio::Trace> heads;
  for (const seisio::MiniSeedChannel& c : index) heads.push_back(c.trace);
  const std::array<size_t, 3> chosen = seisio::ChooseComponents(heads, name, seisio::Horizontals::kAlsoUnoriented);
  for (size_t k = 0; k < 3; ++k) RequireSamples(index[chosen[k]].trace, index[chosen[k]].count, name);
  for (seisio::Component c : wanted) {
    sources.push_back(MiniSeedSource(file, name, std::move(index[chosen[static_cast<size_t>(c)]])));
  }
  return sources;
}

// One channel of a station given as three files: `place` 0 u, 1 e, 2 n.
std::unique_ptr<SampleSource> ComponentFile(suite::Context& context, const std::string& name, size_t place) {
  auto file = std::make_shared<SharedFile>(context, name);
  switch (seisio::Recognise(file->stream())) {
    case seisio::Format::kMiniSeed: {
      std::vector<seisio::MiniSeedChannel> index =
          seisio::IndexMiniSeed(file->stream(), name, seisio::Continuity::kRuns);
      std::vector<seisio::Trace> heads;
      for (const seisio::MiniSeedChannel& c : index) heads.push_back(c.trace);
      seisio::CheckPlace(heads, place, name, seisio::Horizontals::kAlsoUnoriented);
      RequireSamples(index[0].trace, index[0].count, name);
      return MiniSeedSource(std::move(file), name, std::move(index[0]));
    }
    case seisio::Format::kSac: {
      auto reader = std::make_unique<seisio::SacChannelReader>(file->stream(), name);
      const std::vector<seisio::Trace> heads = {reader->trace()};
      seisio::CheckPlace(heads, place, name, seisio::Horizontals::kAlsoUnoriented);
      RequireSamples(heads[0], reader->count(), name);
      return std::make_unique<SeismicSource<seisio::SacChannelReader>>(std::move(file), name, std::move(reader));
    }
    case seisio::Format::kText:
      break;
  }
  // ReadChannels refuses text with the message that says what it is (or,
  // for a SAC header whose size does not fit, what is wrong with it).
  seisio::ReadChannels(file->stream(), name);
  throw textio::InputError(name + ": column text, not SAC or miniSEED");
}

}  // namespace

Sources OpenStation(suite::Context& context, const array::Station& station, std::span<const seisio::Component> wanted) {
  if (station.paths.size() != 3) return OneFile(context, station.path.string(), wanted);
  Sources sources;
  for (seisio::Component c : wanted) {
    const auto place = static_cast<size_t>(c);
    sources.push_back(ComponentFile(context, station.paths[place].string(), place));
  }
  // The components of one station share its grid, as the stations share
  // the array's; the check of all sources together follows in the run.
  return sources;
}

}  // namespace circspec
