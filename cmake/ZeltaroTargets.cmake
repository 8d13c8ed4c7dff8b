# zeltaro_library(NAME SOURCES ... DEPS ...): one static library per subsystem folder.
function(zeltaro_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(zeltaro_${name} STATIC ${ARG_SOURCES})
  target_include_directories(zeltaro_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(zeltaro_${name} PUBLIC ${ARG_DEPS} PRIVATE zeltaro_warnings)
endfunction()

# zeltaro_test(NAME SOURCES ... DEPS ...): one GoogleTest binary, registered with CTest.
# Tests run headless (offscreen Qt platform) and know where the repository's tests/ folder is.
function(zeltaro_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} zeltaro_testsupport GTest::gtest GTest::gmock zeltaro_warnings)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZELTARO_TESTS_DIR=${PROJECT_SOURCE_DIR}/tests"
               TIMEOUT ${ARG_TIMEOUT})
endfunction()
