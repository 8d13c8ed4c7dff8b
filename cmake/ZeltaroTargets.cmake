# SPDX-License-Identifier: GPL-3.0-or-later
# zeltaro_library(NAME [SOURCES ...] [PUBLIC deps ...] [PRIVATE deps ...]): the static library
# zeltaro_NAME from every .cpp file in the calling folder (files are found by glob, so adding a
# source needs no edit here). A dependency is PUBLIC only when one of the library's headers
# includes its headers; the include check (scripts/check_includes.py) holds every include to
# these declarations. All headers are reached as "folder/file.h" from src/, so the compiler
# alone cannot tell a declared edge from an undeclared one.
function(zeltaro_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  if(NOT ARG_SOURCES)
    file(GLOB ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  add_library(zeltaro_${name} STATIC ${ARG_SOURCES})
  target_include_directories(zeltaro_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(zeltaro_${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE} zeltaro_warnings)
  zeltaro_layer(zeltaro_${name})
endfunction()

# zeltaro_layer(TARGET ...): puts the targets on the next layer up. The order of these calls (the
# folder order of src/CMakeLists.txt) is the layering: a target may include and link only targets
# registered before it. The include check reads the list from targets.json in the build tree.
function(zeltaro_layer)
  set_property(GLOBAL APPEND PROPERTY ZELTARO_LAYERS ${ARGN})
endfunction()

# zeltaro_write_targets(FILE): each registered target in layer order, with its folder, its
# sources and the project targets it links, as JSON for the include check.
function(zeltaro_write_targets file)
  get_property(layers GLOBAL PROPERTY ZELTARO_LAYERS)
  set(entries "")
  foreach(t ${layers})
    get_target_property(type ${t} TYPE)
    get_target_property(dir ${t} SOURCE_DIR)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(deps ${t} INTERFACE_LINK_LIBRARIES)
      set(sources "")
    else()
      get_target_property(deps ${t} LINK_LIBRARIES)
      get_target_property(sources ${t} SOURCES)
    endif()
    if(NOT deps)
      set(deps "")
    endif()
    if(NOT sources)
      set(sources "")
    endif()
    set(dep_json "")
    foreach(d ${deps})
      # Only project targets; a generator expression names its target inside.
      string(REGEX MATCH "zeltaro_[a-z_]+" d "${d}")
      if(d AND NOT d STREQUAL "zeltaro_warnings")
        list(APPEND dep_json "\"${d}\"")
      endif()
    endforeach()
    set(src_json "")
    foreach(s ${sources})
      if(NOT IS_ABSOLUTE ${s})
        set(s ${dir}/${s})
      endif()
      file(RELATIVE_PATH s ${PROJECT_SOURCE_DIR} ${s})
      list(APPEND src_json "\"${s}\"")
    endforeach()
    file(RELATIVE_PATH rdir ${PROJECT_SOURCE_DIR} ${dir})
    list(JOIN dep_json ", " dep_json)
    list(JOIN src_json ", " src_json)
    list(APPEND entries "  {\"name\": \"${t}\", \"folder\": \"${rdir}\", \"deps\": [${dep_json}],\n   \"sources\": [${src_json}]}")
  endforeach()
  list(JOIN entries ",\n" entries)
  file(CONFIGURE OUTPUT ${file} CONTENT "[\n${entries}\n]\n" @ONLY)
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
