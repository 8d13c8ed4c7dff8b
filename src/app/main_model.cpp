// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_model.h"

#include <cstdio>

#include "app/command_line.h"
#include "app/settings_io.h"
#include "platform/clock.h"
#include "platform/http_client.h"
#include "platform/message_box.h"
#include "platform/message_pump.h"
#include "text/codec.h"
#include "text/sjis.h"

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

MainServices withDefaults(MainServices services) {
  if (!services.pump) services.pump = &nullPump;
  if (!services.http) services.http = &noHttp;
  if (!services.clock) services.clock = &systemClock;
  return services;
}

}  // namespace

const std::string& banner() {
  static const std::string b =
      " Zeltaro v2.11       by the Zeltaro developers ( use Hamlog50.dll )";
  return b;
}

MainModel::MainModel(MainServices services)
    : services_(withDefaults(services)),
      alerts({.sound = services_.sound,
              .smtp = services_.smtp,
              .clock = services_.clock,
              .messageBox = services_.messageBox}),
      logViews(services_),
      pageChecks({.services = services_,
                  .lists = watchLists,
                  .clock = patrolClock,
                  .log = logViews,
                  .alerts = alerts,
                  .station = station}) {
  logViews.Memo_Log.lines = welcomeLines();
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
  LogViews& log = logViews;
  if (!SettingsFile.empty()) log.SavedLog = LoadSettings(*this, SettingsFile);
  log.WelcomeText = text::joinLines(log.Memo_Log.lines);
  if (!text::trim(log.SavedLog).empty()) {
    log.Memo_Log.lines = text::splitLines(log.SavedLog);
    log.capLog();
    log.refreshPanes();
  } else {
    log.Memo_Log2.lines = log.Memo_Log.lines;
  }
  log.scrollAllToTop();
  if (consolePort != 0 && services_.console) services_.console->listen();
  for (int l = 1; l <= 3; ++l) watchLists.refreshCounter(l);
  log.applyWindowGeometry(startUpDone);
  log.applyLogFont();
  log.ApplyDisplayMode();
  log.checkFilterButton(views::filterFromLog123(log.Log123));
  log.LayOutLogPanes();
  startUpDone = true;
  // The list colours (Color[0] ... Color[2]) reach the list memos and their panes with the
  // window's next refresh from the model.
  log.checkFilterButton(views::filterFromLog123(log.Log123));
  log.LayOutLogPanes();
  patrolClock.restartCountdown();
  patrolClock.Timer1Enabled = true;
}

void MainModel::close() {
  storePatrolWindowStates();
  closeRigLink();
  logViews.capLog();  // also when the program is stopped in the middle of a check
  saveSettingsFile();
  releaseMichiNoEkiData();
}

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

// ---------------------------------------------------------------- patrol clock

std::string MainModel::clockCaption() const {
  const platform::LocalDateTime t = services_.clock->now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %02d:%02d:%02d", t.year % 100, t.month, t.day,
                t.hour, t.minute, t.second);
  static const std::string sixIdeographicSpaces = text::sj("　　　　　　");
  return banner() + sixIdeographicSpaces + buf;
}

void MainModel::tick() {
  if (patrolClock.firstTick() && station.rigDirect.Use && !station.rigDirect.RigTarvopc &&
      services_.rig)
    services_.rig->open();

  pageChecks.ImageInternet = patrolClock.blink(atRest());

  if (atRest() && !transferRunning()) {
    const bool anyUsable =
        pageChecks.isUsable(1) || pageChecks.isUsable(2) || pageChecks.isUsable(3);
    if (patrolClock.countdown(anyUsable)) pageChecks.PatrolCycle();
  }

  caption = clockCaption();
}

// ---------------------------------------------------------------- log views

void MainModel::clearLogs() {
  alerts.lamps.clearColours();
  logViews.clearPanes();
  alerts.MailText.clear();
}

void MainModel::stopPatrolForTransfer(bool alsoNew) {
  if (services_.patrolLists) services_.patrolLists->stopPatrol(alsoNew);
  if (alsoNew) logViews.CheckBox2 = false;
  LastActiveWindow = mainWindowId;
}

void MainModel::transferFromNoticeLog() {
  const auto line = views::caretLine(logViews.Memo_Log);
  if (!line) return;
  stopPatrolForTransfer(false);
  if (*line >= logViews.Memo_Log2.lines.size()) return;
  if (services_.transfer) services_.transfer->TransferLine(logViews.Memo_Log2.lines[*line]);
}

void MainModel::logPaneDoubleClick(const Pane& pane, bool alsoNew) {
  const auto line = views::caretLine(pane);
  if (!line) return;
  stopPatrolForTransfer(alsoNew);
  if (services_.transfer) services_.transfer->TransferLine(pane.lines[*line]);
}

}  // namespace zeltaro::app
