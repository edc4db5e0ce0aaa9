#include "spectral_noise/closed_form_epsilon.h"

#include "spectral_noise/complex_pair.h"

namespace hollin {

namespace {

// Group g of a record holds (abscissa, Re G_g, Im G_g, fourth value).
Cpx Group(std::span<const float> a, size_t g) { return {a[4 * g + 1], a[4 * g + 2]}; }

// Real part of Z / E once the constant term n_over_nsta has been added to
// the real part of E; nothing when E is zero.
std::optional<float> SolveReal(Cpx z, Cpx e, float n_over_nsta) {
  e.re = e.re + n_over_nsta;
  if (IsZero(e)) return std::nullopt;
  return Div(z, e).re;
}

}  // namespace

std::optional<float> Mode1Epsilon(std::span<const float> a, int32_t nsta) {
  const Cpx g0 = Group(a, 0), g1 = Group(a, 1), g3 = Group(a, 3);
  if (IsZero(g0) || IsZero(g1) || IsZero(g3)) return std::nullopt;

  const Cpx A = Div(Group(a, 4), g0);
  const Cpx B = Div(Group(a, 6), g3);
  const Cpx K = Div(Group(a, 5), g1);
  const Cpx D = Div(Group(a, 2), g1);

  const Cpx d_ab = Mul(D, Add(A, B));
  const Cpx e = Sub(d_ab, K);
  const Cpx z = Add(Sub(Mul(A, B), d_ab), K);
  return SolveReal(z, e, 2.0f / static_cast<float>(nsta));
}

std::optional<float> Mode2Epsilon(std::span<const float> a, int32_t nsta) {
  const Cpx g0 = Group(a, 0), g1 = Group(a, 1), g3 = Group(a, 3);
  const Cpx g7 = Group(a, 7), g9 = Group(a, 9), g10 = Group(a, 10);
  if (IsZero(g0) || IsZero(g1) || IsZero(g3) || IsZero(g7) || IsZero(g9) || IsZero(g10)) {
    return std::nullopt;
  }

  const Cpx two{2.0f, 0.0f};
  const Cpx P = Add(Div(Group(a, 2), g1), Div(Group(a, 11), g1));
  const Cpx Q = Add(Add(Div(Group(a, 5), g1), Div(Mul(two, Group(a, 8)), g7)), Div(Group(a, 14), g1));
  const Cpx S = Add(Div(Group(a, 12), g9), Div(Group(a, 4), g0));
  const Cpx R = Add(Div(Group(a, 6), g3), Div(Group(a, 13), g10));

  const Cpx p_sr = Mul(P, Add(S, R));
  const Cpx e = Sub(p_sr, Q);
  const Cpx z = Add(Sub(Mul(S, R), p_sr), Q);
  return SolveReal(z, e, 4.0f / static_cast<float>(nsta));
}

}  // namespace hollin
