#include "array_synthesis/record_writer.h"

#include <gtest/gtest.h>

#include <sstream>

namespace circsim {
namespace {

TEST(RecordWriter, TimeDigitsResolveAThousandthOfDt) {
  struct Case {
    long samples;
    int digits;
  };
  for (const Case& c : {Case{1, 9}, Case{4, 9}, Case{180000, 9}, Case{1000000, 9}, Case{1000001, 10}, Case{8640000, 10},
                        Case{2147483647, 13}}) {
    EXPECT_EQ(TimeDigits(c.samples), c.digits) << c.samples;
  }
}

TEST(RecordWriter, OneLinePerSampleTimeFromDt) {
  StationRecord record(4);
  const double u[] = {1, -2.5, 0.125, 1e-7};
  const double e[] = {0, 3, -1e10, 2};
  const double n[] = {-0.5, 0.1, 7, -8};
  for (int j = 0; j < 4; ++j) {
    record.data(kVertical)[j] = u[j];
    record.data(kEast)[j] = e[j];
    record.data(kNorth)[j] = n[j];
  }
  std::ostringstream os;
  {
    textio::Output out(os);
    WriteColumns(record, 0.01, 0, 4, out);
    out.Flush();
  }
  // The suite's free-format fields: fixed notation with trailing blanks
  // from 0.1 up, E notation below and beyond.
  EXPECT_EQ(os.str(),
            "   1.00000000E-02   1.000       0.000     -0.5000    \n"
            "   2.00000000E-02  -2.500       3.000      0.1000    \n"
            "   3.00000000E-02  0.1250      -1.000E+10   7.000    \n"
            "   4.00000000E-02   1.000E-07   2.000      -8.000    \n");
}

}  // namespace
}  // namespace circsim
