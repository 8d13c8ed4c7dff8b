# SPDX-License-Identifier: GPL-3.0-or-later
# The longest wait of the event loop while a page is checked, a slow mail goes out and the
# settings are saved and loaded, and a transfer goes through the bridge (where the Wine test
# doubles are built).
zeltaro_bench(bench_gap_probe SOURCES ${CMAKE_CURRENT_LIST_DIR}/gap_probe_bench.cpp
  DEPS zeltaro_appcore zeltaro_platform_qt)
target_compile_definitions(bench_gap_probe PRIVATE ZELTARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
if(TARGET bridge_test_bridge AND TARGET bridge_test_fake_windows AND TARGET bridge_test_fake_dll)
  target_link_libraries(bench_gap_probe PRIVATE zeltaro_bridgeclient zeltaro_transfer)
  target_compile_definitions(bench_gap_probe PRIVATE ZELTARO_TEST_WINE="${ZELTARO_TEST_WINE}"
    ZELTARO_TEST_WIN_DIR="${PROJECT_BINARY_DIR}/tests/bridge/win")
  add_dependencies(bench_gap_probe bridge_test_bridge bridge_test_fake_windows bridge_test_fake_dll)
endif()
