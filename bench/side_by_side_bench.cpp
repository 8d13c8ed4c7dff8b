// SPDX-License-Identifier: GPL-3.0-or-later
// One page of 5,000 spot records (the default format, about 1.8 MB) handled three ways in one
// run, with the ratios printed at the end:
//   Pcre2Scraper   - what a user might write instead: PCRE2 with JIT, one pattern cuts the
//                    records and thirteen patterns pull the fields out of each;
//   CutAndExtract  - our entity decoding, cutting and extraction with the default template;
//   WholeCheck     - "check page 1" as the button runs it: the page fetched with the real HTTP
//                    client from a server on loopback, cut, extracted, composed, matched against
//                    three lists of 300 entries, compared with a log of 200 lines, inserted and
//                    the panes refreshed, with the Qt message pump running;
//   BlackBoxCheck    - "T U1" sent to the built program over its console until the reply is
//                      back: /0 with the log emptied before each check, /1 with it kept full
//                      (ZELTARO_BENCH_EXE names another build of the program to time instead);
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
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <thread>

#include "app/main_model.h"
#include "bench/checking_station.h"
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
    const std::vector<std::string> records =
        spots::pageRecords(page(), "<LineStart>", "</LineEnd>");
    const spots::CompiledTemplate compiled =
        spots::compileTemplate(spots::defaultExtractionTemplate());
    for (const std::string& record : records) {
      filled += spots::fillSlots(record, compiled, spots::RoleSlots{}, pump)[4].size();
    }
    if (records.size() != kRecords) state.SkipWithError("wrong record count");
  }
  benchmark::DoNotOptimize(filled);
}
BENCHMARK(CutAndExtract)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void WholeCheck(benchmark::State& state) {
  bench::CheckingStation station(page());
  app::MainModel& model = station.model;
  model.watchLists.Memo_List[0] = bench::watchList(kRecords, 1, 7);
  model.watchLists.Memo_List[1] = bench::watchList(kRecords, 2, 11);
  model.watchLists.Memo_List[2] = bench::watchList(kRecords, 3, 13);
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
  std::vector<std::string> records;
  std::vector<spots::ExtractionSlots> filled;
  std::vector<spots::Composition> compositions;
  std::vector<std::string> displays;  // the matching records' composed display texts
  std::vector<std::size_t> matched;   // and their places
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
    st.records = spots::pageRecords(st.body, "<LineStart>", "</LineEnd>");
    const spots::CompiledTemplate compiled =
        spots::compileTemplate(spots::defaultExtractionTemplate());
    const spots::CompiledBody body = spots::compileBody(spots::kDefaultBody);
    spots::RoleSlots roles;
    for (const std::string& record : st.records) {
      st.filled.push_back(spots::fillSlots(record, compiled, roles, pump));
      st.compositions.push_back(spots::compose(body, st.filled.back(), pump));
    }
    watchlists::WatchLists lists;
    lists.Memo_List = st.lists;
    lists.normalize();
    for (std::size_t i = 0; i < st.compositions.size(); ++i) {
      const spots::Composition& c = st.compositions[i];
      const std::string folded = text::foldAZ(c.search);
      const std::array<bool, 3> found =
          lists.matchFolded({true, true, true}, text::trim(folded), false);
      if (!found[0] && !found[1] && !found[2]) continue;
      st.displays.push_back(c.display);
      st.matched.push_back(i);
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
    std::vector<std::string> records =
        spots::pageRecords(steps().body, "<LineStart>", "</LineEnd>");
    benchmark::DoNotOptimize(records.data());
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
    for (const std::string& record : steps().records) {
      pump.pump();
      benchmark::DoNotOptimize(spots::fillSlots(record, compiled, roles, withinRecord));
    }
}
BENCHMARK(Step3Extraction)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Every record's search text, and the display text of those a list matches.
void Step4Composition(benchmark::State& state) {
  platform::NullMessagePump pump;
  const spots::CompiledBody body = spots::compileBody(spots::kDefaultBody);
  for (auto _ : state) {
    for (const spots::ExtractionSlots& one : steps().filled)
      benchmark::DoNotOptimize(spots::composeSearch(body, one, pump));
    for (std::size_t i : steps().matched)
      benchmark::DoNotOptimize(spots::compose(body, steps().filled[i], pump));
  }
}
BENCHMARK(Step4Composition)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void Step5Matching(benchmark::State& state) {
  watchlists::WatchLists lists;
  lists.Memo_List = steps().lists;
  lists.normalize();
  int matched = 0;
  // As the check searches: the lists' texts compared at the first record, then trusted until
  // the window has had its turn.
  for (auto _ : state) {
    bool first = true;
    for (const spots::Composition& c : steps().compositions) {
      const std::string folded = text::foldAZ(c.search);
      const std::array<bool, 3> found =
          lists.matchFolded({true, true, true}, text::trim(folded), !first);
      matched += found[0] + found[1] + found[2];
      first = false;
    }
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
    for (const std::string& composed : steps().displays) {
      const std::string display = spots::logSafe(composed);
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
  for (std::string& line : full) line = "1_3_" + spots::logSafe(line);
  for (auto _ : state) {
    state.PauseTiming();
    model.logViews.Memo_Log.lines = full;
    state.ResumeTiming();
    model.logViews.capLog();
    model.logViews.refreshPanes();
  }
}
BENCHMARK(Step7Views)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// --- the black box: the program itself, asked over its console ------------------------------
// The built program started in a folder of its own (settings beside it, HOME inside it, no
// display), its page 1 on the page server and the three lists in its settings file; "T U1" is
// sent over the console and timed until its reply has come back. Arg 0: the log emptied ("Z CLR",
// not timed) before each check; 1: the log kept full, as on a running station.

class ProgramOverConsole {
 public:
  ProgramOverConsole(int pagePort, const std::array<std::string, 3>& lists) {
    const QString exe = dir_.filePath("zeltaro");
    // ZELTARO_BENCH_EXE names another build of the program to set beside this one.
    const char* other = std::getenv("ZELTARO_BENCH_EXE");
    QFile::copy(other ? QString::fromLocal8Bit(other) : QStringLiteral(ZELTARO_EXE), exe);
    std::string ini = "[Inet]\nTimeSel=0\nChkURL1=1\nChkURL2=0\nChkURL3=0\nUrl1=http://127.0.0.1:" +
                      std::to_string(pagePort) +
                      "/spots.html\n\n[Alert]\nAlert=0\n\n[Mail]\nOn=0\n";
    for (int l = 0; l < 3; ++l) {
      ini += "\n[List" + std::to_string(l + 1) + "]\nUrl1=1\nUrl2=1\nUrl3=1\nList=" +
             text::replaceAll(lists[static_cast<std::size_t>(l)], "\r\n", "\\r\\n") + "\n";
    }
    QFile file(dir_.filePath("zeltaro.ini"));
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(ini.data(), static_cast<qint64>(ini.size()));
    file.close();

    QTcpServer probe;  // a port free now for the console
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir_.path());
    env.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", dir_.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process_.setProcessEnvironment(env);
    process_.setWorkingDirectory(dir_.path());
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(exe, {QStringLiteral("/telnet=%1").arg(port)});
    if (!process_.waitForStarted(10000)) return;
    for (int i = 0; i < 100 && socket_.state() != QAbstractSocket::ConnectedState; ++i) {
      socket_.connectToHost(QHostAddress::LocalHost, port);
      if (!socket_.waitForConnected(100)) socket_.abort(), QThread::msleep(100);
    }
    // The greeting: the command list, then nothing more.
    std::string greeting;
    while (
        socket_.state() == QAbstractSocket::ConnectedState &&
        (socket_.waitForReadyRead(greeting.empty() ? 10000 : 300) || socket_.bytesAvailable() > 0))
      greeting += socket_.readAll().toStdString();
    ok_ = !greeting.empty() && socket_.state() == QAbstractSocket::ConnectedState;
  }
  ~ProgramOverConsole() {
    socket_.write("Q\r\n");
    socket_.waitForBytesWritten(1000);
    socket_.abort();
    process_.terminate();
    if (!process_.waitForFinished(10000)) process_.kill();
    process_.waitForFinished(5000);
  }
  bool ok() const { return ok_; }

  // Sends line and returns what came back up to the empty line that ends a reply; empty after
  // 30 s without one.
  std::string reply(const std::string& line) {
    socket_.write((line + "\r\n").c_str());
    std::string got;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 30000) {
      if (socket_.bytesAvailable() == 0) socket_.waitForReadyRead(100);
      got += socket_.readAll().toStdString();
      if (got.size() > line.size() + 2 && got.ends_with("\r\n\r\n")) return got;
    }
    return {};
  }

 private:
  QTemporaryDir dir_;
  QProcess process_;
  QTcpSocket socket_;
  bool ok_ = false;
};

void BlackBoxCheck(benchmark::State& state) {
  bench::PageServer server(page());
  ProgramOverConsole program(server.port(), steps().lists);
  if (!program.ok()) {
    state.SkipWithError("the program did not answer on its console");
    return;
  }
  const bool keepLog = state.range(0) == 1;
  program.reply("T U1");  // the first check fills the log and warms everything up
  for (auto _ : state) {
    if (!keepLog) {
      state.PauseTiming();
      program.reply("Z CLR");
      // The window repaints the emptied panes after that reply; a command that changes nothing
      // waits for it, so that the clearing's own work is not timed as the check's.
      program.reply("V OFF");
      state.ResumeTiming();
    }
    if (program.reply("T U1").find("URL1") == std::string::npos)
      state.SkipWithError("no reply to the check");
  }
}
BENCHMARK(BlackBoxCheck)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      // With --benchmark_repetitions the median stands for the benchmark.
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      const std::string name =
          r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
      if (median ||
          (r.run_type == Run::RT_Iteration && !r.error_occurred && !medianSeen.count(name))) {
        if (median) medianSeen.insert(name);
        real[name] = r.GetAdjustedRealTime();
        cpu[name] = r.GetAdjustedCPUTime();
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
    for (const char* name : {"CutAndExtract", "WholeCheck", "BlackBoxCheck/0", "BlackBoxCheck/1",
                             "Step1Fetch", "Step2Cut", "Step3Extraction", "Step4Composition",
                             "Step5Matching", "Step6Novelty", "Step7Views"}) {
      if (!reporter.real.count(name)) continue;
      std::printf(
          "%-16s real %8.2f ms = %6.2f x the scraper (%.2f ms); cpu %8.2f ms = %6.2f x (%.2f ms)\n",
          name, reporter.real[name], reporter.real[name] / scraperReal, scraperReal,
          reporter.cpu[name], reporter.cpu[name] / scraperCpu, scraperCpu);
    }
  }
  return 0;
}
