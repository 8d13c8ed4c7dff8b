// SPDX-License-Identifier: GPL-3.0-or-later
// The template guess on the sample pages of tests/spots/guess_pages: first, per page and per
// shape, the share of spots whose call and frequency the guessed template extracts (printed
// before the timings), then how long one guess takes on each page and on a page of 4,000
// records (about 1 MB).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

#include "tests/spots/guess_sample_pages.h"

namespace {

using namespace zeltaro;
using spots::samples::SamplePage;

const std::vector<SamplePage>& pages() {
  static const std::vector<SamplePage> p = spots::samples::loadSamplePages(ZELTARO_GUESS_PAGES);
  return p;
}

void printAccuracy() {
  std::map<std::string, spots::samples::Score> byShape;
  std::printf("call and frequency right, per sample page:\n");
  for (const SamplePage& p : pages()) {
    const spots::TemplateGuess g = spots::guessTemplate(p.bytes, p.example);
    const auto s = spots::samples::scoreGuess(p.bytes, g, p.spots);
    std::printf("  %-8s %-24s %4zu / %4zu  %5.1f %%%s\n", p.shape.c_str(), p.file.c_str(),
                s.right, s.spots, 100 * s.share(), g.found ? "" : "  (nothing found)");
    byShape[p.shape].spots += s.spots;
    byShape[p.shape].right += s.right;
  }
  std::printf("per shape:\n");
  for (const auto& [shape, s] : byShape)
    std::printf("  %-8s %4zu / %4zu  %5.1f %%\n", shape.c_str(), s.right, s.spots,
                100 * s.share());
}

void GuessSamplePage(benchmark::State& state) {
  const SamplePage& p = pages()[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(p.file);
  for (auto _ : state) benchmark::DoNotOptimize(spots::guessTemplate(p.bytes, p.example));
  state.counters["page_kB"] = static_cast<double>(p.bytes.size()) / 1e3;
}

void GuessLargePage(benchmark::State& state) {
  // The nested-card page's records repeated to 4,000 records.
  const SamplePage* source = nullptr;
  for (const SamplePage& p : pages())
    if (p.file == "cards_nested.html") source = &p;
  if (!source) {
    state.SkipWithError("cards_nested.html missing");
    return;
  }
  const std::size_t from = source->bytes.find("<div class=\"card\"");
  const std::size_t to = source->bytes.find("</section>");
  const std::string records = source->bytes.substr(from, to - from);
  std::string page = source->bytes.substr(0, from);
  for (std::size_t n = 0; n < 4000; n += source->spots.size()) page += records;
  page += source->bytes.substr(to);
  for (auto _ : state) {
    const spots::TemplateGuess g = spots::guessTemplate(page, source->example);
    if (!g.found) state.SkipWithError("nothing found");
    benchmark::DoNotOptimize(g);
  }
  state.counters["page_MB"] = static_cast<double>(page.size()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  printAccuracy();
  for (std::size_t i = 0; i < pages().size(); ++i)
    benchmark::RegisterBenchmark("GuessSamplePage", GuessSamplePage)
        ->Arg(static_cast<long>(i))
        ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("GuessLargePage", GuessLargePage)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
