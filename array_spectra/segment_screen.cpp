#include "array_spectra/segment_screen.h"

#include <algorithm>
#include <limits>

namespace circspec {

void RunningMedian::Add(double v) {
  if (lower_.empty() || v <= lower_.top()) {
    lower_.push(v);
  } else {
    upper_.push(v);
  }
  // Balance: lower holds half, or one more.
  if (lower_.size() > upper_.size() + 1) {
    upper_.push(lower_.top());
    lower_.pop();
  } else if (upper_.size() > lower_.size()) {
    lower_.push(upper_.top());
    upper_.pop();
  }
}

double RunningMedian::Median() const {
  if (lower_.empty()) return std::numeric_limits<double>::quiet_NaN();
  if (lower_.size() > upper_.size()) return lower_.top();
  return 0.5 * (lower_.top() + upper_.top());
}

SegmentScreen::SegmentScreen(size_t stations, double k) : stations_(stations), k_(k), running_(stations) {}

SegmentScreen::Verdict SegmentScreen::Record(const double* rms) {
  Verdict verdict = running_.front().size() >= kWarmup ? Verdict::kKeep : Verdict::kDefer;
  for (size_t j = 0; j < stations_; ++j) {
    if (verdict == Verdict::kKeep && !(rms[j] <= kMargin * k_ * running_[j].Median())) verdict = Verdict::kDefer;
  }
  for (size_t j = 0; j < stations_; ++j) {
    running_[j].Add(rms[j]);
    rms_.push_back(rms[j]);
  }
  return verdict;
}

void SegmentScreen::Finish() {
  medians_.assign(stations_, std::numeric_limits<double>::quiet_NaN());
  running_.clear();  // the exact medians replace the running ones
  const size_t n = rms_.size() / stations_;
  if (n == 0) return;
  std::vector<double> column(n);
  for (size_t j = 0; j < stations_; ++j) {
    for (size_t s = 0; s < n; ++s) column[s] = rms_[s * stations_ + j];
    std::sort(column.begin(), column.end());
    medians_[j] = n % 2 == 1 ? column[n / 2] : 0.5 * (column[n / 2 - 1] + column[n / 2]);
  }
}

bool SegmentScreen::Rejected(long s) const {
  const double* rms = &rms_[static_cast<size_t>(s) * stations_];
  for (size_t j = 0; j < stations_; ++j) {
    if (rms[j] > k_ * medians_[j]) return true;
  }
  return false;
}

long SegmentScreen::rejected_count() const {
  long n = 0;
  for (long s = 0; s < segments(); ++s) n += Rejected(s) ? 1 : 0;
  return n;
}

}  // namespace circspec
