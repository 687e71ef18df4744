# asmora_add_gtest(<name> SOURCES <files...> LIBS <targets...> [QT] [QTAPP] [TIMEOUT <s>])
# Builds one GoogleTest executable and registers its cases with CTest.
# QT runs the cases on Qt's offscreen platform, so window tests need no display.
# QTAPP also gives the test a main() that creates the QApplication (implies QT).
function(asmora_add_gtest name)
  cmake_parse_arguments(ARG "QT;QTAPP" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(ARG_QTAPP)
    set(ARG_QT ON)
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Widgets GTest::gtest GTest::gmock)
  else()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  asmora_warnings(${name})
  set(env "ASMORA_SOURCE_DIR=${PROJECT_SOURCE_DIR}" "ASMORA_BINARY_DIR=${PROJECT_BINARY_DIR}")
  if(ARG_QT)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT})
endfunction()
