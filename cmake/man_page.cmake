# Writes the manual page of one program from its --help text with help2man.
#
#   cmake -DPROGRAM=<binary> -DDESCRIPTION=<one line> -DOUTPUT=<file.1>
#         -DHELP2MAN=<help2man> -P man_page.cmake
#
# help2man reflows indented text into tagged paragraphs, which scrambles the
# column layouts that the help texts show (input records, output columns,
# example output). So help2man gets only the usage line and the opening
# paragraph; everything after it goes into the page verbatim, one
# subsection per "Heading:" line and the example as the EXAMPLE section.

foreach(var PROGRAM DESCRIPTION OUTPUT HELP2MAN)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "man_page.cmake: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND "${PROGRAM}" --help
                OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()

# Split the text at its second blank line: usage, blank, purpose, blank.
# Lines are taken one by one with string(FIND): a CMake list would treat
# the brackets and semicolons of the text specially.
set(head "")
set(body "")
set(blanks 0)
set(rest "${help}")
while(NOT rest STREQUAL "")
  string(FIND "${rest}" "\n" end)
  if(end EQUAL -1)
    string(LENGTH "${rest}" end)
  endif()
  string(SUBSTRING "${rest}" 0 ${end} line)
  math(EXPR next "${end} + 1")
  string(LENGTH "${rest}" length)
  if(next GREATER_EQUAL length)
    set(rest "")
  else()
    string(SUBSTRING "${rest}" ${next} -1 rest)
  endif()
  if(blanks LESS 2)
    if(line STREQUAL "")
      math(EXPR blanks "${blanks} + 1")
    endif()
    string(APPEND head "${line}\n")
  else()
    string(APPEND body "${line}\n")
  endif()
endwhile()

# roff escapes: backslashes, hyphens (so that examples paste correctly) and
# control characters at the start of a line.
function(roff_escape out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  if(text MATCHES "^[.']")
    set(text "\\&${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(description "")
set(example "")
set(target description)
set(in_block FALSE)
set(rest "${body}")
while(NOT rest STREQUAL "")
  string(FIND "${rest}" "\n" end)
  string(SUBSTRING "${rest}" 0 ${end} line)
  math(EXPR next "${end} + 1")
  string(SUBSTRING "${rest}" ${next} -1 rest)
  if(line MATCHES "^([A-Za-z].*):$")
    if(in_block)
      string(APPEND ${target} ".fi\n")
      set(in_block FALSE)
    endif()
    set(title "${CMAKE_MATCH_1}")
    if(title MATCHES "^Examples?(.*)$")
      set(target example)
      string(STRIP "${CMAKE_MATCH_1}" title)
      if(NOT title STREQUAL "")
        roff_escape(title "${title}")
        string(APPEND example ".PP\n${title}\n")
      endif()
    else()
      roff_escape(title "${title}")
      string(APPEND ${target} ".SS \"${title}\"\n")
    endif()
    continue()
  endif()
  if(NOT in_block)
    string(APPEND ${target} ".nf\n")
    set(in_block TRUE)
  endif()
  roff_escape(line "${line}")
  string(APPEND ${target} "${line}\n")
endwhile()
if(in_block)
  string(APPEND ${target} ".fi\n")
endif()

get_filename_component(work "${OUTPUT}" DIRECTORY)
get_filename_component(name "${OUTPUT}" NAME_WE)
set(head_file "${work}/${name}.help")
set(wrapper "${work}/${name}.help.sh")
set(include_file "${work}/${name}.h2m")
file(WRITE "${head_file}" "${head}")
file(WRITE "${wrapper}" "#!/bin/sh\n"
     "if [ \"$1\" = --version ]; then exec '${PROGRAM}' --version; fi\n"
     "cat '${head_file}'\n")
file(CHMOD "${wrapper}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(include_text "[>DESCRIPTION]\n${description}")
if(NOT example STREQUAL "")
  string(APPEND include_text "\n[EXAMPLES]\n${example}")
endif()
file(WRITE "${include_file}" "${include_text}")

execute_process(
  COMMAND "${HELP2MAN}" --no-info --section=1 "--name=${DESCRIPTION}"
          "--include=${include_file}" "--output=${OUTPUT}" "${wrapper}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed for ${PROGRAM} (${status})")
endif()
