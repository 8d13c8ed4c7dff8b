# SPDX-License-Identifier: GPL-3.0-or-later
zeltaro_bench(bench_adif SOURCES ${CMAKE_CURRENT_LIST_DIR}/adif_bench.cpp DEPS zeltaro_adif)
target_include_directories(bench_adif PRIVATE ${PROJECT_SOURCE_DIR}/tests)
