// SPDX-License-Identifier: GPL-3.0-or-later
// Processing a page of 5,000 records against three watch lists of 300 entries and a log of
// 200 lines, once with the real Qt message pump and once with a pump that does nothing.
// Reports records per second, the pump's share of the time and the longest stretch of work
// between two pump calls (how long the window could go without handling its messages).

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "app/main_model.h"
#include "bench/synthetic_page.h"
#include "platform/qt_message_pump.h"
#include "spots/page_text.h"

namespace {

using namespace zeltaro;
using Clock = std::chrono::steady_clock;

constexpr int kRecords = 5000;

class TimingPump final : public platform::MessagePump {
 public:
  explicit TimingPump(platform::MessagePump& inner) : inner_(inner) {}
  void pump() override {
    const auto start = Clock::now();
    if (last_ != Clock::time_point{}) longestGap = std::max(longestGap, start - last_);
    inner_.pump();
    last_ = Clock::now();
    inPump += last_ - start;
    ++calls;
  }
  void reset() {
    last_ = {};
    inPump = longestGap = {};
    calls = 0;
  }
  Clock::duration inPump{}, longestGap{};
  long calls = 0;

 private:
  platform::MessagePump& inner_;
  Clock::time_point last_{};
};

// With timing on, every pump call is timed (which costs time of its own): use it for the
// longest gap; compare the untimed runs for the pump's share.
void run(benchmark::State& state, platform::MessagePump& inner, bool timing) {
  TimingPump timed(inner);
  platform::MessagePump& pump = timing ? static_cast<platform::MessagePump&>(timed) : inner;
  app::MainServices services;
  services.pump = &pump;
  app::MainModel model(services);
  model.pageChecks.Memo2 = spots::cutRecords(spots::decodeEntities(bench::syntheticPage(kRecords)),
                                             "<LineStart>", "</LineEnd>")
                               .Memo2;
  model.watchLists.Memo_List[0] = bench::watchList(kRecords, 1, 7);
  model.watchLists.Memo_List[1] = bench::watchList(kRecords, 2, 11);
  model.watchLists.Memo_List[2] = bench::watchList(kRecords, 3, 13);
  std::vector<std::string> log;
  for (int i = 0; i < 200; ++i) log.push_back("1___old line " + std::to_string(i) + " \\r\\n x");

  QTimer ticker;  // something for the event loop to do, as Timer1 does
  ticker.start(1000);

  Clock::duration total{}, inPump{}, longestGap{};
  long inserted = 0;
  for (auto _ : state) {
    model.logViews.Memo_Log.lines = log;
    timed.reset();
    const auto start = Clock::now();
    inserted = model.pageChecks.processPage(1);
    total += Clock::now() - start;
    inPump += timed.inPump;
    longestGap = std::max(longestGap, timed.longestGap);
  }
  using ms = std::chrono::duration<double, std::milli>;
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(kRecords),
                                                   benchmark::Counter::kIsIterationInvariantRate);
  if (timing) {
    state.counters["timed_pump_share_%"] = 100.0 * ms(inPump).count() / ms(total).count();
    state.counters["longest_gap_ms"] = ms(longestGap).count();
    state.counters["pump_calls"] = static_cast<double>(timed.calls);
  }
  state.counters["new_lines"] = static_cast<double>(inserted);
}

void ProcessPageQtPump(benchmark::State& state) {
  platform::QtMessagePump qt;
  run(state, qt, false);
}
BENCHMARK(ProcessPageQtPump)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void ProcessPageNoPump(benchmark::State& state) {
  platform::NullMessagePump none;
  run(state, none, false);
}
BENCHMARK(ProcessPageNoPump)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void ProcessPageQtPumpTimed(benchmark::State& state) {
  platform::QtMessagePump qt;
  run(state, qt, true);
}
BENCHMARK(ProcessPageQtPumpTimed)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
