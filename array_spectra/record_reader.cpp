#include "array_spectra/record_reader.h"

#include <cmath>
#include <limits>
#include <span>

#include "textio/errors.h"
#include "textio/format.h"

namespace circspec {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A step may differ from the sampling interval by this fraction of it and
// continue the run.
constexpr double kStepTolerance = 0.01;

// The record form a reader of `column` takes, for messages: the vertical
// comes from either form, e and n only from the column file.
std::string ExpectedForm(int column) {
  return column == 1 ? "'time u e n' or 'time value'"
                     : "'time u e n' (the column file; a two-column record has no e and n)";
}

}  // namespace

RecordReader::RecordReader(suite::Context& context, const std::string& name, int column)
    : path_(name), context_(context), file_(context.OpenInput(name)), reader_(file_.stream()), column_(column) {
  try {
    ReadHead();
  } catch (...) {
    context_.Close(file_);  // no destructor runs for a constructor that throws
    throw;
  }
}

void RecordReader::ReadHead() {
  double t0 = 0, t1 = 0, v0 = 0, v1 = 0;
  if (!NextSample(&t0, &v0)) {
    throw textio::InputError(path_ + ": no samples (expected lines " + ExpectedForm(column_) + ")");
  }
  const long first_line = last_line_;
  if (!NextSample(&t1, &v1)) {
    throw textio::InputError(path_ + ": only one sample; the sampling interval is taken from the first two times");
  }
  dt_ = t1 - t0;
  if (!(dt_ > 0)) {
    Fail(last_line_, "time " + textio::Shortest(t1) + " does not increase from " + textio::Shortest(t0) + " on line " +
                         std::to_string(first_line) + "; the first two times fix the sampling interval");
  }
  absolute_ = t0 >= kEpochFrom;
  run_start_ns_ = Nanoseconds(t0);
  queued_[0] = {t0, v0};
  queued_[1] = {t1, v1};
  queued_count_ = 2;
  last_time_ = t1;
}

RecordReader::~RecordReader() { context_.Close(file_); }

void RecordReader::Fail(long line, const std::string& what) const {
  throw textio::InputError(path_ + " line " + std::to_string(line) + ": " + what);
}

bool RecordReader::NextSample(double* t, double* v) {
  // NaN marks a value the read did not give: a null (",,") or a slash
  // leaves its target untouched, and an end of input inside the read
  // leaves the later targets so.
  double fields[4] = {kNaN, kNaN, kNaN, kNaN};
  const textio::ReadResult r = reader_.ReadDoubles(std::span<double>(fields, static_cast<size_t>(column_) + 1));
  const double tv[2] = {fields[0], fields[column_]};
  if (r.status == textio::ReadStatus::kEnd) {
    if (std::isnan(tv[0])) return false;
    Fail(r.line, "the file ends inside a sample (expected " + ExpectedForm(column_) + ")");
  }
  if (r.status == textio::ReadStatus::kUnreadable) {
    Fail(r.line, "expected numbers " + ExpectedForm(column_) + ", got '" + r.text + "'");
  }
  if (r.line != last_line_ + 1 && last_line_ > 0) {
    Fail(r.line, "expected " + ExpectedForm(column_) +
                     " on each line; the sample read here began on an earlier line (a short or blank line before it)");
  }
  if (!std::isfinite(tv[0]) || !std::isfinite(tv[1])) {
    Fail(r.line, "expected finite numbers " + ExpectedForm(column_) + ", got time " + textio::Shortest(tv[0]) +
                     " and value " + textio::Shortest(tv[1]));
  }
  if (!(std::fabs(tv[0]) <= kLatestSeconds)) {
    Fail(r.line, "time " + textio::Shortest(tv[0]) +
                     " s lies beyond the year 2262 (9.2e9 s from 1970), where the clock of records ends");
  }
  last_line_ = r.line;
  *t = tv[0];
  *v = tv[1];
  return true;
}

size_t RecordReader::Read(double* out, size_t count) {
  size_t i = 0;
  for (; i < count && queued_next_ < queued_count_; ++i, ++queued_next_) {
    out[i] = queued_[queued_next_].v;
    last_delivered_time_ = queued_[queued_next_].t;
  }
  if (has_next_run_ || at_end_) return i;  // the run is over
  double t = 0, v = 0;
  for (; i < count; ++i) {
    if (!NextSample(&t, &v)) {
      at_end_ = true;
      break;
    }
    if (!(std::fabs((t - last_time_) - dt_) <= kStepTolerance * dt_)) {
      // Not the next sample of this run (a gap, a repeat, a jump): it
      // starts the next run.
      next_run_ = {t, v};
      has_next_run_ = true;
      break;
    }
    out[i] = v;
    last_delivered_time_ = last_time_ = t;
  }
  return i;
}

bool RecordReader::NextRun() {
  double skipped[256];
  while (Read(skipped, 256) > 0) {
  }
  if (!has_next_run_) return false;
  has_next_run_ = false;
  queued_[0] = next_run_;
  queued_count_ = 1;
  queued_next_ = 0;
  last_time_ = next_run_.t;
  run_start_ns_ = Nanoseconds(next_run_.t);
  return true;
}

}  // namespace circspec
