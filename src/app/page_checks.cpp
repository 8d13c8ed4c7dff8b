// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/page_checks.h"

#include <exception>
#include <optional>
#include <thread>

#include "alerts/new_line_alerts.h"
#include "app/log_views.h"
#include "app/patrol_clock.h"
#include "platform/browser.h"
#include "platform/http_client.h"
#include "platform/message_pump.h"
#include "platform/stop_request.h"
#include "settings/station_settings.h"
#include "spots/new_lines.h"
#include "spots/page_text.h"
#include "spots/records_ahead.h"
#include "text/codec.h"
#include "text/sjis.h"
#include "watchlists/watch_lists.h"

namespace zeltaro::app {
namespace {

// Index 0 ... 2 of control n = 1 ... 3.
std::size_t at(int n) { return static_cast<std::size_t>(n - 1); }

}  // namespace

const std::vector<std::string>& welcomeLines() {
  static const std::vector<std::string> lines = {
      text::sj(" Zeltaroをご利用いただき誠にありがとうございます。"),
      text::sj(" 使用方法はﾏｳｽｶｰｿﾙ下の説明ﾋﾝﾄ表示をご参照ください。"),
      text::sj(" ※本ｿﾌﾄの利用による一切の問題についての補償はありません。 "),
      text::sj(" ※巡回先ｻｲﾄの利用規約を守り、巡回間隔は控えめに設定してください。"),
      text::sj(" ※新着の通知はこの欄の最上段に表示されます。"),
  };
  return lines;
}

PageChecks::PageChecks(Parts parts) : parts_(parts) {
  Memo_pcre = spots::defaultExtractionTemplate();
  Edit1 = spots::kDefaultBody;
}

void PageChecks::openUrl(int n) {
  const std::string& address = edtURL[at(n)];
  if (!address.empty() && parts_.services.browser) parts_.services.browser->open(address);
}

bool PageChecks::isUsable(int n) const {
  if (!chkURL[at(n)] || text::trim(edtURL[at(n)]).empty()) return false;
  return parts_.lists.anyEnabledForUrl(n);
}

int PageChecks::UrlCheck(int n) {
  if (n < 1 || n > 3) return 0;
  // The single HTTP client and the page state serve one check at a time: a check asked for
  // while another runs (its pump let a click or a command through) runs after it. So does one
  // asked for during a transfer, which lets the window run while HAMLOG takes the entry.
  if (checkWaits()) {
    queuedChecks_.push_back({n, nullptr});
    return 0;
  }
  const int inserted = runUrlCheck(n);
  if (!parts_.clock.PatrolRunning) runQueuedChecks();
  return inserted;
}

void PageChecks::UrlCheckThen(int n, std::function<void()> done) {
  if (checkWaits() && n >= 1 && n <= 3) {
    queuedChecks_.push_back({n, std::move(done)});
    return;
  }
  UrlCheck(n);
  if (done) done();
}

bool PageChecks::transferRunning() const {
  return parts_.services.transfer && parts_.services.transfer->transferring();
}

void PageChecks::runWaitingChecks() {
  if (!parts_.clock.PatrolRunning) runQueuedChecks();
}

void PageChecks::runQueuedChecks() {
  while (!queuedChecks_.empty() && checkDepth_ == 0 && !transferRunning()) {
    QueuedCheck next = std::move(queuedChecks_.front());
    queuedChecks_.pop_front();
    runUrlCheck(next.n);
    if (next.done) next.done();
  }
}

int PageChecks::runUrlCheck(int n) {
  PatrolClock& clock = parts_.clock;
  ++checkDepth_;
  const bool autoPatrol = clock.AutoPatrolOn;
  clock.AutoPatrolOn = false;
  btnChkUrlEnabled[at(n)] = false;
  clock.restartCountdown();
  parts_.lists.normalize();
  insertedSoFar_ = 0;
  try {
    const platform::HttpClient::Result page = parts_.services.http->get(
        edtURL[at(n)], *parts_.services.pump, [this] { NMHTTP1PacketRecvd(); });
    if (page.ok) {
      Memo2 = spots::pageRecords(page.body, edtSepStart, edtSepEnd);
      const int inserted = processPage(n);
      if (inserted >= 1 && !clock.PatrolRunning) completeSingleCheck(inserted);
    }
  } catch (const std::exception&) {
    // A failing check ends silently; the next patrol tries again.
  }
  btnChkUrlEnabled[at(n)] = true;
  clock.AutoPatrolOn = autoPatrol;
  --checkDepth_;
  return insertedSoFar_;
}

int PageChecks::PatrolCycle() {
  PatrolClock& clock = parts_.clock;
  int total = 0;
  clock.PatrolRunning = true;
  for (int n = 1; n <= 3; ++n)
    if (chkURL[at(n)]) total += UrlCheck(n);
  clock.PatrolRunning = false;
  btnChkUrlEnabled = {true, true, true};
  completePatrolCycle(total);
  clock.restartCountdown();
  runQueuedChecks();
  return total;
}

const spots::CompiledTemplate& PageChecks::compiledTemplate() {
  // A reload during the check may change the template: it is compared at every record.
  if (Memo_pcre != templateCompiledFrom_) {
    templateCompiledFrom_ = Memo_pcre;
    template_ = spots::compileTemplate(Memo_pcre);
    ++templateGeneration_;
  }
  return template_;
}

const spots::CompiledBody& PageChecks::compiledBody() {
  if (Edit1 != body_.body) {
    body_ = spots::compileBody(Edit1);
    ++bodyGeneration_;
  }
  return body_;
}

int PageChecks::processPage(int n) {
  LogViews& log = parts_.log;
  parts_.alerts.SubjectSuffix.clear();
  insertedSoFar_ = 0;
  bool firstQsoHit[3] = {false, false, false};
  spots::NewLines fresh(log.Memo_Log.lines);
  // The new lines go in front of the log in one step when the records are done, also when a
  // record throws.
  const auto commit = [&] {
    if (fresh.empty()) return;
    if (!log.Memo_Log.lines.empty() && log.Memo_Log.lines.front() == welcomeLines().front()) {
      log.Memo_Log.lines.clear();
      log.Memo_Log2.lines.clear();
    }
    fresh.moveInFrontOf(log.Memo_Log.lines);
  };
  try {
    processRecords(n, fresh, firstQsoHit);
  } catch (...) {
    commit();
    throw;
  }
  commit();

  for (std::size_t l = 0; l < 3; ++l)
    if (firstQsoHit[l] && parts_.station.first[l].Subj)
      parts_.alerts.SubjectSuffix += parts_.station.first[l].Text;
  return insertedSoFar_;
}

void PageChecks::processRecords(int n, spots::NewLines& fresh, bool (&firstQsoHit)[3]) {
  FirstQsoChecker* firstQso = parts_.services.firstQso;
  LogViews& log = parts_.log;
  // The log is looked at once for the page, and let go when the page is done, also when a
  // record throws.
  struct PageScope {
    FirstQsoChecker* checker;
    explicit PageScope(FirstQsoChecker* c) : checker(c) {
      if (checker) checker->pageBegins();
    }
    ~PageScope() {
      if (checker) checker->pageEnds();
    }
    PageScope(const PageScope&) = delete;
    PageScope& operator=(const PageScope&) = delete;
  } page(firstQso);
  // Whether the lists' texts were compared with their matcher since the pump last let the
  // window and the console run: until then nothing can have changed them, and the page's
  // records are searched without comparing their few kilobytes again at each. (A change made
  // while the message box about an old library is open counts from the pump's next turn, a few
  // milliseconds on, as if it had come that much later.)
  bool listsSeen = false;
  std::optional<unsigned long long> turnsSeen;
  // The same for the template and the Body, which a reload may change.
  const spots::CompiledTemplate* templ = nullptr;
  const spots::CompiledBody* body = nullptr;
  // On a page of many records, a second thread prepares records from the last one backwards
  // while this one goes forwards (spots/records_ahead.h); its results count while the
  // template, the Body and the role slots are still those it was given.
  std::optional<spots::RecordsAhead> ahead;
  const bool twoThreads =
      Memo2.size() >= kRecordsForASecondThread && std::thread::hardware_concurrency() > 1;
  if (twoThreads) {
    templ = &compiledTemplate();
    body = &compiledBody();
  }
  const std::uint64_t aheadTemplate = templateGeneration_, aheadBody = bodyGeneration_;
  const spots::RoleSlots aheadRoles = roles;
  if (twoThreads) ahead.emplace(Memo2, kRecordsAhead, *templ, *body, roles);
  for (std::size_t i = 0; i < Memo2.size(); ++i) {
    if (platform::stopRequested()) return;  // the program is closing
    // The window and the console get their turn once per record: a record takes a few
    // microseconds, so the pump (which itself runs the event loop only every few
    // milliseconds) need not be asked at every tag and word.
    parts_.services.pump->pump();
    const std::optional<unsigned long long> turns = parts_.services.pump->turns();
    if (!turns || turns != turnsSeen) {
      listsSeen = false;
      templ = nullptr;
      body = nullptr;
    }
    turnsSeen = turns;
    if (!templ) templ = &compiledTemplate();
    if (!body) body = &compiledBody();
    spots::PreparedRecord own;
    spots::PreparedRecord* prepared = nullptr;
    if (ahead && i < ahead->to() && templateGeneration_ == aheadTemplate &&
        bodyGeneration_ == aheadBody && roles == aheadRoles) {
      prepared = ahead->take(i);
    }
    if (!prepared) {
      own = spots::prepareRecord(Memo2[i], *templ, *body, roles);
      prepared = &own;
    }
    const spots::ExtractionSlots& slots = prepared->slots;
    // The search text of every record; the display text only of those a list matches.
    const spots::Composition& c = prepared->search;
    if (!c.searchable) continue;

    edt_Call = slots[roles.HTTP_CALL];
    edt_Freq = slots[roles.HTTP_FREQ];
    edt_Code = slots[roles.HTTP_CODE];
    edt_Mode = slots[roles.HTTP_MODE];

    bool matched[3] = {false, false, false};
    std::array<bool, 3> searched{false, false, false};  // the lists whose entries are looked at
    for (int l = 1; l <= 3; ++l) {
      if (!parts_.lists.enabledForUrl(l, n)) continue;
      if (firstQso && firstQso->isFirstQso(l, {edt_Call, edt_Freq, edt_Code, edt_Mode})) {
        matched[l - 1] = true;
        firstQsoHit[l - 1] = true;
      } else {
        searched[static_cast<std::size_t>(l - 1)] = true;
      }
    }
    if (searched[0] || searched[1] || searched[2]) {
      const std::array<bool, 3> found =
          parts_.lists.matchFolded(searched, text::trim(c.search), listsSeen);
      listsSeen = true;
      for (std::size_t l = 0; l < 3; ++l) matched[l] = matched[l] || found[l];
    }
    if (!matched[0] && !matched[1] && !matched[2]) continue;

    platform::NullMessagePump withinRecord;
    const std::string display = spots::logSafe(spots::compose(*body, slots, withinRecord).display);
    if (fresh.isOld(display)) continue;
    const char mark[] = {matched[0] ? '1' : '_', matched[1] ? '2' : '_', matched[2] ? '3' : '_',
                         '_'};
    fresh.add(std::string_view(mark, sizeof mark), display);
    ++insertedSoFar_;
    log.Memo_Log3.scrollToTop();
    log.Memo_Log4.scrollToTop();
    log.Memo_Log5.scrollToTop();
    parts_.alerts.lamps.light(matched[0], matched[1], matched[2]);
  }
}

void PageChecks::completeSingleCheck(int newLines) {
  parts_.alerts.singleCheckFound(parts_.log.Memo_Log.lines, newLines, parts_.clock.AutoPatrolOn);
  parts_.log.capLog();
  parts_.log.refreshPanes();
}

void PageChecks::completePatrolCycle(int newLines) {
  if (!parts_.alerts.patrolCycleFound(parts_.log.Memo_Log.lines, newLines)) return;
  parts_.log.capLog();
  parts_.log.refreshPanes();
}

}  // namespace zeltaro::app
