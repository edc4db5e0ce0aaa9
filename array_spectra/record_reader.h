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
// Checked while reading, each failure an InputError naming the file and
// the line:
//  - every line holds its two numbers (a read that runs on to the next
//    line, a blank line inside the record, a missing, unreadable or
//    non-finite value);
//  - the first time step dt = t1 - t0 is positive, and every later step
//    differs from dt by at most 1 % of dt (more is a gap or a jump).
// Blank lines after the last sample end the record quietly.
//
// The file is opened through the run's context (a relative name is taken
// from the run's directory) and closed again when the reader goes.
class RecordReader : public SampleSource {
 public:
  // Opens `name` and reads its first two samples. Throws InputError if the
  // file cannot be opened or holds fewer than two samples.
  RecordReader(suite::Context& context, const std::string& name, int column = 1);
  ~RecordReader() override;
  RecordReader(const RecordReader&) = delete;
  RecordReader& operator=(const RecordReader&) = delete;

  const std::string& name() const override { return path_; }
  double start_time() const override { return t0_; }
  double first_step() const override { return dt_; }
  size_t Read(double* out, size_t count) override;
  long samples_read() const override { return delivered_; }
  double last_time() const override { return last_delivered_time_; }

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

  double t0_ = 0, dt_ = 0;
  double head_value_[2] = {0, 0};  // the first two samples, read when opening
  double head_time_[2] = {0, 0};
  int head_pending_ = 0;  // of them not yet delivered

  long last_line_ = 0;    // line of the last sample read
  double last_time_ = 0;  // time of the last sample read
  long delivered_ = 0;
  double last_delivered_time_ = 0;
};

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_RECORD_READER_H_
