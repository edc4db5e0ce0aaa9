# Helpers shared by every directory of the suite.

# suite_test(NAME SOURCES src... LIBS lib...): a GoogleTest binary whose
# cases are registered with CTest one by one. A fuzz build has no tests.
function(suite_test name)
  if(CIRCARRAY_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  set(props)
  if(ARG_LABELS)
    set(props PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} ${props})
endfunction()

# suite_benchmark(NAME SOURCES src... LIBS lib...): a Google Benchmark
# binary. Benchmarks are run by hand, never by CTest; the target
# `benchmarks` builds them all. A fuzz build has none, nor has a program
# without benchmark sources.
function(suite_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(CIRCARRAY_BENCHMARKS AND ARG_SOURCES AND NOT CIRCARRAY_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark_main)
    if(NOT TARGET benchmarks)
      add_custom_target(benchmarks)
    endif()
    add_dependencies(benchmarks ${name})
  endif()
endfunction()

# suite_program(NAME SOURCES src... LIBS lib... TESTS src... BENCHMARKS src...):
# one program of the suite: its routines, NAME::Run and NAME::kProgram as
# the library NAME_lib, the program NAME in bin/ with a one-line main()
# made from suite/main.cpp.in, its tests NAME_test and its benchmark
# NAME_bench.
function(suite_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;TESTS;BENCHMARKS" ${ARGN})
  add_library(${name}_lib ${ARG_SOURCES})
  target_link_libraries(${name}_lib PUBLIC suite ${ARG_LIBS})
  set(NAME ${name})
  configure_file(${PROJECT_SOURCE_DIR}/suite/main.cpp.in ${CMAKE_CURRENT_BINARY_DIR}/main.cpp @ONLY)
  add_executable(${name} ${CMAKE_CURRENT_BINARY_DIR}/main.cpp)
  target_link_libraries(${name} PRIVATE ${name}_lib)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CIRCARRAY_BIN_DIR})
  suite_test(${name}_test SOURCES ${ARG_TESTS} LIBS ${name}_lib testsupport)
  if(ARG_BENCHMARKS)
    suite_benchmark(${name}_bench SOURCES ${ARG_BENCHMARKS} LIBS ${name}_lib testsupport)
  endif()
endfunction()
