# asmora_add_gtest(<name> SOURCES <files...> LIBS <targets...> [QT] [QTAPP] [TIMEOUT <s>]
#                  [EMULATED_TOO <filter>])
# Builds one GoogleTest executable and registers its cases with CTest.
# QT runs the cases on Qt's offscreen platform, so window tests need no display.
# QTAPP also gives the test a main() that creates the QApplication (implies QT).
# EMULATED_TOO registers the cases that match the GoogleTest filter a second time,
# as "emulated.<case>" with ASMORA_I386=emulated, so that starting i386 programs
# through qemu-i386 is tested on every machine, also on one that runs them natively.
function(asmora_add_gtest name)
  cmake_parse_arguments(ARG "QT;QTAPP" "TIMEOUT;EMULATED_TOO" "SOURCES;LIBS" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(ARG_QTAPP)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
  elseif(ARG_QT)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/tests/support/OffscreenPlatform.cpp)
  endif()
  add_executable(${name} ${sources})
  if(ARG_QTAPP)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Widgets GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
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
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "ASMORA_SOURCE_DIR=${PROJECT_SOURCE_DIR}" TIMEOUT ${ARG_TIMEOUT})
  if(ARG_EMULATED_TOO)
    gtest_discover_tests(${name}
      TEST_PREFIX "emulated."
      TEST_FILTER "${ARG_EMULATED_TOO}"
      DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "ASMORA_I386=emulated"
                 TIMEOUT ${ARG_TIMEOUT} LABELS "i386-emulated")
  endif()
endfunction()
