#ifndef CIRCARRAY_RATIO_INVERSION_VANTOR_FORMAT_H_
#define CIRCARRAY_RATIO_INVERSION_VANTOR_FORMAT_H_

// The interchange contract of vantor, shared by the program that reads and
// writes by it and by every program that prepares its input or reads its
// output: circspec --for vantor:ITYPE, circplot, circdisp. docs/vantor.md
// describes it in words.
//
// Input: a parameter record "itype radius fstep fend", for the two-ring
// types a record of the inner radius, then lines "frequency observed".
// Each type code names an observed quantity (as circspec names it) and
// the model of x = k*r it is compared with; vantor solves model(x) =
// observed for x within the code's bracket, on which the model is
// monotonic, and writes the phase velocity 2*pi*f*r/x.
//
// Output, one line per frequency used, in free format:
//   frequency velocity velocity/(radius*frequency)   a root
//   frequency velocity SINGULAR_POINT                 the search ended at a possible pole
//   frequency 999.0 NO_ROOT status observed           no root in the bracket

#include <cstdint>
#include <string_view>

namespace vantor {

// The model functions of x = k*r (J0, J1, J2 Bessel functions of the first
// kind; s = inner radius / outer radius).
enum class Model {
  kBslj0,     // J0                       (SPAC coefficient)
  kBslj02,    // J0^2
  kBslj12,    // J1^2
  kBslj012,   // J0 / J1^2
  kBslj0212,  // J0^2 / J1^2              (power ratio of circular components)
  kBslj1212,  // J1(x)^2 / J1(s x)^2      (two circles)
  kBslj1111,  // J1(x) / J1(s x)
  kCcaML,     // (J0 - J2) / (J0 + J2)
  kSpacML,    // J0 - J2
  kSpacPL,    // J0 + J2
};

// One type code: its model, the bracket of the root search (B = lower,
// C = R = upper), whether it reads the inner radius, and the quantity of
// circspec it compares with. The horizontal models (21 to 23) compare with
// the radial or the transverse SPAC coefficient depending on the wave:
// Rayleigh waves move radially (J0 - J2 on the radial component), Love
// waves transversely.
struct Itype {
  int32_t code;
  Model model;
  float lower, upper;
  bool reads_radius2;
  std::string_view formula;        // the model, for help texts
  std::string_view observed;       // circspec's quantity (Rayleigh waves, for the horizontal ones)
  std::string_view observed_love;  // the horizontal ones with Love waves; "" for the others
};

// Brackets: 3.83 lies just below the first zero of J1, 2.4 just below the
// first zero of J0, 1.84 just below the first maximum of J1, so each model
// is monotonic on its bracket. The values are the single-precision values
// of these decimals.
inline constexpr Itype kItypes[] = {
    {1, Model::kBslj0, 0.0f, 3.83f, false, "J0", "spac", ""},
    {2, Model::kBslj02, 0.0f, 2.4f, false, "J0^2", "j0sq", ""},
    {3, Model::kBslj12, 0.0f, 1.84f, false, "J1^2", "j1sq", ""},
    {4, Model::kBslj012, 0.001f, 3.83f, false, "J0/J1^2", "j0j1sq", ""},
    {5, Model::kBslj0212, 0.001f, 2.4f, false, "J0^2/J1^2", "cca", ""},
    {10, Model::kBslj1212, 0.001f, 3.83f, true, "J1(x)^2/J1(s x)^2", "ringsq", ""},
    {11, Model::kBslj1111, 0.001f, 3.83f, true, "J1(x)/J1(s x)", "ring", ""},
    {21, Model::kCcaML, 0.001f, 3.7f, false, "(J0-J2)/(J0+J2)", "spac_rt", "spac_tr"},
    {22, Model::kSpacML, 0.001f, 3.5f, false, "J0-J2", "spac_r", "spac_t"},
    {23, Model::kSpacPL, 0.001f, 5.1f, false, "J0+J2", "spac_t", "spac_r"},
};

// The entry of `code`, or nullptr for a code outside the table.
constexpr const Itype* FindItype(int32_t code) {
  for (const Itype& e : kItypes) {
    if (e.code == code) return &e;
  }
  return nullptr;
}

// The output lines. The marks are written as these texts, blanks included.
inline constexpr float kNoRootVelocity = 999.0f;
inline constexpr std::string_view kSingularPointText = " SINGULAR_POINT";
inline constexpr std::string_view kNoRootText = " NO_ROOT ";
// The marks as fields of a line.
inline constexpr std::string_view kSingularPoint = kSingularPointText.substr(1);
inline constexpr std::string_view kNoRoot = kNoRootText.substr(1, 7);

}  // namespace vantor

#endif  // CIRCARRAY_RATIO_INVERSION_VANTOR_FORMAT_H_
