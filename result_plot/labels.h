#ifndef CIRCARRAY_RESULT_PLOT_LABELS_H_
#define CIRCARRAY_RESULT_PLOT_LABELS_H_

#include <cstddef>
#include <string>

namespace circplot {

// The name of an input in labels: its file name without the folders.
std::string Name(const std::string& source);

// A number in a label, to `digits` significant digits ("10", "2.5").
std::string LabelNumber(double v, int digits = 6);

// "1 frequency", "3 frequencies".
std::string Frequencies(size_t n);

// "r = 10 m".
std::string RadiusText(double r);

}  // namespace circplot

#endif  // CIRCARRAY_RESULT_PLOT_LABELS_H_
