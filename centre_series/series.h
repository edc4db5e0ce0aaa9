#ifndef CIRCARRAY_CENTRE_SERIES_SERIES_H_
#define CIRCARRAY_CENTRE_SERIES_SERIES_H_

#include <cstdint>
#include <string>
#include <vector>

namespace corral {

// The complex series of a centre station. With azimuth counted
// counterclockwise from east, the two horizontal series are the
// first-order circular Fourier coefficients of the radial and of the
// transverse motion about the centre; the second is the first times i.
enum class Series {
  kVertical,          // u + 0 i
  kFirstHorizontal,   // (e - i n) / 2
  kSecondHorizontal,  // (n + i e) / 2
};

// What `ncomp` asks for: values read per sample (the time included) and
// the series of output files 1, 2, ... in order. Counts other than 1, 2
// and 3 write no series and read no sample.
struct Plan {
  int values_per_sample = 0;
  std::vector<Series> files;
};
Plan PlanFor(int32_t ncomp);

// One sample as read: time and the components up, east, north.
struct Sample {
  double t = 0.0;
  double u = 0.0;
  double e = 0.0;
  double n = 0.0;
};

// Builds the "(3g20.8)" output lines of the series of a plan: time, real
// part, imaginary part in three fields of 20 columns.
class SeriesFormatter {
 public:
  explicit SeriesFormatter(std::vector<Series> files);

  // Appends the line of sample `s` for file k to *lines[k], for every file.
  void Append(const Sample& s, const std::vector<std::string*>& lines);

 private:
  std::vector<Series> files_;
  bool needs_u_ = false;
  bool needs_first_ = false;   // e/2 and -n/2
  bool needs_second_ = false;  // n/2 and e/2
  // Fields reused from sample to sample; each distinct value of a sample
  // is formatted once however many files show it.
  std::string t_, u_, half_e_, half_n_, minus_half_n_, zero_;
};

}  // namespace corral

#endif  // CIRCARRAY_CENTRE_SERIES_SERIES_H_
