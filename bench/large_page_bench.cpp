// SPDX-License-Identifier: GPL-3.0-or-later
// A whole page check's processing of a very large page: entities decoded, records cut, every
// record matched and new (the worst case for the novelty look-up and the log insertion). The
// time per record should stay flat from 10,000 to 100,000 records.

#include <benchmark/benchmark.h>

#include "app/main_model.h"
#include "bench/synthetic_page.h"
#include "spots/page_text.h"

namespace {

using namespace zeltaro;

void LargePage(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::string page = bench::syntheticPage(records);
  app::MainModel model;
  model.watchLists.Memo_List[0] = "J\r\n";  // every call sign on the page
  model.watchLists.Memo_List[1].clear();
  model.watchLists.Memo_List[2].clear();
  long inserted = 0;
  for (auto _ : state) {
    model.logViews.Memo_Log.lines = app::welcomeLines();
    spots::CutPage cut =
        spots::cutRecords(spots::decodeEntities(page), "<LineStart>", "</LineEnd>");
    model.pageChecks.Memo2 = std::move(cut.Memo2);
    inserted = model.pageChecks.processPage(1);
  }
  state.counters["records"] = records;
  state.counters["new_lines"] = static_cast<double>(inserted);
  state.counters["us_per_record"] = benchmark::Counter(
      static_cast<double>(records),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(LargePage)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
