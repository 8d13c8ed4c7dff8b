# SPDX-License-Identifier: GPL-3.0-or-later
zeltaro_bench(bench_first_qso SOURCES ${CMAKE_CURRENT_LIST_DIR}/first_qso_bench.cpp
  DEPS zeltaro_hamlog)
target_include_directories(bench_first_qso PRIVATE ${PROJECT_SOURCE_DIR}/tests)
