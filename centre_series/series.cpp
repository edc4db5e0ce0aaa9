#include "centre_series/series.h"

#include <utility>

#include "textio/format.h"

namespace corral {

Plan PlanFor(int32_t ncomp) {
  using enum Series;
  switch (ncomp) {
    case 1:
      return {2, {kVertical}};
    case 2:
      return {4, {kFirstHorizontal, kSecondHorizontal}};
    case 3:
      return {4, {kVertical, kFirstHorizontal, kSecondHorizontal}};
    default:
      return {};
  }
}

SeriesFormatter::SeriesFormatter(std::vector<Series> files) : files_(std::move(files)) {
  for (Series f : files_) {
    needs_u_ |= f == Series::kVertical;
    needs_first_ |= f == Series::kFirstHorizontal;
    needs_second_ |= f == Series::kSecondHorizontal;
  }
  textio::AppendG20_8(&zero_, 0.0);
}

namespace {
void Format(double v, std::string* field) {
  field->clear();
  textio::AppendG20_8(field, v);
}
}  // namespace

void SeriesFormatter::Append(const Sample& s, const std::vector<std::string*>& lines) {
  // The halves and the sign change are exact, each formed from the values
  // as read.
  Format(s.t, &t_);
  if (needs_u_) Format(s.u, &u_);
  if (needs_first_ || needs_second_) Format(s.e / 2.0, &half_e_);
  if (needs_first_) Format(-s.n / 2.0, &minus_half_n_);
  if (needs_second_) Format(s.n / 2.0, &half_n_);
  for (size_t k = 0; k < files_.size(); ++k) {
    std::string& line = *lines[k];
    line.append(t_);
    switch (files_[k]) {
      case Series::kVertical:
        line.append(u_).append(zero_);
        break;
      case Series::kFirstHorizontal:
        line.append(half_e_).append(minus_half_n_);
        break;
      case Series::kSecondHorizontal:
        line.append(half_n_).append(half_e_);
        break;
    }
    line.push_back('\n');
  }
}

}  // namespace corral
