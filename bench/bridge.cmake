# SPDX-License-Identifier: GPL-3.0-or-later
# The bridge's round trips under Wine, against the test doubles: built only where the Wine tests
# build them. Run it under a display: xvfb-run -a bench/bench_bridge
if(TARGET bridge_test_bridge AND TARGET bridge_test_fake_windows AND TARGET bridge_test_fake_dll)
  zeltaro_bench(bench_bridge SOURCES ${CMAKE_CURRENT_LIST_DIR}/bridge_bench.cpp
    DEPS zeltaro_bridgeclient)
  target_compile_definitions(bench_bridge PRIVATE ZELTARO_TEST_WINE="${ZELTARO_TEST_WINE}"
    ZELTARO_TEST_WIN_DIR="${PROJECT_BINARY_DIR}/tests/bridge/win")
  add_dependencies(bench_bridge bridge_test_bridge bridge_test_fake_windows bridge_test_fake_dll)
else()
  message(STATUS "the Wine test doubles are not built: bench_bridge is not built")
endif()
