#include "app/main_model.h"

#include <cstdio>
#include <exception>

#include "alerts/iso2022jp.h"
#include "alerts/mail_send.h"
#include "alerts/sound_alert.h"
#include "app/command_line.h"
#include "app/settings_io.h"
#include "platform/browser.h"
#include "platform/message_box.h"
#include "platform/stop_request.h"
#include "spots/composition.h"
#include "spots/new_lines.h"
#include "spots/page_text.h"
#include "text/codec.h"
#include "text/sjis.h"
#include "watchlists/watch_list.h"

namespace zeltaro::app {
namespace {

platform::NullMessagePump nullPump;

platform::SystemClock systemClock;

// A client for a model built without one: every fetch fails, as with no network.
class NoHttp final : public platform::HttpClient {
 public:
  Result get(std::string_view, platform::MessagePump&, const std::function<void()>&) override {
    return {false, 0, {}, "no HTTP client"};
  }
} noHttp;

// Index 0 ... 2 of control n = 1 ... 3.
std::size_t at(int n) { return static_cast<std::size_t>(n - 1); }

}  // namespace

const std::string& banner() {
  static const std::string b =
      " Zeltaro v2.11       by the Zeltaro developers ( use Hamlog50.dll )";
  return b;
}

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

MainModel::MainModel(MainServices services) : services_(services) {
  if (!services_.pump) services_.pump = &nullPump;
  if (!services_.http) services_.http = &noHttp;
  if (!services_.clock) services_.clock = &systemClock;
  Memo_pcre = spots::defaultExtractionTemplate();
  Edit1 = spots::kDefaultBody;
  // Samples of the entry syntax: a prefix, a band and mode pair, and a disabled entry.
  Memo_List3 = "8J\r\nJD1\r\n7,0 CW\r\n*JA1 SSB\r\n";
  Memo_Log.lines = welcomeLines();
  caption = banner();
}

// ---------------------------------------------------------------- start-up and close

void MainModel::startUp(const std::vector<std::string>& args) {
  commandLine = args;
  if (services_.console) services_.console->clearPendingInput();
  const CommandLine options = parseCommandLine(args);
  consolePort = options.port;
  consolePassword = options.password;
  caption = banner();
  if (!SettingsFile.empty()) SavedLog = LoadSettings(*this, SettingsFile);
  WelcomeText = text::joinLines(Memo_Log.lines);
  if (!text::trim(SavedLog).empty()) {
    Memo_Log.lines = text::splitLines(SavedLog);
    capLog();
    refreshPanes();
  } else {
    Memo_Log2.lines = Memo_Log.lines;
  }
  for (Pane* p : {&Memo_Log, &Memo_Log2, &Memo_Log3, &Memo_Log4, &Memo_Log5}) p->scrollToTop();
  if (consolePort != 0 && services_.console) services_.console->listen();
  for (int l = 1; l <= 3; ++l) refreshCounter(l);
  applyWindowGeometry();
  ComboBox2Change();
  ApplyDisplayMode();
  checkFilterButton(views::filterFromLog123(Log123));
  LayOutLogPanes();
  startUpDone = true;
  // The list colours (Color_1 ... Color_3) reach the list memos and their panes with the
  // window's next refresh from the model.
  checkFilterButton(views::filterFromLog123(Log123));
  LayOutLogPanes();
  PatrolTicks = 0;
  ProgressBar1 = 0;
  Timer1Enabled = true;
}

void MainModel::close() {
  storePatrolWindowStates();
  closeRigLink();
  capLog();  // also when the program is stopped in the middle of a check
  saveSettingsFile();
  releaseMichiNoEkiData();
}

// The steps of the close sequence whose subsystems are still to come.
void MainModel::storePatrolWindowStates() {
  if (services_.patrolLists) services_.patrolLists->saveVisibleWindows();
}
void MainModel::closeRigLink() {
  if (services_.rig) services_.rig->close();
}
void MainModel::releaseMichiNoEkiData() {
  if (services_.firstQso) services_.firstQso->releaseMichi();
}

void MainModel::loadMichiNoEkiData() {
  if (services_.firstQso) services_.firstQso->reloadMichi();
}

void MainModel::settingsDialogClosed(const settings::RigDirectSettings& rigBefore,
                                     bool foldersChanged) {
  if (services_.rig) services_.rig->settingsDialogClosed(rigBefore);
  if (foldersChanged) loadMichiNoEkiData();
}

bool MainModel::saveSettingsFile(std::string* reason) {
  if (SettingsFile.empty()) return true;
  const SaveOutcome saved = SaveSettings(*this, SettingsFile);
  if (reason) *reason = saved.reason;
  if (!saved.ok && services_.messageBox)
    services_.messageBox->show(platform::MessageBox::Kind::Error, "Zeltaro", saved.message);
  return saved.ok;
}

// ---------------------------------------------------------------- page checks

std::string& MainModel::urlText(int n) { return edtURL[at(n)]; }

const std::string& MainModel::urlText(int n) const { return edtURL[at(n)]; }

bool MainModel::urlOn(int n) const { return chkURL[at(n)]; }

bool& MainModel::checkButtonEnabled(int n) { return btnChkUrlEnabled[at(n)]; }

void MainModel::openUrl(int n) {
  const std::string& address = urlText(n);
  if (!address.empty() && services_.browser) services_.browser->open(address);
}

int MainModel::UrlCheck(int n) {
  if (n < 1 || n > 3) return 0;
  // The single HTTP client and the page state serve one check at a time: a check asked for
  // while another runs (its pump let a click or a command through) runs after it.
  if (checkDepth_ > 0) {
    queuedChecks_.push_back({n, nullptr});
    return 0;
  }
  const int inserted = runUrlCheck(n);
  if (!PatrolRunning) runQueuedChecks();
  return inserted;
}

void MainModel::UrlCheckThen(int n, std::function<void()> done) {
  if (checkDepth_ > 0 && n >= 1 && n <= 3) {
    queuedChecks_.push_back({n, std::move(done)});
    return;
  }
  UrlCheck(n);
  if (done) done();
}

void MainModel::runQueuedChecks() {
  while (!queuedChecks_.empty() && checkDepth_ == 0) {
    QueuedCheck next = std::move(queuedChecks_.front());
    queuedChecks_.pop_front();
    runUrlCheck(next.n);
    if (next.done) next.done();
  }
}

int MainModel::runUrlCheck(int n) {
  ++checkDepth_;
  const bool autoPatrol = AutoPatrolOn;
  AutoPatrolOn = false;
  checkButtonEnabled(n) = false;
  PatrolTicks = 0;
  ProgressBar1 = 0;
  normalizeLists();
  insertedSoFar_ = 0;
  try {
    const platform::HttpClient::Result page =
        services_.http->get(urlText(n), *services_.pump, [this] { NMHTTP1PacketRecvd(); });
    if (page.ok) {
      spots::CutPage cut =
          spots::cutRecords(spots::decodeEntities(page.body), edtSepStart, edtSepEnd);
      Memo1 = std::move(cut.Memo1);
      Memo2 = std::move(cut.Memo2);
      const int inserted = processPage(n);
      if (inserted >= 1 && !PatrolRunning) completeSingleCheck(inserted);
    }
  } catch (const std::exception&) {
    // A failing check ends silently; the next patrol tries again.
  }
  checkButtonEnabled(n) = true;
  AutoPatrolOn = autoPatrol;
  --checkDepth_;
  return insertedSoFar_;
}

// ---------------------------------------------------------------- notification

const spots::CompiledTemplate& MainModel::compiledTemplate() {
  // A reload during the check may change the template: it is compared at every record.
  if (Memo_pcre != templateCompiledFrom_) {
    templateCompiledFrom_ = Memo_pcre;
    template_ = spots::compileTemplate(Memo_pcre);
  }
  return template_;
}

const spots::CompiledBody& MainModel::compiledBody() {
  if (Edit1 != body_.body) body_ = spots::compileBody(Edit1);
  return body_;
}

int MainModel::processPage(int n) {
  SubjectSuffix.clear();
  insertedSoFar_ = 0;
  bool firstQsoHit[3] = {false, false, false};
  spots::NewLines fresh(Memo_Log.lines);
  // The new lines go in front of the log in one step when the records are done, also when a
  // record throws.
  const auto commit = [&] {
    if (fresh.empty()) return;
    if (!Memo_Log.lines.empty() && Memo_Log.lines.front() == welcomeLines().front()) {
      Memo_Log.lines.clear();
      Memo_Log2.lines.clear();
    }
    fresh.moveInFrontOf(Memo_Log.lines);
  };
  try {
    processRecords(n, fresh, firstQsoHit);
  } catch (...) {
    commit();
    throw;
  }
  commit();

  for (int l = 0; l < 3; ++l)
    if (firstQsoHit[l] && station.first[static_cast<std::size_t>(l)].Subj)
      SubjectSuffix += station.first[static_cast<std::size_t>(l)].Text;
  return insertedSoFar_;
}

void MainModel::processRecords(int n, spots::NewLines& fresh, bool (&firstQsoHit)[3]) {
  for (const std::string& record : Memo2) {
    if (platform::stopRequested()) return;  // the program is closing
    // The window and the console get their turn once per record: a record takes a few
    // microseconds, so the pump (which itself runs the event loop only every few
    // milliseconds) need not be asked at every tag and word.
    services_.pump->pump();
    platform::NullMessagePump withinRecord;
    const spots::ExtractionSlots slots =
        spots::fillSlots(record, compiledTemplate(), roles, withinRecord);
    const spots::Composition c = spots::compose(compiledBody(), slots, withinRecord);
    if (!c.searchable) continue;

    edt_Call = slots[roles.HTTP_CALL];
    edt_Freq = slots[roles.HTTP_FREQ];
    edt_Code = slots[roles.HTTP_CODE];
    edt_Mode = slots[roles.HTTP_MODE];

    bool matched[3] = {false, false, false};
    std::string folded;  // the search text A-Z folded, once for the three lists
    bool isFolded = false;
    for (int l = 1; l <= 3; ++l) {
      if (!listEnabledForUrl(l, n)) continue;
      if (services_.firstQso &&
          services_.firstQso->isFirstQso(l, {edt_Call, edt_Freq, edt_Code, edt_Mode})) {
        matched[l - 1] = true;
        firstQsoHit[l - 1] = true;
      } else {
        if (!isFolded) {
          folded = text::foldAZ(c.search);
          isFolded = true;
        }
        matched[l - 1] = listMatchers_[at(l)].matchesFolded(listText(l), text::trim(folded));
      }
    }
    if (!matched[0] && !matched[1] && !matched[2]) continue;

    const std::string display = spots::logSafe(c.display);
    if (fresh.isOld(display)) continue;
    const char mark[] = {matched[0] ? '1' : '_', matched[1] ? '2' : '_', matched[2] ? '3' : '_',
                         '_'};
    fresh.add(std::string_view(mark, sizeof mark), display);
    ++insertedSoFar_;
    Memo_Log3.scrollToTop();
    Memo_Log4.scrollToTop();
    Memo_Log5.scrollToTop();
    lamps.light(matched[0], matched[1], matched[2]);
  }
}

void MainModel::collectMailText(int newLines) {
  const std::size_t n = std::min(static_cast<std::size_t>(newLines), Memo_Log.lines.size());
  for (std::size_t i = 0; i < n; ++i) MailText += alerts::toIso2022Jp(Memo_Log.lines[i]);
}

void MainModel::capLog() {
  if (Memo_Log.lines.size() > kLogCap) Memo_Log.lines.resize(kLogCap);
}

void MainModel::refreshPanes() {
  Memo_Log.scrollToTop();
  RefreshLogViews();
  for (Pane* p : {&Memo_Log2, &Memo_Log3, &Memo_Log4, &Memo_Log5}) p->scrollToTop();
}

void MainModel::completeSingleCheck(int newLines) {
  if (chkAlert) btnSoundTestClick();
  if (!AutoPatrolOn && mail.chkMail) {
    MailText.clear();
    collectMailText(newLines);
    if (!MailText.empty()) {
      NewLineCount = newLines;
      sendMail(MailOrigin::SingleCheck);
    }
  }
  capLog();
  refreshPanes();
}

void MainModel::completePatrolCycle(int newLines) {
  MailText.clear();
  if (newLines > 0) collectMailText(newLines);
  if (MailText.empty()) return;
  NewLineCount = newLines;
  if (chkAlert) btnSoundTestClick();
  if (mail.chkMail) sendMail(MailOrigin::PatrolCycle);
  capLog();
  refreshPanes();
}

// ---------------------------------------------------------------- mail

void MainModel::sendMail(MailOrigin origin) {
  if (!services_.smtp) return;
  const alerts::SmtpResult r = alerts::sendMail(mail, MailText, NewLineCount, SubjectSuffix,
                                                *services_.smtp, *services_.clock, Form3);
  if (origin != MailOrigin::SingleCheck && services_.messageBox)
    alerts::reportMailConnectionFailure(*services_.messageBox, r);
}

// ---------------------------------------------------------------- sound

void MainModel::btnSoundTestClick() {
  if (services_.sound) services_.sound->btnSoundTestClick(edtSound);
}

void MainModel::btnSoundFileClick() {
  if (services_.sound) services_.sound->btnSoundFileClick(edtSound);
}

// ---------------------------------------------------------------- watch lists

std::string& MainModel::listText(int list) { return Memo_List[at(list)]; }

bool MainModel::listEnabledForUrl(int list, int url) const { return chkListUrl[at(list)][at(url)]; }

bool& MainModel::listEnabledForUrl(int list, int url) { return chkListUrl[at(list)][at(url)]; }

void MainModel::refreshCounter(int list) {
  LabelList[at(list)] = watchlists::counterText(listText(list));
}

void MainModel::normalizeLists() {
  for (int l = 1; l <= 3; ++l) watchlists::normalizeTabs(listText(l));
}

// ---------------------------------------------------------------- patrol scheduler

void MainModel::selectInterval(int minutes) {
  radioTimeSel_Off = false;
  radioTimeSel_2min = minutes == 2;
  radioTimeSel_3min = minutes == 3;
  radioTimeSel_4min = minutes == 4;
  radioTimeSel_5min = minutes == 5;
  AutoPatrolOn = true;
}

void MainModel::clickIntervalButton(int minutes) {
  switch (minutes) {
    case 2:
      radioTimeSel_2minClick();
      break;
    case 3:
      radioTimeSel_3minClick();
      break;
    case 4:
      radioTimeSel_4minClick();
      break;
    case 5:
      radioTimeSel_5minClick();
      break;
    default:
      radioTimeSel_OffClick();
      break;
  }
}

void MainModel::radioTimeSel_OffClick() {
  radioTimeSel_Off = true;
  radioTimeSel_2min = radioTimeSel_3min = radioTimeSel_4min = radioTimeSel_5min = false;
  AutoPatrolOn = false;
}

void MainModel::intervalDoubleClick(int minutes) {
  selectInterval(minutes);  // the double click's first click has selected it
  ProgressBar1 = 60;
}

bool MainModel::isUsable(int n) const {
  if (!urlOn(n) || text::trim(urlText(n)).empty()) return false;
  return listEnabledForUrl(1, n) || listEnabledForUrl(2, n) || listEnabledForUrl(3, n);
}

int MainModel::selectedInterval() const {
  if (radioTimeSel_Off) return 0;
  return radioTimeSel_2min   ? 2
         : radioTimeSel_3min ? 3
         : radioTimeSel_4min ? 4
         : radioTimeSel_5min ? 5
                             : 0;
}

int MainModel::PatrolCycle() {
  int total = 0;
  PatrolRunning = true;
  for (int n = 1; n <= 3; ++n)
    if (urlOn(n)) total += UrlCheck(n);
  PatrolRunning = false;
  btnChkUrl1Enabled = btnChkUrl2Enabled = btnChkUrl3Enabled = true;
  completePatrolCycle(total);
  PatrolTicks = 0;
  ProgressBar1 = 0;
  runQueuedChecks();
  return total;
}

std::string MainModel::clockCaption() const {
  const platform::LocalDateTime t = services_.clock->now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %02d:%02d:%02d", t.year % 100, t.month, t.day,
                t.hour, t.minute, t.second);
  static const std::string sixIdeographicSpaces = text::sj("　　　　　　");
  return banner() + sixIdeographicSpaces + buf;
}

void MainModel::Timer1Timer() {
  if (!firstTickDone) {
    firstTickDone = true;
    if (station.rigDirect.Use && !station.rigDirect.RigTarvopc && services_.rig)
      services_.rig->open();
  }

  if (atRest()) {
    blinkCounter = 0;
    ImageInternet = false;
  } else {
    ImageInternet = blinkCounter % 2 == 1;
    ++blinkCounter;
  }

  if (atRest()) {
    if (!AutoPatrolOn) {
      PatrolTicks = 0;
      ProgressBar1 = 0;
    } else if (ProgressBar1 < 60 || radioTimeSel_Off) {
      const int m = selectedInterval();
      if (radioTimeSel_Off || m == 0) {
        PatrolTicks = 0;
        ProgressBar1 = 0;
      } else if (isUsable(1) || isUsable(2) || isUsable(3)) {
        ++PatrolTicks;
        ProgressBar1 = PatrolTicks > 60 * m - 1 ? 60 : PatrolTicks / m;
      } else {
        PatrolTicks = 0;
        ProgressBar1 = 0;
      }
    } else {
      PatrolCycle();
    }
  }

  caption = clockCaption();
}

}  // namespace zeltaro::app
