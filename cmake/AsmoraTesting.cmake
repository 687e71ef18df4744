# asmora_add_gtest(<name> SOURCES <files...> LIBS <targets...> [QT] [QTAPP] [TIMEOUT <s>]
#                  [EMULATED_TOO <filter>] [LABELS <labels...>]
#                  [LABEL_CASES "<filter>=<label>[,<label>...]"...])
# Builds one GoogleTest executable and registers its cases with CTest.
# QT runs the cases on Qt's offscreen platform, so window tests need no display.
# QTAPP also gives the test a main() that creates the QApplication (implies QT).
# Every test links asmora_test_support (tests/support: files, commands, waiting).
#
# Labels let a developer run a part of the suite (`ctest -L gdb`, `ctest -LE slow`):
#   gui   the cases run Qt widgets on the offscreen platform (given by QT and QTAPP);
#   gdb   the cases drive gdb;
#   i386  the cases start i386 programs (natively or through qemu-i386);
#   slow  a case takes 1.5 s or more on a two-core build machine (most take < 0.1 s).
# LABELS applies to every case of the executable; LABEL_CASES gives labels to the
# cases a GoogleTest filter selects ("GdbSession.*=gdb,i386"). The filters of one
# executable must not overlap: each case is registered once, with the labels of
# the one filter that selects it.
# EMULATED_TOO registers the cases that match the GoogleTest filter a second time,
# as "emulated.<case>" with ASMORA_I386=emulated and the label i386-emulated, so
# that starting i386 programs through qemu-i386 is tested on every machine, also on
# one that runs them natively. Those copies keep the labels of their cases.
function(asmora_add_gtest name)
  cmake_parse_arguments(ARG "QT;QTAPP" "TIMEOUT;EMULATED_TOO" "SOURCES;LIBS;LABELS;LABEL_CASES" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(ARG_QTAPP)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
  elseif(ARG_QT)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/tests/support/OffscreenPlatform.cpp)
  endif()
  add_executable(${name} ${sources})
  if(ARG_QTAPP)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} asmora_test_support Qt6::Widgets GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} asmora_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # Tests find the tree and the build through these, as definitions and in the
  # environment (one variable only: test discovery passes a property list badly).
  target_compile_definitions(${name} PRIVATE
    ASMORA_SOURCE_DIR_PATH="${PROJECT_SOURCE_DIR}" ASMORA_BINARY_DIR_PATH="${PROJECT_BINARY_DIR}")
  asmora_warnings(${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(labels ${ARG_LABELS})
  if(ARG_QT OR ARG_QTAPP)
    list(APPEND labels gui)
  endif()

  # The cases each LABEL_CASES filter selects, then all the others. A specific
  # emulated filter goes with the group of the same filter, else with the others.
  set(rest "")
  set(emulatedPending "${ARG_EMULATED_TOO}")
  foreach(group IN LISTS ARG_LABEL_CASES)
    string(FIND "${group}" "=" split REVERSE)
    if(split LESS 1)
      message(FATAL_ERROR "asmora_add_gtest(${name}): LABEL_CASES \"${group}\" is not <filter>=<labels>")
    endif()
    string(SUBSTRING "${group}" 0 ${split} filter)
    math(EXPR split "${split} + 1")
    string(SUBSTRING "${group}" ${split} -1 groupLabels)
    string(REPLACE "," ";" groupLabels "${groupLabels}")
    set(emulated "")
    if(ARG_EMULATED_TOO STREQUAL "*")
      set(emulated "${filter}")
    elseif(ARG_EMULATED_TOO STREQUAL filter)
      set(emulated "${filter}")
      set(emulatedPending "")
    endif()
    _asmora_discover(${name} "${filter}" "${labels};${groupLabels}" ${ARG_TIMEOUT} "${emulated}")
    string(APPEND rest ":${filter}")
  endforeach()
  if(rest STREQUAL "")
    set(others "*")
  else()
    string(SUBSTRING "${rest}" 1 -1 rest)
    set(others "*-${rest}")
  endif()
  if(emulatedPending STREQUAL "*")
    set(emulatedPending "${others}")
  endif()
  _asmora_discover(${name} "${others}" "${labels}" ${ARG_TIMEOUT} "${emulatedPending}")
endfunction()

# Registers the cases of `name` that `filter` selects with `labels`, and the cases
# `emulated` selects (when given) a second time on the emulated way.
function(_asmora_discover name filter labels timeout emulated)
  _asmora_discover_labelled(${name} "" "${filter}" "${labels}"
    ENVIRONMENT "ASMORA_SOURCE_DIR=${PROJECT_SOURCE_DIR}" TIMEOUT ${timeout})
  if(emulated)
    _asmora_discover_labelled(${name} "emulated." "${emulated}" "i386-emulated;i386;${labels}"
      ENVIRONMENT "ASMORA_I386=emulated" TIMEOUT ${timeout})
  endif()
endfunction()

# gtest_discover_tests passes its PROPERTIES on as a flat list, which cuts a list of
# labels after its first item; so the labels are set by a CTest include file of our
# own that runs after the discovery's, on the list of the tests it registered.
function(_asmora_discover_labelled name prefix filter labels)
  list(REMOVE_DUPLICATES labels)
  list(REMOVE_ITEM labels "")
  string(MD5 key "${prefix}${filter}")
  set(listVariable "${name}_${key}_TESTS")
  gtest_discover_tests(${name}
    TEST_PREFIX "${prefix}"
    TEST_FILTER "${filter}"
    TEST_LIST ${listVariable}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${ARGN})
  if(labels)
    set(labelFile "${CMAKE_CURRENT_BINARY_DIR}/${name}_${key}_labels.cmake")
    file(WRITE "${labelFile}"
      "if(${listVariable})\n"
      "  set_tests_properties(\${${listVariable}} PROPERTIES LABELS \"${labels}\")\n"
      "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${labelFile}")
  endif()
endfunction()
