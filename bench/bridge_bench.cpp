// SPDX-License-Identifier: GPL-3.0-or-later
// Round trips through the Windows bridge under Wine: its start until the ready line, a small
// window request, a field message into a HAMLOG window (the test double), and reads of the test
// hamlog50.dll, one request, a whole first-QSO check, and the checks of a page of spots. The prefix
// is a throw-away one made here; run under a display (xvfb-run -a).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "bench/wine_setup.h"
#include "bridge_client/bridge_database.h"
#include "bridge_client/bridge_process.h"
#include "bridge_client/bridge_window_link.h"
#include "hamlog/first_qso_service.h"
#include "hamlog/window_link.h"

namespace {

namespace fs = std::filesystem;
using namespace zeltaro;

const std::string kWine = ZELTARO_TEST_WINE;
const std::string kWin = ZELTARO_TEST_WIN_DIR;

struct Setup {
  std::string prefix, root, hamlogFolder, libraryFolder;
};
Setup g;

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bridgeclient::BridgeOptions options() {
  bridgeclient::BridgeOptions o;
  o.wine = kWine;
  o.exe = kWin + "/zeltaro-bridge.exe";
  o.prefix = g.prefix;
  return o;
}

void BM_BridgeStart(benchmark::State& state) {
  for (auto _ : state) {
    bridgeclient::BridgeProcess bridge(options());
    bridgeclient::BridgeWindowLink link(bridge);
    // The first request starts the bridge and waits for its ready line; its own round trip is
    // the few microseconds measured below.
    if (!link.movePointer(1, 1)) state.SkipWithError("the bridge did not start");
    state.PauseTiming();
    bridge.stop();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BridgeStart)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The bare round trip: a request the bridge answers without calling anything (the version of
// a library when none is loaded).
void BM_BareRoundTrip(benchmark::State& state) {
  bridgeclient::BridgeProcess bridge(options());
  const std::string payload = bridge::request(bridge::Op::kLibVersion).payload();
  bridge.request(payload);
  for (auto _ : state)
    if (!bridge.request(payload)) state.SkipWithError("the request failed");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A small window request: which window has the foreground.
void BM_SmallWindowRequest(benchmark::State& state) {
  bridgeclient::BridgeProcess bridge(options());
  bridgeclient::BridgeWindowLink link(bridge);
  link.foregroundWindow();
  for (auto _ : state) benchmark::DoNotOptimize(link.foregroundWindow());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SmallWindowRequest)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A pointer move: the Windows side passes it on to the X server.
void BM_PointerMove(benchmark::State& state) {
  bridgeclient::BridgeProcess bridge(options());
  bridgeclient::BridgeWindowLink link(bridge);
  link.movePointer(0, 0);
  std::int32_t x = 0;
  for (auto _ : state)
    if (!link.movePointer(++x & 255, 100)) state.SkipWithError("the request failed");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PointerMove)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_FieldMessage(benchmark::State& state) {
  bridgeclient::BridgeProcess bridge(options());
  bridgeclient::BridgeWindowLink link(bridge);
  const auto window = hamlog::matchHamlogWindows(link.hamlogWindows(), {g.hamlogFolder, "", ""})[0];
  if (!window) state.SkipWithError("the fake HAMLOG window was not found");
  for (auto _ : state)
    if (!link.sendField(window, 0x20000, "JA1ABC")) state.SkipWithError("no answer");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FieldMessage)->Unit(benchmark::kMicrosecond)->UseRealTime();

std::array<settings::FirstQsoConditionSet, 3> librarySets() {
  std::array<settings::FirstQsoConditionSet, 3> sets{};
  sets[0].Use = true;
  sets[0].Band = true;
  sets[0].HAMLOG = g.libraryFolder;
  return sets;
}

// One seek of the call-sign index on an open database: a request and a record back.
void BM_LibrarySeek(benchmark::State& state) {
  bridgeclient::BridgeProcess bridge(options());
  const auto sets = librarySets();
  bridgeclient::BridgeDatabase db(bridge, sets);
  if (!db.load(1) || db.open(g.libraryFolder + "HAMLOG") != 0)
    state.SkipWithError("the library did not open");
  for (auto _ : state)
    if (db.seek("JA1ABC", hamlog::kCallIndex) != 0) state.SkipWithError("no record");
  state.SetItemsProcessed(state.iterations());
  db.close();
  db.release();
}
BENCHMARK(BM_LibrarySeek)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A whole check as a page's spot asks it: load, version, share, open, seek, band classes and
// skips over the call's two records, close, release (13 requests), the library loaded anew.
void BM_FirstQsoCheck(benchmark::State& state) {
  bridgeclient::BridgeProcess bridge(options());
  const auto sets = librarySets();
  settings::SharedFirstSettings shared;
  bridgeclient::BridgeDatabase db(bridge, sets);
  hamlog::FirstQsoService service(sets, shared, nullptr, &db);
  for (auto _ : state)
    if (!service.isFirstQso(1, "JA1ABC", "21,020", "", "CW")) state.SkipWithError("answer no");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FirstQsoCheck)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same check within a page: the page's first check loads the library and opens the log,
// the others only seek, skip and ask for band classes (5 requests); the page's end closes and
// releases. A page of 100 spots checked by one list, per spot and list.
void BM_FirstQsoCheckInPage(benchmark::State& state) {
  bridgeclient::BridgeProcess bridge(options());
  const auto sets = librarySets();
  settings::SharedFirstSettings shared;
  bridgeclient::BridgeDatabase db(bridge, sets);
  hamlog::FirstQsoService service(sets, shared, nullptr, &db);
  constexpr int kSpots = 100;
  for (auto _ : state) {
    service.beginPage();
    for (int spot = 0; spot < kSpots; ++spot)
      if (!service.isFirstQso(1, "JA1ABC", "21,020", "", "CW")) state.SkipWithError("answer no");
    service.endPage();
  }
  // items_per_second: spots per second; the time per spot is the page's time / 100.
  state.SetItemsProcessed(state.iterations() * kSpots);
}
BENCHMARK(BM_FirstQsoCheckInPage)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bench::WineSetup wine(kWine, kWin);
  if (!wine.ok()) {
    std::cerr << "wineboot failed\n";
    return 1;
  }
  g.root = wine.root();
  g.prefix = wine.prefix();
  g.hamlogFolder = g.root + "/Hamlog/";
  if (!wine.startFakeHamlog(g.hamlogFolder)) {
    std::cerr << "the fake HAMLOG did not start\n";
    return 1;
  }
  g.libraryFolder = g.root + "/Library/";
  fs::create_directories(g.libraryFolder);
  fs::copy_file(kWin + "/full/hamlog50.dll", g.libraryFolder + "hamlog50.dll");
  writeFile(g.libraryFolder + "version.txt", "50300");
  writeFile(g.libraryFolder + "log.txt",
            "1|JA1AAA|100101|7.010|CW||\n2|JA1ABC|100102|7.020|CW||\n"
            "3|JA1ABC|100102|14.020|SSB||\n4|JA1ABD|100103|14.020|SSB||\n");

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
