# SPDX-License-Identifier: GPL-3.0-or-later
zeltaro_bench(bench_template_guess SOURCES ${CMAKE_CURRENT_LIST_DIR}/template_guess_bench.cpp
  DEPS zeltaro_spots)
target_compile_definitions(bench_template_guess PRIVATE
  ZELTARO_GUESS_PAGES="${PROJECT_SOURCE_DIR}/tests/spots/guess_pages")
