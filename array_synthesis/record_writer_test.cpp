#include "array_synthesis/record_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "array_synthesis/scientific.h"

namespace circsim {
namespace {

TEST(Scientific, CorrectlyRoundedWithASignSlot) {
  struct Case {
    double v;
    int digits;
    const char* text;
  };
  const Case cases[] = {
      {0, 9, " 0.00000000e+00"},
      {-0.0, 9, "-0.00000000e+00"},
      {1, 9, " 1.00000000e+00"},
      {0.123456789012, 9, " 1.23456789e-01"},
      {-450, 9, "-4.50000000e+02"},
      {0.3, 17, " 2.9999999999999999e-01"},  // the binary value, exactly rounded
      {2.5, 1, " 2e+00"},                    // ties to even on the exact value
      {3.5, 1, " 4e+00"},
      {9.9996, 4, " 1.000e+01"},
      {1e-300, 3, " 1.00e-300"},
      {6.02214076e23, 5, " 6.0221e+23"},
  };
  for (const Case& c : cases) {
    std::string s = "x";
    AppendScientific(&s, c.v, c.digits);
    EXPECT_EQ(s, std::string("x") + c.text) << c.v << " with " << c.digits;
  }
  EXPECT_EQ(ShortestReal(0.01), "0.01");
  EXPECT_EQ(ShortestReal(1800), "1800");
}

TEST(RecordWriter, TimeDigitsResolveAThousandthOfDt) {
  struct Case {
    long samples;
    int digits;
  };
  for (const Case& c : {Case{1, 9}, Case{4, 9}, Case{180000, 9}, Case{1000000, 9}, Case{1000001, 10},
                        Case{8640000, 10}, Case{2147483647, 13}}) {
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
    WriteColumns(record, 0.01, 4, out);
    out.Flush();
  }
  EXPECT_EQ(os.str(),
            "  1.00000000e-02  1.000e+00  0.000e+00 -5.000e-01\n"
            "  2.00000000e-02 -2.500e+00  3.000e+00  1.000e-01\n"
            "  3.00000000e-02  1.250e-01 -1.000e+10  7.000e+00\n"
            "  4.00000000e-02  1.000e-07  2.000e+00 -8.000e+00\n");
}

}  // namespace
}  // namespace circsim
