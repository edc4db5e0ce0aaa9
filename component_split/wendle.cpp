#include "component_split/wendle.h"
#include "suite/programs.h"

#include <array>
#include <cstdint>
#include <vector>

#include "component_split/selector.h"
#include "suite/stop.h"
#include "textio/format.h"
#include "textio/free_reader.h"
#include "textio/names.h"
#include "textio/output.h"
#include "textio/require.h"

namespace wendle {

namespace {

// Ends the run with the open-failure message; the file's name is shown up
// to its first blank.
[[noreturn]] void StopOnOpenFailure(const std::string& name) {
  suite::StopWith("ERROR(wendle) OpenFile ", textio::CutAtFirstBlank(name));
}

// Reads one of the two integer parameters; an unreadable one is reported
// as a message, a missing one is a run-time error.
int32_t ReadParameter(textio::FreeReader& reader, const char* what) {
  int32_t value = 0;
  textio::ReadResult r = reader.Read({value});
  if (r.status == textio::ReadStatus::kUnreadable) suite::StopWith("ERROR(wendle) Read Parameters");
  textio::Require(r, what);
  return value;
}

// The sample (t, u, e, n) of the whole run: a slash ends a line's read early
// and leaves the values after it as last read, even from an earlier item's
// file.
using Sample = std::array<double, 4>;

void SplitItem(suite::Context& context, const std::string& input_name, std::string_view base, const Split& split,
               Sample& sample) {
  // A missing input is an open failure, not a file to create.
  suite::InputFile* input = context.TryOpenInput(input_name);
  if (input == nullptr) StopOnOpenFailure(input_name);

  std::vector<suite::OutputFile*> files;
  for (const ComponentFile& f : split.files) {
    const std::string name = OutputName(base, f.suffix);
    files.push_back(context.TryCreateOutput(name));
    if (files.back() == nullptr) StopOnOpenFailure(name);
  }

  const std::span<double> values(sample.data(), static_cast<size_t>(split.values_per_sample));
  textio::FreeReader reader(input->stream());
  std::string time_field;
  int64_t samples = 0;
  textio::ReadResult r;
  for (; (r = reader.ReadDoubles(values)).ok(); ++samples) {
    // The time goes to every file: format it once.
    time_field.clear();
    textio::AppendFreeReal(&time_field, sample[0]);
    for (size_t k = 0; k < files.size(); ++k) {
      textio::FreeLine(files[k]->out())
          .Add(std::string_view(time_field))
          .Add(sample[split.files[k].component + 1])
          .End();
    }
  }

  context.NoteDataEnd(r, input_name, samples, "samples written");

  // Items may be many: each one's files are closed before the next opens.
  context.Close(*input);
  for (suite::OutputFile* f : files) context.Close(*f);
}

}  // namespace

void Run(suite::Context& context) {
  textio::FreeReader& reader = context.reader();
  const int32_t selector = ReadParameter(reader, "the component selector");
  const int32_t items = ReadParameter(reader, "the item count");
  const Split split = SplitFor(selector);

  Sample sample{};
  std::string input_name;
  std::string base_line;
  for (int32_t item = 1; item <= items; ++item) {
    textio::Require(reader.ReadLine(&input_name), "an input file name line");
    textio::Require(reader.ReadLine(&base_line), "an output base name line");
    SplitItem(context, input_name, textio::CutAtFirstBlank(base_line), split, sample);
  }
}

std::string OutputName(std::string_view base, std::string_view suffix) {
  std::string name(base);
  name.append(suffix);
  if (name.size() > textio::kNameWidth) name.resize(textio::kNameWidth);
  return name;
}

}  // namespace wendle
