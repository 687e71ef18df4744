# The reading of the carried list: well-formed rows come out column by column, and
# each kind of bad row stops the build with a message that names the fault.
#   cmake -DWORK=<scratch folder> -P CarriedListTest.cmake
# Each case writes a list into WORK (beside a file "present.txt" the rows may name)
# and reads it with ReadCarriedList.cmake in a cmake process of its own.

cmake_minimum_required(VERSION 3.25)

set(header "# file  type  name  check  from")
set(good_row "bin/io.h   HFile  io_h  reported  source  present.txt")

# case name | list content | expected: "ok" or "fails" | a regular expression the output matches
set(cases
  "well-formed rows"
    "${header}\n\n${good_row}\n  SciLexer.dll DLLFILE Sci_dll entry library QScintilla::QScintilla  \r\nbin/ML.EXE ExeFile ML_EXE reported program ml\n"
    ok
    "row 0: bin/io.h HFile io_h reported source present.txt\nrow 1: SciLexer.dll DLLFILE Sci_dll entry library QScintilla::QScintilla\nrow 2: bin/ML.EXE ExeFile ML_EXE reported program ml\n$"
  "five columns"
    "bin/io.h HFile io_h reported source\n"
    fails "a row needs six columns: bin/io.h HFile io_h reported source"
  "seven columns"
    "${good_row} extra\n"
    fails "a row needs six columns"
  "an unknown check"
    "bin/io.h HFile io_h sometimes source present.txt\n"
    fails "unknown check \"sometimes\""
  "an unknown origin"
    "bin/io.h HFile io_h reported download present.txt\n"
    fails "unknown origin \"download\""
  "a source not in the tree"
    "bin/io.h HFile io_h reported source absent.txt\n"
    fails "absent.txt is not in the tree"
  "a resource named twice, in another case"
    "${good_row}\nbin/IO.H HFILE IO_H reported source present.txt\n"
    fails "the resource HFILE/IO_H is listed twice")

file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/present.txt" "a file of the tree\n")
set(failures 0)
list(LENGTH cases length)
math(EXPR last "${length} - 1")
foreach(at RANGE 0 ${last} 4)
  math(EXPR content_at "${at} + 1")
  math(EXPR outcome_at "${at} + 2")
  math(EXPR pattern_at "${at} + 3")
  list(GET cases ${at} name)
  list(GET cases ${content_at} content)
  list(GET cases ${outcome_at} outcome)
  list(GET cases ${pattern_at} pattern)

  file(WRITE "${WORK}/list.txt" "${content}")
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -DLIST=${WORK}/list.txt -DTOP=${WORK} -P "${CMAKE_CURRENT_LIST_DIR}/ReadCarriedList.cmake"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REGEX REPLACE "\n[ \t]*\n" "\n" output "${output}")
  if(result EQUAL 0)
    set(actual ok)
  else()
    set(actual fails)
  endif()
  # The error text of CMake wraps long lines; join them before matching.
  string(REGEX REPLACE "\n  " " " joined "${output}")
  if(NOT actual STREQUAL outcome OR NOT (output MATCHES "${pattern}" OR joined MATCHES "${pattern}"))
    message(SEND_ERROR "${name}: expected ${outcome} matching [${pattern}], got ${actual}:\n${output}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
