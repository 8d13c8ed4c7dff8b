# SPDX-License-Identifier: GPL-3.0-or-later
# The longest wait of the event loop while a page is checked, a slow mail goes out and the
# settings are saved and loaded.
zeltaro_bench(bench_gap_probe SOURCES ${CMAKE_CURRENT_LIST_DIR}/gap_probe_bench.cpp
  DEPS zeltaro_appcore zeltaro_platform_qt)
target_compile_definitions(bench_gap_probe PRIVATE ZELTARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
