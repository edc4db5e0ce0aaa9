#include "centre_series/corral.h"

#include <array>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "centre_series/series.h"
#include "textio/errors.h"
#include "textio/free_reader.h"
#include "textio/input_file.h"
#include "textio/names.h"
#include "textio/output.h"
#include "textio/program.h"

namespace corral {

namespace {

// An output file, truncated on opening: it holds exactly what this run
// writes to it.
struct OutputFile {
  explicit OutputFile(const std::string& name) : stream(name, std::ios::binary | std::ios::trunc), out(stream) {}

  std::ofstream stream;
  textio::Output out;
};

void WriteSeries(std::istream& input, const Plan& plan, const std::vector<std::unique_ptr<OutputFile>>& files) {
  SeriesFormatter formatter(plan.files);
  std::vector<std::string*> lines;
  for (const auto& f : files) lines.push_back(f->out.buffer());

  // The sample persists from line to line: a slash ends a line's read
  // early and leaves the values after it as the previous line had them.
  std::array<double, 4> values{};  // t, u, e, n
  const std::span<double> read(values.data(), static_cast<size_t>(plan.values_per_sample));
  textio::FreeReader reader(input);
  while (reader.ReadDoubles(read).ok()) {
    formatter.Append({values[0], values[1], values[2], values[3]}, lines);
    for (const auto& f : files) f->out.Commit();
  }
}

void Run(std::istream& in, textio::Output& out) {
  textio::FreeReader reader(in);

  double echo1 = 0.0;
  double echo2 = 0.0;
  textio::Require(reader.Read({echo1, echo2}), "the first line (two numbers)");
  textio::FreeLine(out).Add(echo1).Add(echo2).End();

  std::string line;
  textio::Require(reader.ReadLine(&line), "the input file name line");
  const std::string input_name(textio::CutAtFirstBlank(line));
  out.Line("INPUT: " + input_name);

  int32_t ncomp = 0;
  textio::Require(reader.Read({ncomp}), "ncomp (integer)");
  if (ncomp > kNameTableSize) {
    std::string text;
    textio::FreeLine(&text).Add("ERROR: ncomp above the 6 output names:").Add(ncomp).End();
    throw textio::Stop(text);
  }
  int32_t unused = 0;
  textio::Require(reader.Read({unused}), "the integer after ncomp");

  std::array<std::string, kNameTableSize> names;
  for (int32_t k = 0; k < ncomp; ++k) {
    textio::Require(reader.ReadLine(&names[k]), "an output file name line");
  }
  textio::FreeLine(out).Add("read ncomp   : ").Add(ncomp).End();

  std::ifstream input;
  if (!textio::OpenInputFile(input_name, &input)) throw textio::RuntimeError("cannot open the input file \"" + input_name + "\"");

  const Plan plan = PlanFor(ncomp);
  std::vector<std::unique_ptr<OutputFile>> files;
  if (!plan.files.empty()) {
    for (size_t k = 0; k < plan.files.size(); ++k) out.Line("OUTPUT: " + std::string(textio::CutAtFirstBlank(names[k])));
    for (size_t k = 0; k < plan.files.size(); ++k) {
      files.push_back(std::make_unique<OutputFile>(names[k]));
      if (!files.back()->stream.is_open()) {
        throw textio::RuntimeError("cannot create the output file \"" + names[k] + "\"");
      }
    }
    WriteSeries(input, plan, files);
  }

  for (auto& f : files) {
    f->out.Flush();
    f->stream.close();
    if (!f->stream) throw textio::WriteError("closing an output file");
  }
  textio::FreeLine(out).Add("Done.").End();
}

}  // namespace

int RunCorral(std::istream& in, std::ostream& out, std::ostream& err) {
  return textio::RunProgram("corral", out, err, [&](textio::Output& o) { Run(in, o); });
}

}  // namespace corral
