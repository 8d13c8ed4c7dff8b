# SPDX-License-Identifier: GPL-3.0-or-later
zeltaro_bench(bench_large_page SOURCES ${CMAKE_CURRENT_LIST_DIR}/large_page_bench.cpp
  DEPS zeltaro_appcore)
