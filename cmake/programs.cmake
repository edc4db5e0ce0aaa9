# The programs of the suite, one entry each: name|directory|summary, and
# for a program with a fuzz target |fuzz:STEP (see fuzz/CMakeLists.txt).
# Everything that needs the list of programs reads it here: the build (one
# subdirectory each), installation and manual pages, the hardening tests,
# the fuzz targets, and the scripts (through bin/programs.txt). Adding a
# program means one line here, its directory, and its cases under
# tests/cases/<name>/.
set(CIRCARRAY_PROGRAMS
    "vantor|ratio_inversion|phase velocity from an observed array quantity|fuzz:stdin"
    "quillon|noise_ratio|noise-to-signal ratio and resolution limit of a circular array|fuzz:stdin"
    "tessel|noise_table|table of the noise level that biases J0^2/J1^2 like a shift of k*r|fuzz:stdin"
    "gauger|rms_eval|RMS of sliding windows of one component relative to the whole record|fuzz:files"
    "wendle|component_split|split three-component column files into one file per component|fuzz:files"
    "corral|centre_series|complex series of a centre station|fuzz:files"
    "hollin|spectral_noise|closed-form noise-to-signal ratio from complex spectral values|fuzz:stdin"
    "resampa|log_resample|resample a positive curve onto a uniform grid in the logarithm|fuzz:own"
    "snippa|segment_extract|cut one fixed-length segment out of a series|fuzz:stdin"
    "circsim|array_synthesis|synthetic records of a circular array with known dispersion"
    "circspec|array_spectra|SPAC coefficients, coherence and CCA ratio from the records of a circular array"
    "circplot|result_plot|pictures of array spectra, dispersion curves and noise ratios"
    "seis2col|seismic_convert|column text file from a station's miniSEED or SAC channels"
    "circdisp|dispersion_curve|merge dispersion curves of several arrays into one"
    "circinv|profile_inversion|shear-velocity profile and Vs30 from dispersion curves")

# suite_program_fields(ENTRY NAME DIR SUMMARY): the first three fields of
# an entry.
macro(suite_program_fields entry name_var dir_var summary_var)
  string(REPLACE "|" ";" _fields "${entry}")
  list(GET _fields 0 ${name_var})
  list(GET _fields 1 ${dir_var})
  list(GET _fields 2 ${summary_var})
endmacro()

# suite_program_fuzz_step(ENTRY STEP): the entry's fuzz step, "" if none.
macro(suite_program_fuzz_step entry step_var)
  set(${step_var} "")
  string(REPLACE "|" ";" _fields "${entry}")
  foreach(_field IN LISTS _fields)
    if(_field MATCHES "^fuzz:(.+)$")
      set(${step_var} ${CMAKE_MATCH_1})
    endif()
  endforeach()
endmacro()

# Every program lands in bin/ of the build, and bin/programs.txt lists
# them (name and directory) for the scripts.
set(CIRCARRAY_BIN_DIR ${PROJECT_BINARY_DIR}/bin)
set(_list "")
foreach(entry IN LISTS CIRCARRAY_PROGRAMS)
  suite_program_fields("${entry}" name dir summary)
  string(APPEND _list "${name} ${dir}\n")
endforeach()
file(MAKE_DIRECTORY ${CIRCARRAY_BIN_DIR})
file(WRITE ${CIRCARRAY_BIN_DIR}/programs.txt "${_list}")

# The declarations of every program, made from the list as
# suite/programs.h in the build's generated/ folder (on the include path of
# everything that links suite). A program's directory defines the pair
# <name>::Run and <name>::kProgram; tests, benchmarks, fuzz targets and the
# hardening checks reach a program through this header, and each program's
# main() is made from suite/main.cpp.in. file(CONFIGURE) rewrites the
# header only when the list changes, so a new configure does not rebuild
# everything.
set(CIRCARRAY_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
set(_declarations "")
set(_addresses "")
foreach(entry IN LISTS CIRCARRAY_PROGRAMS)
  suite_program_fields("${entry}" name dir summary)
  string(APPEND _declarations
         "// ${summary} (${dir}/)\n"
         "namespace ${name} {\n"
         "void Run(suite::Context& context);\n"
         "extern const suite::Program kProgram;\n"
         "}  // namespace ${name}\n\n")
  string(APPEND _addresses "    &${name}::kProgram,\n")
endforeach()
file(CONFIGURE OUTPUT ${CIRCARRAY_GENERATED_DIR}/suite/programs.h
     CONTENT [[
// Made by cmake/programs.cmake from the program list: do not edit.
#ifndef CIRCARRAY_SUITE_PROGRAMS_H_
#define CIRCARRAY_SUITE_PROGRAMS_H_

#include "suite/context.h"
#include "suite/program.h"

@_declarations@namespace suite {

// Every program of the list, in its order. Naming it links every program.
inline const Program* const kAllPrograms[] = {
@_addresses@};

}  // namespace suite

#endif  // CIRCARRAY_SUITE_PROGRAMS_H_
]] @ONLY)
