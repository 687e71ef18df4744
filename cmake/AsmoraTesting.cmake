# asmora_add_gtest(<name> SOURCES <files...> LIBS <targets...> [QT] [QTAPP] [TIMEOUT <s>])
# Builds one GoogleTest executable and registers its cases with CTest.
# QT runs the cases on Qt's offscreen platform, so window tests need no display.
# QTAPP also gives the test a main() that creates the QApplication (implies QT).
function(asmora_add_gtest name)
  cmake_parse_arguments(ARG "QT;QTAPP" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
endfunction()
