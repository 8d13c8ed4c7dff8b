// SPDX-License-Identifier: GPL-3.0-or-later
// First-QSO checks against a generated hamlog.hdb of 100,000 QSOs: the first check of a run
// (reading the file and building both indexes) and a warm check per spot and list, as a page
// of spots checked against three lists makes them, alone and within a page.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/synthetic_log.h"
#include "hamlog/first_qso_service.h"
#include "hamlog/hdb_database.h"
#include "hamlog/hdb_writer.h"  // tests/hamlog
#include "platform/message_box.h"
#include "support/temp_dir.h"
#include "tests/support/recorders.h"

namespace {

using namespace zeltaro;

constexpr int kQsos = 100'000;

std::string callOf(int i) { return bench::logCallSign(i); }

struct Fixture {
  Fixture() {
    const char* bands[] = {"7.010", "14.025", "21.074", "50.313", "144.10", "430.05", "1.910"};
    const char* modes[] = {"CW", "SSB", "FT8", "FM"};
    std::vector<testing::HdbQso> qsos;
    qsos.reserve(kQsos);
    for (int i = 0; i < kQsos; ++i) {
      testing::HdbQso q = testing::plainQso(callOf(i), bands[i % 7], modes[i % 4],
                                            std::to_string(100100 + i % 4000));
      if (i % 50 == 0) q.ign = "           1";
      q.remarks1 = "FT8 via bench";
      qsos.push_back(std::move(q));
    }
    testing::writeBytes(dir.file("hamlog.hdb"), testing::hdbFile(qsos));
    for (auto& s : sets) {
      s.Use = true;
      s.HAMLOG = dir.path() + "/";
    }
    sets[0].Band = sets[0].Mode = true;
    sets[1].Code = true;
  }
  testing::TempDir dir;
  std::array<settings::FirstQsoConditionSet, 3> sets{settings::defaultConditionSet(1),
                                                     settings::defaultConditionSet(2),
                                                     settings::defaultConditionSet(3)};
  settings::SharedFirstSettings shared;
  platform::RecordingMessageBox box;
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_FirstCheck(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    hamlog::HdbDatabase db;
    hamlog::FirstQsoService service(f.sets, f.shared, &f.box, &db);
    benchmark::DoNotOptimize(service.isFirstQso(1, "JA1ABC", "7,010", "", "CW"));
  }
  state.counters["file_MB"] =
      static_cast<double>(testing::readBytes(f.dir.file("hamlog.hdb")).size()) / 1e6;
}
BENCHMARK(BM_FirstCheck)->Unit(benchmark::kMillisecond);

// 500 spots, half of them stations in the log, each checked by the three lists.
void BM_WarmCheck(benchmark::State& state) {
  Fixture& f = fixture();
  hamlog::HdbDatabase db;
  hamlog::FirstQsoService service(f.sets, f.shared, &f.box, &db);
  std::vector<std::string> calls;
  for (int i = 0; i < 500; ++i)
    calls.push_back(i % 2 ? callOf(i * 37) : "JR9" + callOf(i).substr(3));
  service.isFirstQso(1, calls[0], "7,010", "", "CW");
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& call = calls[i++ % calls.size()];
    for (int list = 1; list <= 3; ++list)
      benchmark::DoNotOptimize(service.isFirstQso(list, call, "14,025", "100123", "CW"));
  }
  state.SetItemsProcessed(state.iterations() * 3);
  state.counters["reads"] = db.reads();
}
BENCHMARK(BM_WarmCheck)->Unit(benchmark::kMicrosecond);

// The same 500 spots as one page: the log file is looked at once, at the page's first check.
void BM_WarmCheckInPage(benchmark::State& state) {
  Fixture& f = fixture();
  hamlog::HdbDatabase db;
  hamlog::FirstQsoService service(f.sets, f.shared, &f.box, &db);
  std::vector<std::string> calls;
  for (int i = 0; i < 500; ++i)
    calls.push_back(i % 2 ? callOf(i * 37) : "JR9" + callOf(i).substr(3));
  service.isFirstQso(1, calls[0], "7,010", "", "CW");
  for (auto _ : state) {
    service.beginPage();
    for (const std::string& call : calls)
      for (int list = 1; list <= 3; ++list)
        benchmark::DoNotOptimize(service.isFirstQso(list, call, "14,025", "100123", "CW"));
    service.endPage();
  }
  // items_per_second: checks (spot and list) per second.
  state.SetItemsProcessed(state.iterations() * 3 * static_cast<std::int64_t>(calls.size()));
  state.counters["reads"] = db.reads();
}
BENCHMARK(BM_WarmCheckInPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
