#include "rms_eval/record.h"

#include <array>
#include <span>
#include <stdexcept>

#include "suite/stop.h"
#include "textio/free_reader.h"
#include "textio/names.h"
#include "textio/output.h"

namespace gauger {

namespace {

[[noreturn]] void StopOnOpenFailure(const std::string& name) {
  throw suite::Stop("Program gauger.\n" + suite::MessageLine("ERROR:opening file ", textio::CutAtFirstBlank(name)));
}

// Reads records into store->samples[1 ..]; returns how many were read in
// full.
int32_t ReadColumn(suite::Context& context, suite::InputFile& file, int32_t type, Datblk* store) {
  textio::FreeReader reader(file.stream());
  std::string label;
  double discarded = 0.0;  // the columns before the kept one
  std::array<textio::Target, 4> targets = {textio::Target::Text(label, kLabelWidth), discarded, discarded, discarded};
  const std::span<const textio::Target> record(targets.data(), static_cast<size_t>(type) + 1);

  int32_t count = 0;
  for (;;) {
    // The kept value goes straight into its slot, so a record that a slash
    // cuts short still counts and leaves the slot as the store held it (0).
    double& slot = store->samples.emplace_back(0.0);
    targets[type] = slot;
    const textio::ReadResult r = reader.Read(record);
    if (!r.ok()) {
      store->samples.pop_back();
      context.NoteDataEnd(r, file.name(), count, "samples read");
      return count;
    }
    if (count == kStoreSize) suite::StopWith("ERROR: record longer than the sample store of", kStoreSize, "samples");
    ++count;
  }
}

}  // namespace

int32_t rfile(Datblk* store, int32_t nskip, int32_t type, const std::string& name, suite::Context& context) {
  if (nskip < 0) throw std::invalid_argument("rfile: negative skip count");

  suite::InputFile* file = context.TryOpenInput(name);
  if (file == nullptr) StopOnOpenFailure(name);

  store->samples.assign(1, 0.0);
  int32_t count = (type >= 1 && type <= 3) ? ReadColumn(context, *file, type, store) : 0;
  context.Close(*file);

  std::vector<double>& s = store->samples;
  // In 64 bits: a skip count of 2^31 - 1 must not overflow on its way.
  for (int64_t i = int64_t{nskip} + 1; i <= count; ++i) s[i - nskip] = s[i];
  const int32_t n = count - nskip;
  s.resize(n > 0 ? static_cast<size_t>(n) + 1 : 1);
  return n;
}

}  // namespace gauger
