// SPDX-License-Identifier: GPL-3.0-or-later
// One page of 5,000 spot records (the default format, about 1.8 MB) handled three ways in one
// run, with the ratios printed at the end:
//   Pcre2Scraper   - what a user might write instead: PCRE2 with JIT, one pattern cuts the
//                    records and thirteen patterns pull the fields out of each;
//   CutAndExtract  - our entity passes, cutting and extraction with the default template;
//   WholeCheck     - "check page 1" as the button runs it: the page fetched with the real HTTP
//                    client from a server on loopback, cut, extracted, composed, matched against
//                    three lists of 300 entries, compared with a log of 200 lines, inserted and
//                    the panes refreshed, with the Qt message pump running;
//   Step1Fetch ...   - the steps of WholeCheck one by one (fetch, cut, extraction, composition,
//   Step7Views         matching, novelty, the log views), each set beside the scraper.

#define PCRE2_CODE_UNIT_WIDTH 8
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <pcre2.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <thread>

#include "app/main_model.h"
#include "bench/page_server.h"
#include "bench/synthetic_page.h"
#include "platform/qt_http_client.h"
#include "platform/qt_message_pump.h"
#include "spots/composition.h"
#include "spots/extraction.h"
#include "spots/new_lines.h"
#include "spots/page_text.h"
#include "text/codec.h"
#include "text/sjis.h"
#include "watchlists/watch_lists.h"

namespace {

using namespace zeltaro;

constexpr int kRecords = 5000;

const std::string& page() {
  static const std::string p = bench::syntheticPage(kRecords);
  return p;
}

// --- the scraper ---------------------------------------------------------------------------

struct Regex {
  explicit Regex(const char* pattern, std::uint32_t options = 0) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, options,
                         &error, &offset, nullptr);
    if (!code || pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) != 0) std::abort();
    match = pcre2_match_data_create_from_pattern(code, nullptr);
  }
  ~Regex() {
    pcre2_match_data_free(match);
    pcre2_code_free(code);
  }
  Regex(const Regex&) = delete;
  Regex& operator=(const Regex&) = delete;

  // The first group of the first match at or after start; false when there is none.
  bool find(std::string_view s, std::size_t start, std::string_view& group, std::size_t& end) {
    const int rc = pcre2_jit_match(code, reinterpret_cast<PCRE2_SPTR>(s.data()), s.size(), start, 0,
                                   match, nullptr);
    if (rc < 2) return false;
    const PCRE2_SIZE* v = pcre2_get_ovector_pointer(match);
    group = s.substr(v[2], v[3] - v[2]);
    end = v[1];
    return true;
  }

  pcre2_code* code = nullptr;
  pcre2_match_data* match = nullptr;
};

struct Scraper {
  Regex record{"<LineStart>(.*?)</LineEnd>", PCRE2_DOTALL};
  std::vector<std::unique_ptr<Regex>> fields;
  Scraper() {
    for (const char* p :
         {"<!--(.*?)-->", "<Date>(.*?)</Date>", "<Time>(.*?)</Time>",
          "<CallSignTo>(.*?)</CallSignTo>", "<Freq>(.*?)</Freq>", "<Mode>(.*?)</Mode>",
          "<Qth>(.*?)</Qth>", "<QthName>(.*?)</QthName>", "<Distance>(.*?)</Distance>",
          "<Comments>(.*?)</Comments>", "<CallSignFrom>(.*?)</CallSignFrom>", "title='(.*?)'",
          "<QthFrom>(.*?)</QthFrom>"}) {
      fields.push_back(std::make_unique<Regex>(p));
    }
  }
  // Every record's thirteen fields; returns the number of records.
  std::size_t scrape(std::string_view text, std::vector<std::array<std::string, 13>>& out) {
    out.clear();
    std::string_view body;
    std::size_t at = 0, end = 0;
    while (record.find(text, at, body, end)) {
      auto& row = out.emplace_back();
      for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string_view v;
        std::size_t e = 0;
        if (fields[i]->find(body, 0, v, e)) row[i] = v;
      }
      at = end;
    }
    return out.size();
  }
};

// --- the benchmarks -------------------------------------------------------------------------

void Pcre2Scraper(benchmark::State& state) {
  Scraper scraper;
  std::vector<std::array<std::string, 13>> rows;
  for (auto _ : state) {
    if (scraper.scrape(page(), rows) != kRecords) state.SkipWithError("wrong record count");
  }
  benchmark::DoNotOptimize(rows.data());
}
BENCHMARK(Pcre2Scraper)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void CutAndExtract(benchmark::State& state) {
  platform::NullMessagePump pump;
  std::size_t filled = 0;
  for (auto _ : state) {
    const spots::CutPage cut =
        spots::cutRecords(spots::decodeEntities(page()), "<LineStart>", "</LineEnd>");
    const spots::CompiledTemplate compiled =
        spots::compileTemplate(spots::defaultExtractionTemplate());
    for (const std::string& record : cut.Memo2) {
      filled += spots::fillSlots(record, compiled, spots::RoleSlots{}, pump)[4].size();
    }
    if (cut.Memo2.size() != kRecords) state.SkipWithError("wrong record count");
  }
  benchmark::DoNotOptimize(filled);
}
BENCHMARK(CutAndExtract)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void WholeCheck(benchmark::State& state) {
  bench::PageServer server(page());
  platform::QtMessagePump pump;
  platform::QtHttpClient http;
  app::MainServices services;
  services.pump = &pump;
  services.http = &http;
  app::MainModel model(services);
  model.pageChecks.edtURL[0] = "http://127.0.0.1:" + std::to_string(server.port()) + "/spots.html";
  model.watchLists.Memo_List[0] = bench::watchList(kRecords, 1, 7);
  model.watchLists.Memo_List[1] = bench::watchList(kRecords, 2, 11);
  model.watchLists.Memo_List[2] = bench::watchList(kRecords, 3, 13);
  model.alerts.mail.chkMail = false;
  std::vector<std::string> log;
  for (int i = 0; i < 200; ++i) log.push_back("1___old line " + std::to_string(i) + " \\r\\n x");
  int inserted = 0;
  for (auto _ : state) {
    model.logViews.Memo_Log.lines = log;
    inserted = model.checkPage1();
  }
  if (inserted <= 0) state.SkipWithError("the check found nothing");
  state.counters["new_lines"] = inserted;
}
BENCHMARK(WholeCheck)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// --- where the whole check's time goes ------------------------------------------------------
// Each step of the check alone, on what the step before it made from the same page, as the
// check runs it (the window's pump included where the check pumps): the sum comes near
// WholeCheck, and each step can be set beside the scraper.

struct Steps {
  std::string body;
  spots::CutPage cut;
  std::vector<spots::ExtractionSlots> filled;
  std::vector<spots::Composition> compositions;
  std::vector<std::string> displays;  // the matching records' log texts
  std::array<std::string, 3> lists{bench::watchList(kRecords, 1, 7),
                                   bench::watchList(kRecords, 2, 11),
                                   bench::watchList(kRecords, 3, 13)};
  std::vector<std::string> oldLog;
};

Steps& steps() {
  static Steps s = [] {
    Steps st;
    platform::NullMessagePump pump;
    st.body = page();
    st.cut = spots::cutRecords(spots::decodeEntities(st.body), "<LineStart>", "</LineEnd>");
    const spots::CompiledTemplate compiled =
        spots::compileTemplate(spots::defaultExtractionTemplate());
    const spots::CompiledBody body = spots::compileBody(spots::kDefaultBody);
    spots::RoleSlots roles;
    for (const std::string& record : st.cut.Memo2) {
      st.filled.push_back(spots::fillSlots(record, compiled, roles, pump));
      st.compositions.push_back(spots::compose(body, st.filled.back(), pump));
    }
    watchlists::WatchLists lists;
    lists.Memo_List = st.lists;
    lists.normalize();
    for (const spots::Composition& c : st.compositions) {
      const std::string folded = text::foldAZ(c.search);
      bool any = false;
      for (int l = 1; l <= 3; ++l) any = lists.matchesFolded(l, text::trim(folded)) || any;
      if (any) st.displays.push_back(spots::logSafe(c.display));
    }
    for (int i = 0; i < 200; ++i)
      st.oldLog.push_back("1___old line " + std::to_string(i) + " \\r\\n x");
    return st;
  }();
  return s;
}

void Step1Fetch(benchmark::State& state) {
  bench::PageServer server(page());
  platform::QtMessagePump pump;
  platform::QtHttpClient http;
  const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/spots.html";
  for (auto _ : state) {
    const platform::HttpClient::Result r = http.get(url, pump, [] {});
    if (!r.ok || r.body.size() != page().size()) state.SkipWithError("the fetch failed");
  }
}
BENCHMARK(Step1Fetch)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void Step2Cut(benchmark::State& state) {
  for (auto _ : state) {
    spots::CutPage cut =
        spots::cutRecords(spots::decodeEntities(steps().body), "<LineStart>", "</LineEnd>");
    benchmark::DoNotOptimize(cut.Memo2.data());
  }
}
BENCHMARK(Step2Cut)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void Step3Extraction(benchmark::State& state) {
  platform::NullMessagePump withinRecord;
  platform::QtMessagePump pump;
  const spots::CompiledTemplate compiled =
      spots::compileTemplate(spots::defaultExtractionTemplate());
  spots::RoleSlots roles;
  for (auto _ : state)
    for (const std::string& record : steps().cut.Memo2) {
      pump.pump();
      benchmark::DoNotOptimize(spots::fillSlots(record, compiled, roles, withinRecord));
    }
}
BENCHMARK(Step3Extraction)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void Step4Composition(benchmark::State& state) {
  platform::NullMessagePump pump;
  const spots::CompiledBody body = spots::compileBody(spots::kDefaultBody);
  for (auto _ : state)
    for (const spots::ExtractionSlots& one : steps().filled)
      benchmark::DoNotOptimize(spots::compose(body, one, pump));
}
BENCHMARK(Step4Composition)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void Step5Matching(benchmark::State& state) {
  watchlists::WatchLists lists;
  lists.Memo_List = steps().lists;
  lists.normalize();
  int matched = 0;
  for (auto _ : state)
    for (const spots::Composition& c : steps().compositions) {
      const std::string folded = text::foldAZ(c.search);
      for (int l = 1; l <= 3; ++l) matched += lists.matchesFolded(l, text::trim(folded));
    }
  benchmark::DoNotOptimize(matched);
}
BENCHMARK(Step5Matching)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The matching records' log texts against a full log, the new ones put in front of it and the
// log cut to its length.
void Step6Novelty(benchmark::State& state) {
  std::vector<std::string> log;
  for (auto _ : state) {
    state.PauseTiming();
    log = steps().oldLog;
    state.ResumeTiming();
    spots::NewLines fresh(log);
    for (const spots::Composition& c : steps().compositions) {
      const std::string display = spots::logSafe(c.display);
      if (!fresh.isOld(display)) fresh.add("1___", display);
    }
    fresh.moveInFrontOf(log);
    if (log.size() > 200) log.resize(200);
  }
}
BENCHMARK(Step6Novelty)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The five panes brought up to the log after a check that found lines.
void Step7Views(benchmark::State& state) {
  app::MainServices services;
  platform::NullMessagePump pump;
  services.pump = &pump;
  app::MainModel model(services);
  std::vector<std::string> full = steps().displays;
  for (std::string& line : full) line.insert(0, "1_3_");
  for (auto _ : state) {
    state.PauseTiming();
    model.logViews.Memo_Log.lines = full;
    state.ResumeTiming();
    model.logViews.capLog();
    model.logViews.refreshPanes();
  }
}
BENCHMARK(Step7Views)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      // With --benchmark_repetitions the median stands for the benchmark.
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (median || (r.run_type == Run::RT_Iteration && !r.error_occurred &&
                     !medianSeen.count(r.run_name.function_name))) {
        if (median) medianSeen.insert(r.run_name.function_name);
        real[r.run_name.function_name] = r.GetAdjustedRealTime();
        cpu[r.run_name.function_name] = r.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> real, cpu;
  std::set<std::string> medianSeen;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  // Real time, and the main thread's CPU time (what the window's thread spends; it leaves out
  // the page server's thread and time lost to other processes).
  const double scraperReal = reporter.real["Pcre2Scraper"],
               scraperCpu = reporter.cpu["Pcre2Scraper"];
  if (scraperReal > 0 && scraperCpu > 0) {
    for (const char* name :
         {"CutAndExtract", "WholeCheck", "Step1Fetch", "Step2Cut", "Step3Extraction",
          "Step4Composition", "Step5Matching", "Step6Novelty", "Step7Views"}) {
      if (!reporter.real.count(name)) continue;
      std::printf(
          "%-16s real %8.2f ms = %6.2f x the scraper (%.2f ms); cpu %8.2f ms = %6.2f x (%.2f ms)\n",
          name, reporter.real[name], reporter.real[name] / scraperReal, scraperReal,
          reporter.cpu[name], reporter.cpu[name] / scraperCpu, scraperCpu);
    }
  }
  return 0;
}
