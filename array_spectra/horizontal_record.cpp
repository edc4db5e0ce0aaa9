#include "array_spectra/horizontal_record.h"

#include <cmath>
#include <deque>
#include <limits>

#include "textio/errors.h"
#include "textio/format.h"
#include "textio/free_reader.h"

namespace circspec {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// A step may differ from the sampling interval by this fraction of it.
constexpr double kStepTolerance = 0.01;
constexpr char kExpected[] = "'time u e n' (the column file; --component h needs e and n)";

// The file and its reading, shared by the two components.
class ColumnFile {
 public:
  ColumnFile(suite::Context& context, const std::string& name)
      : path_(name), context_(context), file_(context.OpenInput(name)), reader_(file_.stream()) {
    try {
      ReadHead();
    } catch (...) {
      context_.Close(file_);
      throw;
    }
  }
  ~ColumnFile() { context_.Close(file_); }
  ColumnFile(const ColumnFile&) = delete;
  ColumnFile& operator=(const ColumnFile&) = delete;

  const std::string& path() const { return path_; }
  double t0() const { return t0_; }
  double dt() const { return dt_; }

  // The next sample of component c (0 east, 1 north) and its time; false
  // at the end of the record.
  bool Next(int c, double* t, double* v) {
    std::deque<Sample>& mine = pending_[c];
    if (mine.empty()) {
      Sample s;
      if (!NextLine(&s)) return false;
      pending_[1 - c].push_back(s);
      mine.push_back(s);
    }
    *t = mine.front().t;
    *v = mine.front().v[c];
    mine.pop_front();
    return true;
  }

 private:
  struct Sample {
    double t;
    double v[2];
  };

  void ReadHead() {
    Sample first, second;
    if (!NextLine(&first)) throw textio::InputError(path_ + ": no samples (expected lines " + kExpected + ")");
    const long first_line = last_line_;
    if (!NextLine(&second)) {
      throw textio::InputError(path_ + ": only one sample; the sampling interval is taken from the first two times");
    }
    t0_ = first.t;
    dt_ = second.t - first.t;
    if (!(dt_ > 0)) {
      Fail(last_line_, "time " + textio::Shortest(second.t) + " does not increase from " + textio::Shortest(first.t) +
                           " on line " + std::to_string(first_line) + "; the first two times fix the sampling interval");
    }
    for (auto& queue : pending_) {
      queue.push_back(first);
      queue.push_back(second);
    }
  }

  [[noreturn]] void Fail(long line, const std::string& what) const {
    throw textio::InputError(path_ + " line " + std::to_string(line) + ": " + what);
  }

  bool NextLine(Sample* s) {
    // NaN marks a value the read did not give (a null, a slash, the end).
    double tuen[4] = {kNaN, kNaN, kNaN, kNaN};
    const long before = reader_.line_number();
    const textio::ReadResult r = reader_.ReadDoubles(tuen);
    if (r.status == textio::ReadStatus::kEnd) {
      if (std::isnan(tuen[0])) return false;
      Fail(r.line, std::string("the file ends inside a sample (expected ") + kExpected + ")");
    }
    if (r.status == textio::ReadStatus::kUnreadable) {
      Fail(r.line, std::string("expected numbers ") + kExpected + ", got '" + r.text + "'");
    }
    if (r.line != before + 1) {
      Fail(r.line, std::string("expected ") + kExpected +
                       " on each line; the sample read here began on an earlier line (a line of fewer than four "
                       "numbers, as in a two-column record, or a blank line)");
    }
    for (double x : tuen) {
      if (!std::isfinite(x)) {
        Fail(r.line, std::string("expected finite numbers ") + kExpected + ", got time " + textio::Shortest(tuen[0]) +
                         ", e " + textio::Shortest(tuen[2]) + " and n " + textio::Shortest(tuen[3]));
      }
    }
    if (lines_read_ >= 2) {
      const double step = tuen[0] - last_time_;
      if (!(std::fabs(step - dt_) <= kStepTolerance * dt_)) {
        Fail(r.line, "time " + textio::Shortest(tuen[0]) + " follows " + textio::Shortest(last_time_) +
                         ": a step of " + textio::Shortest(step) + " s where the sampling interval is " +
                         textio::Shortest(dt_) + " s (a gap or jump in the record)");
      }
    }
    last_line_ = r.line;
    last_time_ = tuen[0];
    ++lines_read_;
    *s = {tuen[0], {tuen[2], tuen[3]}};
    return true;
  }

  std::string path_;
  suite::Context& context_;
  suite::InputFile& file_;
  textio::FreeReader reader_;
  double t0_ = 0, dt_ = 0;
  long last_line_ = 0;  // line of the last sample read
  long lines_read_ = 0;
  double last_time_ = 0;
  std::deque<Sample> pending_[2];  // read but not yet delivered, per component
};

// One component of a shared ColumnFile.
class Component : public SampleSource {
 public:
  Component(std::shared_ptr<ColumnFile> file, int component)
      : file_(std::move(file)),
        component_(component),
        name_(file_->path() + (component == 0 ? " (e)" : " (n)")) {}

  const std::string& name() const override { return name_; }
  double start_time() const override { return file_->t0(); }
  double first_step() const override { return file_->dt(); }
  size_t Read(double* out, size_t count) override {
    size_t i = 0;
    double t = 0;
    for (; i < count && file_->Next(component_, &t, &out[i]); ++i) last_time_ = t;
    delivered_ += static_cast<long>(i);
    return i;
  }
  long samples_read() const override { return delivered_; }
  double last_time() const override { return last_time_; }

 private:
  std::shared_ptr<ColumnFile> file_;
  int component_;
  std::string name_;
  long delivered_ = 0;
  double last_time_ = 0;
};

}  // namespace

std::pair<std::unique_ptr<SampleSource>, std::unique_ptr<SampleSource>> OpenHorizontal(suite::Context& context,
                                                                                          const std::string& name) {
  auto file = std::make_shared<ColumnFile>(context, name);
  return {std::make_unique<Component>(file, 0), std::make_unique<Component>(file, 1)};
}

}  // namespace circspec
