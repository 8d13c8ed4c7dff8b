// SPDX-License-Identifier: GPL-3.0-or-later
// First-QSO checks against a generated ADIF log of 100,000 QSOs, as WSJT-X writes it: the first
// check of a run (reading the file and building both indexes), a warm check per spot and list,
// and a QSO appended by the logger seen at the next check.

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "adif/adif_database.h"
#include "bench/synthetic_log.h"
#include "hamlog/first_qso_check.h"
#include "support/temp_dir.h"

namespace {

using namespace zeltaro;

constexpr int kQsos = 100'000;

std::string callOf(int i) { return bench::logCallSign(i); }

std::string field(std::string_view name, std::string_view value) {
  return "<" + std::string(name) + ":" + std::to_string(value.size()) + ">" + std::string(value) +
         " ";
}

std::string qso(int i) {
  static const char* freqs[] = {"7.074000", "14.074000", "21.074000", "50.313000", "3.573000"};
  static const char* modes[] = {"FT8", "CW", "SSB", "MFSK"};
  std::string r = field("call", callOf(i)) + field("gridsquare", "PM95") +
                  field("mode", modes[i % 4]) + (i % 4 == 3 ? field("submode", "FT4") : "") +
                  field("rst_sent", "-10") + field("rst_rcvd", "-12") +
                  field("qso_date", "20261201") + field("time_on", "123015") +
                  field("freq", freqs[i % 5]) + field("station_callsign", "JA1ZZZ") +
                  field("cnty", std::to_string(100100 + i % 4000)) + "<eor>\n";
  return r;
}

struct Fixture {
  Fixture() {
    std::ofstream out(path, std::ios::binary);
    out << "WSJT-X ADIF Export<eoh>\n";
    for (int i = 0; i < kQsos; ++i) out << qso(i);
    for (auto& s : sets) s.Use = true;
    sets[0].Band = sets[0].Mode = true;
    sets[1].Code = true;
  }
  testing::TempDir dir;
  std::string path = dir.file("wsjtx_log.adi");
  std::array<settings::FirstQsoConditionSet, 3> sets;
  settings::SharedFirstSettings shared;
  adif::AdifSource source(int) const { return {path, "CNTY"}; }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

bool check(adif::AdifDatabase& db, int list, const std::string& call) {
  Fixture& f = fixture();
  return hamlog::FirstQsoCheck(db, f.sets, f.shared, nullptr, list,
                               {call, "14,074", "100123", "FT8"});
}

void BM_FirstCheck(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    adif::AdifDatabase db([&f](int list) { return f.source(list); });
    benchmark::DoNotOptimize(check(db, 1, "JA1ABC"));
  }
  state.counters["file_MB"] =
      static_cast<double>(std::ifstream(f.path, std::ios::ate).tellg()) / 1e6;
}
BENCHMARK(BM_FirstCheck)->Unit(benchmark::kMillisecond);

// 500 spots, half of them stations in the log, each checked by the three lists.
void BM_WarmCheck(benchmark::State& state) {
  Fixture& f = fixture();
  adif::AdifDatabase db([&f](int list) { return f.source(list); });
  std::vector<std::string> calls;
  for (int i = 0; i < 500; ++i)
    calls.push_back(i % 2 ? callOf(i * 37) : "JR9" + callOf(i).substr(3));
  check(db, 1, calls[0]);
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& call = calls[i++ % calls.size()];
    for (int list = 1; list <= 3; ++list) benchmark::DoNotOptimize(check(db, list, call));
  }
  state.SetItemsProcessed(state.iterations() * 3);
  state.counters["whole_reads"] = db.wholeReads();
}
BENCHMARK(BM_WarmCheck)->Unit(benchmark::kMicrosecond);

// The logger appends one QSO; the next check reads only it and finds it.
void BM_AppendSeen(benchmark::State& state) {
  testing::TempDir dir;
  const std::string path = dir.file("grow.adi");
  {
    std::ofstream out(path, std::ios::binary);
    out << "WSJT-X ADIF Export<eoh>\n";
    for (int i = 0; i < kQsos; ++i) out << qso(i);
  }
  std::array<settings::FirstQsoConditionSet, 3> sets;
  sets[0].Use = true;
  settings::SharedFirstSettings shared;
  adif::AdifDatabase db([&path](int) { return adif::AdifSource{path, "CNTY"}; });
  hamlog::FirstQsoCheck(db, sets, shared, nullptr, 1, {"JA1ABC", "7,074", "", "FT8"});
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string call = "7K" + std::to_string(n++ % 10) + "NEW";
    std::ofstream(path, std::ios::binary | std::ios::app)
        << field("call", call) + field("mode", "FT8") + field("freq", "7.074") + "<eor>\n";
    state.ResumeTiming();
    if (hamlog::FirstQsoCheck(db, sets, shared, nullptr, 1, {call, "7,074", "", "FT8"}))
      state.SkipWithError("the appended QSO was not seen");
  }
  state.counters["whole_reads"] = db.wholeReads();
}
BENCHMARK(BM_AppendSeen)->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
