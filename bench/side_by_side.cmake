# SPDX-License-Identifier: GPL-3.0-or-later
# Our page check beside a scraper a user might write with PCRE2's JIT, on the same page.
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(PCRE2 IMPORTED_TARGET libpcre2-8)
endif()
if(PCRE2_FOUND)
  zeltaro_bench(bench_side_by_side SOURCES ${CMAKE_CURRENT_LIST_DIR}/side_by_side_bench.cpp
    DEPS zeltaro_appcore zeltaro_platform_qt PkgConfig::PCRE2)
  # The black-box figure runs the built program.
  target_compile_definitions(bench_side_by_side PRIVATE ZELTARO_EXE="$<TARGET_FILE:zeltaro>")
  add_dependencies(bench_side_by_side zeltaro)
else()
  message(STATUS "libpcre2-8 not found: bench_side_by_side is not built")
endif()
