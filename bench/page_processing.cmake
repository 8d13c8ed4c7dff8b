# SPDX-License-Identifier: GPL-3.0-or-later
zeltaro_bench(bench_page_processing SOURCES ${CMAKE_CURRENT_LIST_DIR}/page_processing_bench.cpp
  DEPS zeltaro_appcore zeltaro_platform_qt)
