#ifndef CIRCARRAY_ARRAY_SPECTRA_OUTPUT_FORMS_H_
#define CIRCARRAY_ARRAY_SPECTRA_OUTPUT_FORMS_H_

#include <optional>
#include <string>
#include <vector>

#include "array_spectra/dispersion_estimate.h"
#include "array_spectra/quantities.h"
#include "textio/output.h"

namespace circspec {

// One column pair of the table: a quantity and its standard error.
struct Column {
  Quantity quantity;
  Series series;
};

// The table: "# " header lines, the last of them the column names
//   # freq spac spac_se coh coh_se ... segments
// then one line per output frequency: the frequency, each quantity and
// its standard error (9 significant digits, "nan" where undefined) and
// the number of segments used. Loadable by gnuplot and numpy.loadtxt.
void WriteTable(textio::Output& out, const std::vector<std::string>& header, const std::vector<double>& frequencies,
                const std::vector<Column>& columns, long segments);

// The dispersion curve: "# " header lines, the last of them the column
// names
//   # freq c c_se method kr lambda_over_r eps eps_se c_spac c_spac_se flag_spac ...
// then one line per frequency: the best estimate (nan and "-" where no
// method is valid), its k r and wavelength over the radius `radius`, the
// noise ratio, and each method's velocity, error and flag. Numbers with 9
// significant digits; "nan" where undefined.
void WriteCurve(textio::Output& out, const std::vector<std::string>& header, double radius,
                const DispersionCurve& curve);

// The standard input of vantor for model `itype`: the parameter record
//   itype radius 0.0 fmax
// (fstep 0, so every frequency is used; the run ends at fmax), for itype
// 10 and 11 the record of the inner radius, then "frequency value
// stderr" lines (vantor reads the first two). Frequencies whose value is
// not finite are left out; returns their count.
long WriteVantor(textio::Output& out, int itype, double radius, std::optional<double> inner_radius, double fmax,
                 const std::vector<double>& frequencies, const Series& series);

// The standard input of quillon: "radius nsta", then one record
//   f coh f spac f cca
// per frequency (quillon does not use the sixth value; it carries the
// CCA ratio along). Frequencies where any of the three is not finite are
// left out; returns their count.
long WriteQuillon(textio::Output& out, double radius, int stations, const std::vector<double>& frequencies,
                  const Series& coh, const Series& spac, const Series& cca);

}  // namespace circspec

#endif  // CIRCARRAY_ARRAY_SPECTRA_OUTPUT_FORMS_H_
