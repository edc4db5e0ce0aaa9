#include "centre_series/corral.h"
#include "suite/programs.h"

#include <array>
#include <string>
#include <vector>

#include "centre_series/series.h"
#include "suite/stop.h"
#include "textio/free_reader.h"
#include "textio/names.h"
#include "textio/output.h"
#include "textio/require.h"

namespace corral {

namespace {

void WriteSeries(suite::Context& context, suite::InputFile& input, const Plan& plan,
                 const std::vector<textio::Output*>& files) {
  SeriesFormatter formatter(plan.files);
  std::vector<std::string*> lines;
  for (textio::Output* f : files) lines.push_back(f->buffer());

  // The sample persists from line to line: a slash ends a line's read
  // early and leaves the values after it as the previous line had them.
  std::array<double, 4> values{};  // t, u, e, n
  const std::span<double> read(values.data(), static_cast<size_t>(plan.values_per_sample));
  textio::FreeReader reader(input.stream());
  int64_t samples = 0;
  textio::ReadResult r;
  for (; (r = reader.ReadDoubles(read)).ok(); ++samples) {
    formatter.Append({values[0], values[1], values[2], values[3]}, lines);
    for (textio::Output* f : files) f->Commit();
  }
  context.NoteDataEnd(r, input.name(), samples, "samples written");
}

}  // namespace

void Run(suite::Context& context) {
  textio::FreeReader& reader = context.reader();
  textio::Output& out = context.out();

  const auto [echo1, echo2] = textio::RequireRecord<double, double>(reader, "the first line (two numbers)");
  textio::FreeLine(out).Add(echo1).Add(echo2).End();

  std::string line;
  textio::Require(reader.ReadLine(&line), "the input file name line");
  const std::string input_name(textio::CutAtFirstBlank(line));
  out.Line("INPUT: " + input_name);

  const auto ncomp = textio::RequireValue<int32_t>(reader, "ncomp (integer)");
  if (ncomp > kNameTableSize) suite::StopWith("ERROR: ncomp above the 6 output names:", ncomp);
  textio::RequireValue<int32_t>(reader, "the integer after ncomp");  // read, never used

  std::array<std::string, kNameTableSize> names;
  for (int32_t k = 0; k < ncomp; ++k) {
    textio::Require(reader.ReadLine(&names[k]), "an output file name line");
  }
  textio::FreeLine(out).Add("read ncomp   : ").Add(ncomp).End();

  suite::InputFile& input = context.OpenInput(input_name);

  const Plan plan = PlanFor(ncomp);
  if (!plan.files.empty()) {
    for (size_t k = 0; k < plan.files.size(); ++k)
      out.Line("OUTPUT: " + std::string(textio::CutAtFirstBlank(names[k])));
    std::vector<suite::OutputFile*> files;
    std::vector<textio::Output*> outputs;
    for (size_t k = 0; k < plan.files.size(); ++k) {
      files.push_back(&context.CreateOutput(names[k]));
      outputs.push_back(&files.back()->out());
    }
    WriteSeries(context, input, plan, outputs);
    for (suite::OutputFile* f : files) context.Close(*f);
  }
  textio::FreeLine(out).Add("Done.").End();
}

}  // namespace corral
