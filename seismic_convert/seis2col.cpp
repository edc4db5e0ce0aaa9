#include "seismic_convert/seis2col.h"
#include "suite/programs.h"

#include <array>
#include <string_view>

#include "seisio/recognise.h"
#include "seisio/station.h"
#include "suite/options.h"

namespace seis2col {

namespace {

constexpr suite::Option kOptions[] = {
    {"epoch", false, 0},
    {"output", true, 'o'},
    {"digits", true, 0},
};

std::vector<std::string> SplitAtCommas(const std::string& operand) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t comma = operand.find(',', start);
    parts.push_back(operand.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return parts;
    start = comma + 1;
  }
}

// The channels of one file, opened through the run's context (relative
// names from the run's directory, directories refused).
std::vector<seisio::Trace> ReadFile(suite::Context& context, const std::string& name) {
  suite::InputFile& file = context.OpenInput(name);
  std::vector<seisio::Trace> channels = seisio::ReadChannels(file.stream(), name);
  context.Close(file);
  return channels;
}

std::string LengthNote(const seisio::StationRecord& s) {
  return "the channels differ in length (u " + std::to_string(s.traces[0].samples.size()) + ", e " +
         std::to_string(s.traces[1].samples.size()) + ", n " + std::to_string(s.traces[2].samples.size()) +
         " samples): the first " + std::to_string(s.length) + " are written";
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
  Arguments a;
  const suite::CommandLine line(args, kOptions);
  a.format.epoch = line.Has("epoch");
  a.output = line.Text("output").value_or("");
  a.format.digits = line.Integer("digits", 1, 17, "an integer from 1 to 17").value_or(a.format.digits);
  std::vector<std::string> operands = line.operands();
  if (operands.size() == 1 && operands[0].find(',') != std::string::npos) operands = SplitAtCommas(operands[0]);
  if (operands.size() != 1 && operands.size() != 3) {
    throw suite::UsageError("give one miniSEED file of the station's channels, or three files u,e,n (" +
                            std::to_string(operands.size()) + " given)");
  }
  for (const std::string& name : operands) {
    if (name.empty()) throw suite::UsageError("an empty file name in the list u,e,n");
  }
  a.inputs = std::move(operands);
  return a;
}

void Run(suite::Context& context) {
  const Arguments a = ParseArguments(context.args());

  seisio::StationRecord station;
  if (a.inputs.size() == 1) {
    station = seisio::StationOfFile(ReadFile(context, a.inputs[0]), a.inputs[0]);
  } else {
    std::array<std::vector<seisio::Trace>, 3> channels;
    for (size_t k = 0; k < 3; ++k) channels[k] = ReadFile(context, a.inputs[k]);
    station = seisio::StationOfFiles(std::move(channels), {a.inputs[0], a.inputs[1], a.inputs[2]});
  }
  if (station.lengths_differ()) context.Warn(LengthNote(station));

  // The output file is created only once the record has been read, so a
  // failed read leaves an existing file as it was.
  textio::Output& out = a.output.empty() ? context.out() : context.CreateOutput(a.output).out();
  WriteColumns(station, a.format, out);
}

}  // namespace seis2col
