# Writes the CTest entries of one Windows-side test program from GoogleTest's
# own list (--gtest_list_tests), so that every case the program holds is run:
# plain, fixture, parameterised and typed tests alike, without DISABLED_ ones.
# Run by the native build after the cross build (tier/CMakeLists.txt), with
#   -DPROGRAM=<area>_tests.exe -DOUTPUT=<file to write> -DTIER=win64 -DAREA=<area>
#   -DSESSION=wine-session.sh -DSESSION_DIR=<session folder>
# The list is made again only when the program (or this script) is newer than
# the list it wrote; a program that cannot be listed gets one failing entry
# that says why, never an empty list, and is tried again on the next build.
foreach(variable PROGRAM OUTPUT TIER AREA SESSION SESSION_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "list-tests.cmake needs -D${variable}=...")
  endif()
endforeach()

set(listed_header "# Made by list-tests.cmake from")
if(EXISTS "${OUTPUT}" AND EXISTS "${PROGRAM}"
   AND NOT "${PROGRAM}" IS_NEWER_THAN "${OUTPUT}" AND NOT "${CMAKE_CURRENT_LIST_FILE}" IS_NEWER_THAN "${OUTPUT}")
  file(STRINGS "${OUTPUT}" first_line LIMIT_COUNT 1)
  string(FIND "${first_line}" "${listed_header}" at)
  if(at EQUAL 0)
    return()
  endif()
endif()

# The properties every Windows-tier entry has. One at a time on the display:
# the message-box watcher reads a box's icon from the screen, and every box and
# console window of a test running alongside opens over the same middle of the
# screen.
set(properties "FIXTURES_REQUIRED wine TIMEOUT 600 LABELS ${TIER} RESOURCE_LOCK wine_display SKIP_RETURN_CODE 77")

function(write_failing_entry reason)
  string(REPLACE "\"" "'" reason "${reason}")
  file(WRITE "${OUTPUT}"
    "# The tests of ${PROGRAM} could not be listed.\n"
    "add_test(\"${TIER}.${AREA}.LIST_TESTS_FAILED\" \"${CMAKE_COMMAND}\" -E echo \"${reason}\")\n"
    "set_tests_properties(\"${TIER}.${AREA}.LIST_TESTS_FAILED\" PROPERTIES WILL_FAIL TRUE LABELS ${TIER})\n")
  message(WARNING "${TIER}.${AREA}: ${reason}")
endfunction()

if(NOT EXISTS "${PROGRAM}")
  write_failing_entry("the test program is missing: ${PROGRAM}")
  return()
endif()

# Into files, not pipes: Wine's helper processes inherit the output handles
# and live on with the wineserver, and a pipe would be waited for until then.
get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_dir}")
file(REMOVE "${OUTPUT}.out" "${OUTPUT}.err")
execute_process(COMMAND "${SESSION}" list64 "${SESSION_DIR}" "${PROGRAM}" --gtest_list_tests
                OUTPUT_FILE "${OUTPUT}.out" ERROR_FILE "${OUTPUT}.err" RESULT_VARIABLE status TIMEOUT 300)
set(listing "")
set(errors "")
if(EXISTS "${OUTPUT}.out")
  file(READ "${OUTPUT}.out" listing)
endif()
if(EXISTS "${OUTPUT}.err")
  file(READ "${OUTPUT}.err" errors)
endif()
file(REMOVE "${OUTPUT}.out" "${OUTPUT}.err")
if(NOT status EQUAL 0)
  write_failing_entry("listing the tests failed (${status}): ${errors}")
  return()
endif()

# The list: a suite line "Suite." (or "Prefix/Suite/0.") with its cases below,
# each indented by two blanks; a parameterised or typed one carries a comment
# after "#" that names its parameter or type.
set(entries "${listed_header} ${PROGRAM} --gtest_list_tests\n")
set(suite "")
set(count 0)
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\r" "" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  string(REGEX REPLACE " *#.*$" "" line "${line}")
  if(line MATCHES "^Running main\\(\\) from ")  # gtest_main's greeting
    continue()
  elseif(line MATCHES "^([A-Za-z0-9_/]+)\\.$")
    set(suite "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^  ([A-Za-z0-9_/]+)$" AND NOT suite STREQUAL "")
    set(case "${suite}.${CMAKE_MATCH_1}")
    if(case MATCHES "(^|/|\\.)DISABLED_")
      continue()
    endif()
    set(name "${TIER}.${AREA}.${case}")
    string(APPEND entries
      "add_test(\"${name}\" \"${SESSION}\" run64 \"${SESSION_DIR}\" \"${PROGRAM}\" \"--gtest_filter=${case}\")\n"
      "set_tests_properties(\"${name}\" PROPERTIES ${properties})\n")
    math(EXPR count "${count} + 1")
  elseif(NOT line STREQUAL "")
    write_failing_entry("an unexpected line in the test list: '${line}'")
    return()
  endif()
endforeach()
if(count EQUAL 0)
  write_failing_entry("the test program lists no tests")
  return()
endif()
file(WRITE "${OUTPUT}" "${entries}")
