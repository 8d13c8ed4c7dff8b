# zeltaro_library(NAME DEPS ...): the static library zeltaro_NAME from every .cpp file in the
# calling folder (files are found by glob, so adding a source needs no edit here).
function(zeltaro_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    file(GLOB ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  if(NOT ARG_SOURCES)
    # A folder whose sources are still to come.
    add_library(zeltaro_${name} INTERFACE)
    target_include_directories(zeltaro_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(zeltaro_${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(zeltaro_${name} STATIC ${ARG_SOURCES})
  target_include_directories(zeltaro_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(zeltaro_${name} PUBLIC ${ARG_DEPS} PRIVATE zeltaro_warnings)
endfunction()

# zeltaro_tests([PURE] DEPS ... [GUI stem...] [SYSTEM stem...] [SLOW stem...]): one GoogleTest
# program per *_test.cpp file in the calling folder, named <folder>_<file>, registered with
# CTest. Test programs run with a QApplication on the offscreen platform
# (tests/support/test_main.cpp); PURE ones, for code that needs no Qt, with GoogleTest's own main
# and no Qt at all. Every program knows where the repository's tests/ folder is. The files named
# (by stem) after GUI drive widgets, after SYSTEM start the real program or system services,
# after SLOW take seconds rather than milliseconds (one label, SYSTEM before GUI before SLOW;
# the rest are "unit"): ctest -L / -LE picks them. Every case fails
# a hang within two minutes.
function(zeltaro_tests)
  cmake_parse_arguments(ARG "PURE" "" "DEPS;GUI;SYSTEM;SLOW" ${ARGN})
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src ${tests})
    get_filename_component(stem ${src} NAME_WE)
    set(name ${folder}_${stem})
    add_executable(${name} ${src})
    if(ARG_PURE)
      target_link_libraries(${name} PRIVATE ${ARG_DEPS} zeltaro_testheaders GTest::gtest_main
                                            GTest::gmock zeltaro_warnings)
    else()
      target_link_libraries(${name} PRIVATE ${ARG_DEPS} zeltaro_testsupport zeltaro_testmain
                                            GTest::gtest GTest::gmock zeltaro_warnings)
    endif()
    # One label each (a list would not pass through the discovery script intact).
    set(label unit)
    foreach(kind SLOW GUI SYSTEM)
      if(stem IN_LIST ARG_${kind})
        string(TOLOWER ${kind} label)
      endif()
    endforeach()
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES
      PROPERTIES ENVIRONMENT "ZELTARO_TESTS_DIR=${PROJECT_SOURCE_DIR}/tests"
                 TIMEOUT 120 LABELS ${label})
  endforeach()
endfunction()
