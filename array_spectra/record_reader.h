#ifndef CIRCARRAY_ARRAY_SPECTRA_RECORD_READER_H_
#define CIRCARRAY_ARRAY_SPECTRA_RECORD_READER_H_

#include <string>

#include "array_spectra/sample_source.h"
#include "suite/context.h"
#include "textio/free_reader.h"

namespace circspec {

// A station record in the suite's text forms, one sample per line:
//   time u e n     (the column file, as wendle and corral read it)
//   time value     (the two-column file, as wendle writes it)
// read with textio's free-format reader. Only the fields up to the
// component read are converted: time and the vertical u (or the value)
// for column 1, the default; e is column 2, n column 3. The rest of the
// line is not examined, which halves the parsing work on column files.
//
// The sampling interval dt is the first time step t1 - t0, which must be
// positive. A later step within 1 % of dt continues the run; any other
// step (a gap, a time that goes back or repeats, a jump of the clock)
// ends it, and the line's sample starts the next run at its own time.
// Times are seconds; a record whose first time is 1e8 s or more (after
// 1973-03-03) is taken as epoch seconds, UTC (as seis2col --epoch writes
// them).
//
// Checked while reading, each failure an InputError naming the file and
// the line: every line holds its two numbers (a read that runs on to the
// next line, a blank line inside the record, a missing, unreadable or
// non-finite value), and every time lies within kLatestSeconds. Blank
// lines after the last sample end the record quietly.
//
// The file is opened through the run's context (a relative name is taken
// from the run's directory) and closed again when the reader goes.
class RecordReader : public SampleSource {
 public:
  // Times at or after this are epoch seconds.
  static constexpr double kEpochFrom = 1e8;

  // Opens `name` and reads its first two samples. Throws InputError if the
  // file cannot be opened or holds fewer than two samples.
  RecordReader(suite::Context& context, const std::string& name, int column = 1);
  ~RecordReader() override;
  RecordReader(const RecordReader&) = delete;
  RecordReader& operator=(const RecordReader&) = delete;

  const std::string& name() const override { return path_; }
  double interval() const override { return dt_; }
  bool absolute_time() const override { return absolute_; }
  int64_t run_start_ns() const override { return run_start_ns_; }
  size_t Read(double* out, size_t count) override;
  bool NextRun() override;
  int64_t last_time_ns() const override { return Nanoseconds(last_delivered_time_); }

 private:
  // Reads the first two samples, which fix the start and the interval.
  void ReadHead();
  // Reads the next line's sample; false at the end of the record.
  bool NextSample(double* t, double* v);
  [[noreturn]] void Fail(long line, const std::string& what) const;

  std::string path_;
  suite::Context& context_;
  suite::InputFile& file_;
  textio::FreeReader reader_;
  int column_ = 1;  // 1 u (or the value), 2 e, 3 n

  struct Sample {
    double t, v;
  };

  double dt_ = 0;
  bool absolute_ = false;
  int64_t run_start_ns_ = 0;
  // Samples of the current run read but not yet delivered (the first two
  // samples after opening, or the first of a run).
  Sample queued_[2] = {};
  int queued_count_ = 0, queued_next_ = 0;
  // The sample read that begins the next run.
  Sample next_run_{};
  bool has_next_run_ = false;
  bool at_end_ = false;  // no sample left in the file

  long last_line_ = 0;    // line of the last sample read
  double last_time_ = 0;  // time of the last sample of the current run read
  double last_delivered_time_ = 0;
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_RECORD_READER_H_
