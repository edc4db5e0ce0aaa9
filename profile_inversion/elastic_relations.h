#ifndef CIRCARRAY_PROFILE_INVERSION_ELASTIC_RELATIONS_H_
#define CIRCARRAY_PROFILE_INVERSION_ELASTIC_RELATIONS_H_

namespace circinv {

// The ratio vp / vs of an isotropic elastic solid of Poisson's ratio nu
// (-1 < nu < 0.5): sqrt((2 - 2 nu) / (1 - 2 nu)). It grows with nu, from
// sqrt(2) at nu = 0 without bound as nu nears 0.5.
double VpVsRatio(double nu);

// The Poisson's ratio of the ratio vp / vs = r > 1, the inverse of
// VpVsRatio: (r^2 - 2) / (2 (r^2 - 1)).
double PoissonOfVpVsRatio(double r);

// Density (kg/m^3) from the P velocity (m/s) by Gardner, Gardner &
// Gregory (1974): rho = 1741 vp^0.25 with vp in km/s. The relation was fitted
// to sedimentary rocks of 1.5 to 6.1 km/s (Brocher 2005); below 1.5 km/s it
// would give unphysically light soils (1290 kg/m^3 at 300 m/s), so slower
// materials take its value at 1.5 km/s, 1926 kg/m^3, a typical density of
// soil. Dispersion curves depend on density contrasts only weakly.
double GardnerDensity(double vp);

}  // namespace circinv

#endif  // CIRCARRAY_PROFILE_INVERSION_ELASTIC_RELATIONS_H_
