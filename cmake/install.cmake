# Installation of the programs of cmake/programs.cmake with their manual pages, and the Debian
# package built from the same rules by CPack (`cpack -G DEB` in the build
# directory).

include(GNUInstallDirs)

find_program(HELP2MAN help2man)
if(NOT HELP2MAN)
  message(STATUS "help2man not found: no manual pages (apt-get install help2man)")
endif()

set(CIRCARRAY_INSTALLED_PROGRAMS "")
set(man_pages "")
foreach(entry IN LISTS CIRCARRAY_PROGRAMS)
  suite_program_fields("${entry}" program dir description)
  list(APPEND CIRCARRAY_INSTALLED_PROGRAMS ${program})
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(HELP2MAN)
    # Installed compressed, as Debian keeps manual pages: gzip -n leaves no
    # name or time stamp in the file, so the package is reproducible.
    set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}>
              -DDESCRIPTION=${description} -DOUTPUT=${page} -DHELP2MAN=${HELP2MAN}
              -P ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
      COMMAND gzip -9nf ${page}
      DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
      COMMENT "Manual page ${program}.1"
      VERBATIM)
    list(APPEND man_pages ${page}.gz)
  endif()
endforeach()

if(man_pages)
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  set(CIRCARRAY_MAN_PAGES ON)
else()
  set(CIRCARRAY_MAN_PAGES OFF)
endif()

# The package's copyright notice and changelog, where Debian keeps them.
set(CIRCARRAY_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/circarray)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/changelog.Debian.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog.Debian > ${PROJECT_BINARY_DIR}/changelog.Debian.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog.Debian
  VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${CIRCARRAY_DOC_DIR})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME circarray)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The first Debian revision of this upstream version (its changelog is
# packaging/changelog.Debian).
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_VENDOR "circarray")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "command-line tools for circular seismic array analysis")
set(CPACK_PACKAGE_DESCRIPTION
    "Programs for records of circular seismic arrays: SPAC coefficients,
coherence and CCA ratio from station records, synthetic records with known
dispersion, phase velocity from the observed quantities, noise-to-signal
ratio and resolution limit, noise-effect tables, windowed RMS, component
splitting, centre-station complex series, log-domain resampling, segment
extraction and pictures of the results.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "circarray maintainers <maintainers@circarray.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1, libfftw3-double3")
endif()
include(CPack)
