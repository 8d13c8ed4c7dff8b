// SPDX-License-Identifier: GPL-3.0-or-later
// Cutting and extracting a page of 5,000 records (about 2 MB) in the default format with the
// default template: records per second and MB per second.

#include <benchmark/benchmark.h>

#include "bench/synthetic_page.h"
#include "spots/extraction.h"
#include "spots/page_text.h"

namespace {

using namespace zeltaro;

constexpr int kRecords = 5000;

void CutAndExtract(benchmark::State& state) {
  const std::string page = bench::syntheticPage(kRecords);
  platform::NullMessagePump pump;
  std::size_t filled = 0;
  for (auto _ : state) {
    const spots::CutPage cut =
        spots::cutRecords(spots::decodeEntities(page), "<LineStart>", "</LineEnd>");
    for (const std::string& record : cut.Memo2) {
      const spots::ExtractionSlots slots =
          spots::fillSlots(record, spots::defaultExtractionTemplate(), spots::RoleSlots{}, pump);
      filled += slots[4].size();
    }
    if (cut.Memo2.size() != kRecords) state.SkipWithError("wrong record count");
  }
  benchmark::DoNotOptimize(filled);
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(kRecords),
                                                   benchmark::Counter::kIsIterationInvariantRate);
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(page.size()) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
  state.counters["page_MB"] = static_cast<double>(page.size()) / 1e6;
}
BENCHMARK(CutAndExtract)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void CutOnly(benchmark::State& state) {
  const std::string page = bench::syntheticPage(kRecords);
  for (auto _ : state) {
    const spots::CutPage cut =
        spots::cutRecords(spots::decodeEntities(page), "<LineStart>", "</LineEnd>");
    benchmark::DoNotOptimize(cut.Memo2.data());
  }
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(page.size()) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(CutOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
