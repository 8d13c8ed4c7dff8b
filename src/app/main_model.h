// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's model: the parts that hold its controls as named state and run its
// handlers, and the handlers the Qt window and the console call, delegated to those parts. A
// click, a timer tick and a console command all run the same code. Every text is CP932 bytes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "alerts/new_line_alerts.h"
#include "app/log_views.h"
#include "app/main_links.h"
#include "app/main_services.h"
#include "app/page_checks.h"
#include "app/patrol_clock.h"
#include "settings/station_settings.h"
#include "settings/web_settings.h"
#include "views/pane.h"
#include "watchlists/watch_lists.h"

namespace zeltaro::app {

using alerts::MailOrigin;
using views::Pane;

class MainModel {
 public:
  // Services left null fall back to harmless defaults (no network, no pump, the system clock).
  explicit MainModel(MainServices services = {});
  // The parts keep references to each other and to the services: a copy would share them.
  MainModel(const MainModel&) = delete;
  MainModel& operator=(const MainModel&) = delete;

 private:
  // First, so that the parts below are built over the services with their defaults.
  MainServices services_;

 public:
  // What no control of the main window holds: first-QSO sets, transfer, rig, patrol windows.
  // Before the parts, which read it.
  settings::StationSettings station;

  // ---- The parts ----
  watchlists::WatchLists watchLists;
  PatrolClock patrolClock;
  alerts::NewLineAlerts alerts;
  LogViews logViews;
  PageChecks pageChecks;

  // ---- Start-up and close ----
  // The start-up sequence (also run again by the console's reload). args is the whole command
  // line, program path first, CP932.
  void startUp(const std::vector<std::string>& args);
  // Closing the main window (also on SIGTERM/SIGINT): the patrol windows' state, the rig
  // port, the settings file, the Michi-no-eki data.
  void close();
  // The Michi-no-eki reference data of the lists' HAMLOG folders, after the settings are read.
  void loadMichiNoEkiData();
  // The settings dialog closed (its values are in the settings already): the rig port's
  // close-and-reopen rule against the rig settings from before, and the Michi-no-eki data of
  // folders that changed.
  void settingsDialogClosed(const settings::RigDirectSettings& rigBefore, bool foldersChanged);

  // ---- Settings file ----
  // "SAVE": writes the settings file now.
  void saveNow() { saveSettingsFile(); }  // btnSaveClick
  // Writes every setting to SettingsFile (nothing when it is empty). A file that cannot be
  // written shows "%s に書き込めません" and keeps its old content; false is returned and
  // *reason (when given) says why.
  bool saveSettingsFile(std::string* reason = nullptr);

  // ---- Page checks ----
  // Each returns the number of new notification lines the check inserted.
  // btnChkUrl1Click ... btnChkUrl3Click.
  int checkPage1() { return pageChecks.UrlCheck(1); }
  int checkPage2() { return pageChecks.UrlCheck(2); }
  int checkPage3() { return pageChecks.UrlCheck(3); }
  int UrlCheck(int n) { return pageChecks.UrlCheck(n); }
  void UrlCheckThen(int n, std::function<void()> done) {
    pageChecks.UrlCheckThen(n, std::move(done));
  }
  bool checkRunning() const { return pageChecks.checkRunning(); }
  // A check asked for now would wait for its turn (after the running check or transfer).
  bool checkWaits() const { return pageChecks.checkWaits(); }
  // A transfer into HAMLOG is under way: no patrol cycle starts meanwhile.
  bool transferRunning() const { return services_.transfer && services_.transfer->transferring(); }
  // The transfers asked for have all been carried: the checks that waited for them run.
  void transfersDone() { pageChecks.runWaitingChecks(); }
  // btnURL1Click ... btnURL3Click: the page in the browser.
  void openPage1() { pageChecks.openUrl(1); }
  void openPage2() { pageChecks.openUrl(2); }
  void openPage3() { pageChecks.openUrl(3); }
  void NMHTTP1PacketRecvd() { pageChecks.NMHTTP1PacketRecvd(); }

  // ---- Patrol clock ----
  void tick();  // Timer1Timer
  // radioTimeSel_OffClick, radioTimeSel_2minClick ... radioTimeSel_5minClick.
  void switchPatrolOff() { patrolClock.selectOff(); }
  void patrolEvery2Min() { patrolClock.selectInterval(2); }
  void patrolEvery3Min() { patrolClock.selectInterval(3); }
  void patrolEvery4Min() { patrolClock.selectInterval(4); }
  void patrolEvery5Min() { patrolClock.selectInterval(5); }
  // radioTimeSel_2minDblClick ... radioTimeSel_5minDblClick: the cycle due at the next tick.
  void patrolEvery2MinFromNextTick() { patrolClock.intervalDoubleClick(2); }
  void patrolEvery3MinFromNextTick() { patrolClock.intervalDoubleClick(3); }
  void patrolEvery4MinFromNextTick() { patrolClock.intervalDoubleClick(4); }
  void patrolEvery5MinFromNextTick() { patrolClock.intervalDoubleClick(5); }
  void clickIntervalButton(int minutes) { patrolClock.clickIntervalButton(minutes); }
  int selectedInterval() const { return patrolClock.selectedInterval(); }
  bool atRest() const { return pageChecks.atRest() && !alerts.mailing(); }
  int PatrolCycle() { return pageChecks.PatrolCycle(); }

  // ---- Watch lists ----
  // Memo_List1Change ... Memo_List3Change.
  void refreshList1Counter() { watchLists.refreshCounter(1); }
  void refreshList2Counter() { watchLists.refreshCounter(2); }
  void refreshList3Counter() { watchLists.refreshCounter(3); }
  void normalizeLists() { watchLists.normalize(); }  // Memo_List1Exit ... Memo_List3Exit
  std::string& listText(int list) { return watchLists.text(list); }
  bool& listEnabledForUrl(int list, int url) { return watchLists.enabledForUrl(list, url); }
  bool listEnabledForUrl(int list, int url) const { return watchLists.enabledForUrl(list, url); }

  // ---- Sound, lamps and mail ----
  void playTestSound() { alerts.btnSoundTestClick(); }    // btnSoundTestClick
  void chooseSoundFile() { alerts.btnSoundFileClick(); }  // btnSoundFileClick
  // Label10Click ... Label12Click: a list's lamp clicked; Label13Click: the master lamp.
  void resetList1Lamp() { alerts.lamps.resetList1Lamp(); }
  void resetList2Lamp() { alerts.lamps.resetList2Lamp(); }
  void resetList3Lamp() { alerts.lamps.resetList3Lamp(); }
  void resetAllLamps() { alerts.lamps.resetAllLamps(); }
  void sendMailNow() { alerts.sendMail(MailOrigin::Button); }  // btnChkMailClick
  // Label17DblClick: the mail status window, while Shift and Ctrl are held down.
  void showMailStatusOnRequest(bool shiftDown, bool ctrlDown) {
    alerts.Form3.showOnShiftCtrlDoubleClick(shiftDown, ctrlDown);
  }

  // ---- Log views ----
  void refreshViews() { logViews.refreshViews(); }
  void ApplyDisplayMode() { logViews.ApplyDisplayMode(); }
  void LayOutLogPanes() { logViews.LayOutLogPanes(); }
  // RadioButton1Click ... RadioButton5Click: the filter buttons of the notification log.
  void filterLogAll() { logViews.filterButtonClick(views::LogFilter::All); }
  void filterLogList1() { logViews.filterButtonClick(views::LogFilter::List1); }
  void filterLogList2() { logViews.filterButtonClick(views::LogFilter::List2); }
  void filterLogList3() { logViews.filterButtonClick(views::LogFilter::List3); }
  void filterLogStacked() { logViews.filterButtonClick(views::LogFilter::Stacked); }
  void chooseDisplay1() { logViews.radioDisp1Click(); }       // radioDisp1Click
  void chooseDisplay2() { logViews.radioDisp2Click(); }       // radioDisp2Click
  void applyColumnCount() { logViews.refreshViews(); }        // ComboBox1Change
  void applyLogFont() { logViews.applyLogFont(); }            // ComboBox2Change
  void applyConfigSwitch() { logViews.applyConfigSwitch(); }  // CheckBox1Click
  // Button1Click "CLR": lamps green, the five panes and MailText emptied.
  void clearLogs();
  // The window's Width and Height have changed.
  void fitToWindowSize() { logViews.fitToWindowSize(startUpDone); }
  void layOutLogArea() { logViews.layOutLogArea(); }
  void layOutWatchListArea() { logViews.layOutWatchListArea(); }
  void layOutSettingsArea() { logViews.layOutSettingsArea(); }
  void copySelection() { logViews.copySelection(); }    // menu_CopyClick
  void selectWholeLog() { logViews.selectWholeLog(); }  // menu_AllClick
  void paneKeyDown(Pane& pane, char key, bool ctrl) { logViews.paneKeyDown(pane, key, ctrl); }
  // PopupMenu1Popup.
  void prepareLogMenu() { logViews.prepareLogMenu(static_cast<int>(station.shared.NEW_STNS)); }
  // menu_ReplaceClick, menu_AppendClick: the selection into the patrol lists.
  void feedPatrolListsReplacing(int focusedPane) { logViews.feedPatrolListsReplacing(focusedPane); }
  void feedPatrolListsAppending(int focusedPane) { logViews.feedPatrolListsAppending(focusedPane); }
  void applyNewSwitch() { logViews.applyNewSwitch(); }    // CheckBox2Click
  void toggleNewSwitch() { logViews.toggleNewSwitch(); }  // newN1Click
  // Memo_LogDblClick ... Memo_Log5DblClick, the double-click on a log pane: the line of the caret
  // goes to HAMLOG (Memo_Log's through its aligned twin in Memo_Log2); the patrol lists stop
  // walking first.
  void transferFromNoticeLog();
  void transferFromAlignedLog() { logPaneDoubleClick(logViews.Memo_Log2, true); }
  void transferFromList1Log() { logPaneDoubleClick(logViews.Memo_Log3, false); }
  void transferFromList2Log() { logPaneDoubleClick(logViews.Memo_Log4, false); }
  void transferFromList3Log() { logPaneDoubleClick(logViews.Memo_Log5, false); }

  // ---- Named state: shell ----
  std::string caption;
  std::uint16_t consolePort = 0;
  std::string consolePassword;
  // The web console's [Web] settings; the command line's /web= overrides them for one run.
  settings::WebSettings web;
  std::string edtStatus;  // the console server's latest event (read-only field)
  std::vector<std::string> commandLine;
  bool startUpDone = false;
  // The program window activated last: each window writes its own id here on activation.
  const void* LastActiveWindow = nullptr;
  const void* mainWindowId = nullptr;  // the main window's id, as it writes it to LastActiveWindow

  // ---- Settings ----
  // The settings file beside the executable, as the file system spells it (UTF-8); empty:
  // nothing is read or written.
  std::string SettingsFile;

  // Parts that come after the model: the console, the window's clipboard, the log checks that
  // read the model's condition sets.
  void attachConsole(ConsoleLink* console) { services_.console = console; }
  void attachClipboard(platform::Clipboard* clipboard) { services_.clipboard = clipboard; }
  void attachFirstQso(FirstQsoChecker* checker) { services_.firstQso = checker; }
  void attachTransfer(TransferLink* transfer) { services_.transfer = transfer; }
  void attachPatrolLists(PatrolListsLink* lists) {
    services_.patrolLists = lists;
    logViews.patrolListsReady = lists != nullptr;
  }
  bool hasClipboard() const { return services_.clipboard != nullptr; }
  // Whether a transfer patrol list window is visible.
  bool anyPatrolWindowVisible() const {
    return services_.patrolLists && services_.patrolLists->anyVisible();
  }

 private:
  void storePatrolWindowStates();
  void closeRigLink();
  void releaseMichiNoEkiData();
  // Steps 2 and 3 of a pane's double-click; alsoNew for Memo_Log2, whose "new" boxes go off too.
  void stopPatrolForTransfer(bool alsoNew);
  void logPaneDoubleClick(const Pane& pane, bool alsoNew);
  std::string clockCaption() const;
};

// The banner caption.
const std::string& banner();

}  // namespace zeltaro::app
