# SPDX-License-Identifier: GPL-3.0-or-later
zeltaro_bench(bench_cut_extract SOURCES ${CMAKE_CURRENT_LIST_DIR}/cut_extract_bench.cpp
  DEPS zeltaro_spots)
