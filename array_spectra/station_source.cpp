#include "array_spectra/station_source.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "array_spectra/record_reader.h"
#include "seisio/mseed_index.h"
#include "seisio/recognize.h"
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

// What SeismicSource needs of a channel's samples: miniSEED decoded as it
// goes, or SAC read block by block.
class ChannelSamples {
 public:
  virtual ~ChannelSamples() = default;
  virtual size_t Read(double* out, size_t count) = 0;
};

class MiniSeedSamples : public ChannelSamples {
 public:
  MiniSeedSamples(std::shared_ptr<SharedFile> file, std::string name, seisio::MiniSeedChannel channel)
      : file_(std::move(file)), reader_(file_->stream(), std::move(name), std::move(channel)) {}
  size_t Read(double* out, size_t count) override { return reader_.Read(out, count); }

 private:
  std::shared_ptr<SharedFile> file_;
  seisio::MiniSeedChannelReader reader_;
};

class SacSamples : public ChannelSamples {
 public:
  SacSamples(std::shared_ptr<SharedFile> file, std::string name)
      : file_(std::move(file)), reader_(file_->stream(), std::move(name)) {}
  const seisio::Trace& trace() const { return reader_.trace(); }
  size_t count() const { return reader_.count(); }
  size_t Read(double* out, size_t count) override { return reader_.Read(out, count); }

 private:
  std::shared_ptr<SharedFile> file_;
  seisio::SacChannelReader reader_;
};

// One channel of a SAC or miniSEED file. Its times are the header's: the
// start as epoch seconds, sample i at start + i * interval.
class SeismicSource : public SampleSource {
 public:
  SeismicSource(std::string name, const seisio::Trace& trace, std::unique_ptr<ChannelSamples> samples)
      : name_(std::move(name)), start_(trace.start_seconds()), dt_(trace.interval), samples_(std::move(samples)) {}

  const std::string& name() const override { return name_; }
  double start_time() const override { return start_; }
  double first_step() const override { return dt_; }
  size_t Read(double* out, size_t count) override {
    const size_t n = samples_->Read(out, count);
    read_ += static_cast<long>(n);
    return n;
  }
  long samples_read() const override { return read_; }
  double last_time() const override { return start_ + dt_ * static_cast<double>(read_ - 1); }

 private:
  std::string name_;
  double start_, dt_;
  std::unique_ptr<ChannelSamples> samples_;
  long read_ = 0;
};

// A channel that holds no samples cannot be part of a record.
void RequireSamples(const seisio::Trace& trace, size_t count, const std::string& name) {
  if (count == 0) throw textio::InputError(name + ": " + trace.id() + " holds no samples");
}

std::unique_ptr<SampleSource> MiniSeedSource(std::shared_ptr<SharedFile> file, const std::string& name,
                                             seisio::MiniSeedChannel channel) {
  const seisio::Trace head = channel.trace;
  auto samples = std::make_unique<MiniSeedSamples>(std::move(file), name, std::move(channel));
  return std::make_unique<SeismicSource>(name, head, std::move(samples));
}

// The station in one file: column text, or miniSEED holding its channels.
Sources OneFile(suite::Context& context, const std::string& name, std::span<const seisio::Component> wanted) {
  auto file = std::make_shared<SharedFile>(context, name);
  const seisio::Format format = seisio::Recognize(file->stream());
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
  std::vector<seisio::MiniSeedChannel> index = seisio::IndexMiniSeed(file->stream(), name);
  std::vector<seisio::Trace> heads;
  for (const seisio::MiniSeedChannel& c : index) heads.push_back(c.trace);
  const std::array<size_t, 3> chosen = seisio::ChooseComponents(heads, name);
  for (size_t k = 0; k < 3; ++k) RequireSamples(index[chosen[k]].trace, index[chosen[k]].count, name);
  const seisio::MiniSeedChannel& u = index[chosen[0]];
  for (size_t k = 1; k < 3; ++k) {
    const seisio::MiniSeedChannel& c = index[chosen[k]];
    seisio::CheckSameGrid(u.trace, u.count, name, c.trace, c.count, name);
  }
  for (seisio::Component c : wanted) {
    sources.push_back(MiniSeedSource(file, name, std::move(index[chosen[static_cast<size_t>(c)]])));
  }
  return sources;
}

// One channel of a station given as three files: `place` 0 u, 1 e, 2 n.
std::unique_ptr<SampleSource> ComponentFile(suite::Context& context, const std::string& name, size_t place) {
  auto file = std::make_shared<SharedFile>(context, name);
  switch (seisio::Recognize(file->stream())) {
    case seisio::Format::kMiniSeed: {
      std::vector<seisio::MiniSeedChannel> index = seisio::IndexMiniSeed(file->stream(), name);
      std::vector<seisio::Trace> heads;
      for (const seisio::MiniSeedChannel& c : index) heads.push_back(c.trace);
      seisio::CheckPlace(heads, place, name);
      RequireSamples(index[0].trace, index[0].count, name);
      return MiniSeedSource(std::move(file), name, std::move(index[0]));
    }
    case seisio::Format::kSac: {
      auto samples = std::make_unique<SacSamples>(std::move(file), name);
      std::vector<seisio::Trace> heads = {samples->trace()};
      seisio::CheckPlace(heads, place, name);
      RequireSamples(heads[0], samples->count(), name);
      return std::make_unique<SeismicSource>(name, heads[0], std::move(samples));
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
