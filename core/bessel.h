#ifndef CIRCARRAY_CORE_BESSEL_H_
#define CIRCARRAY_CORE_BESSEL_H_

#include <exception>

namespace core {

// The Bessel routine's refusal to evaluate: a nonzero underflow count `nz`
// or error indicator `ierr`. The core only reports it; the programs that
// evaluate Bessel functions decide what a refusal means for a run.
class BesselRefusal : public std::exception {
 public:
  BesselRefusal(int nz, int ierr) : nz_(nz), ierr_(ierr) {}
  const char* what() const noexcept override { return "Bessel evaluation refused"; }
  int nz() const { return nz_; }
  int ierr() const { return ierr_; }

 private:
  int nz_;
  int ierr_;
};

// J_order(x), the Bessel function of the first kind, for the real orders
// 0, 1 and 2, in single precision: evaluated in double precision and
// rounded to float. Arguments outside the range of the classic complex
// Bessel routine this replaces are refused the same way it refused them:
//   x NaN                              -> nz = 1, ierr = 0
//   |x| > 4194304 (2^22, or infinite)  -> ierr = 4 (no precision left)
//   |x| > 2048                         -> ierr = 3 (half precision lost)
//   order 1, 0 < |x| <= 4.634932e-35   -> nz = 1 (J1 underflows)
//   order 2, 0 < |x| <= 1.3616057e-17  -> nz = 1 (J2 underflows)
// and each refusal throws BesselRefusal.
float cal_bsl(float order, float x);

}  // namespace core

#endif  // CIRCARRAY_CORE_BESSEL_H_
