#pragma once
// The main window's model: its controls as named state, and its handlers. The Qt window binds
// to these fields and forwards its events here, so that a click, a timer tick and a console
// command all run the same code. Every text is CP932 bytes.

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "alerts/lamps.h"
#include "alerts/mail_settings.h"
#include "alerts/mail_status.h"
#include "app/main_links.h"
#include "platform/clock.h"
#include "platform/http_client.h"
#include "platform/message_pump.h"
#include "settings/station_settings.h"
#include "spots/composition.h"
#include "spots/extraction.h"
#include "views/log_views.h"
#include "views/main_layout.h"
#include "views/pane.h"
#include "watchlists/list_matcher.h"

namespace zeltaro::platform {
class Browser;
class Clipboard;
class LineConnection;
class MessageBox;
}  // namespace zeltaro::platform
namespace zeltaro::alerts {
class SoundAlert;
}
namespace zeltaro::spots {
class NewLines;
}

namespace zeltaro::app {

// The services the model uses; the program passes the real ones, tests their fakes.
struct MainServices {
  platform::MessagePump* pump = nullptr;
  platform::HttpClient* http = nullptr;
  platform::Browser* browser = nullptr;
  const platform::Clock* clock = nullptr;
  alerts::SoundAlert* sound = nullptr;
  platform::LineConnection* smtp = nullptr;  // the mail server connection
  platform::MessageBox* messageBox = nullptr;
  platform::Clipboard* clipboard = nullptr;
  // The other parts of the program; the console comes later (it needs the model).
  ConsoleLink* console = nullptr;
  PatrolListsLink* patrolLists = nullptr;
  RigLink* rig = nullptr;
  FirstQsoChecker* firstQso = nullptr;
  TransferLink* transfer = nullptr;
};

// Where a mail is sent from: the error rules differ.
enum class MailOrigin { SingleCheck, PatrolCycle, Button };

using views::Pane;

constexpr std::size_t kLogCap = 200;

class MainModel {
 public:
  // Services left null fall back to harmless defaults (no network, no pump, the system clock).
  explicit MainModel(MainServices services = {});
  // The named controls alias the arrays of this object: a copy would alias the original's.
  MainModel(const MainModel&) = delete;
  MainModel& operator=(const MainModel&) = delete;

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
  void btnSaveClick() { saveSettingsFile(); }
  // Writes every setting to SettingsFile (nothing when it is empty). A file that cannot be
  // written shows "%s に書き込めません" and keeps its old content; false is returned and
  // *reason (when given) says why.
  bool saveSettingsFile(std::string* reason = nullptr);

  // ---- Page checks ----
  // Each returns the number of new notification lines the check inserted.
  int btnChkUrl1Click() { return UrlCheck(1); }
  int btnChkUrl2Click() { return UrlCheck(2); }
  int btnChkUrl3Click() { return UrlCheck(3); }
  int UrlCheck(int n);
  // As UrlCheck, then done() once the check has run: at once when no check runs, else after
  // the running one, when this check's turn has come.
  void UrlCheckThen(int n, std::function<void()> done);
  bool checkRunning() const { return checkDepth_ > 0; }
  void btnURL1Click() { openUrl(1); }
  void btnURL2Click() { openUrl(2); }
  void btnURL3Click() { openUrl(3); }
  // The HTTP client's packet event.
  void NMHTTP1PacketRecvd() { ImageInternet = true; }

  // ---- Patrol scheduler ----
  void Timer1Timer();
  void radioTimeSel_OffClick();
  void radioTimeSel_2minClick() { selectInterval(2); }
  void radioTimeSel_3minClick() { selectInterval(3); }
  void radioTimeSel_4minClick() { selectInterval(4); }
  void radioTimeSel_5minClick() { selectInterval(5); }
  void radioTimeSel_2minDblClick() { intervalDoubleClick(2); }
  void radioTimeSel_3minDblClick() { intervalDoubleClick(3); }
  void radioTimeSel_4minDblClick() { intervalDoubleClick(4); }
  void radioTimeSel_5minDblClick() { intervalDoubleClick(5); }
  // Clicks the interval button for minutes (2 ... 5), or Off for any other value.
  void clickIntervalButton(int minutes);
  // The selected interval in minutes, 0 for Off (the TimeSel setting).
  int selectedInterval() const;
  bool isUsable(int n) const;
  bool atRest() const { return btnChkUrl1Enabled && btnChkUrl2Enabled && btnChkUrl3Enabled; }
  int PatrolCycle();

  // ---- Watch lists ----
  void Memo_List1Change() { refreshCounter(1); }
  void Memo_List2Change() { refreshCounter(2); }
  void Memo_List3Change() { refreshCounter(3); }
  void Memo_List1Exit() { normalizeLists(); }
  void Memo_List2Exit() { normalizeLists(); }
  void Memo_List3Exit() { normalizeLists(); }
  void refreshCounter(int list);
  void normalizeLists();
  std::string& listText(int list);
  bool& listEnabledForUrl(int list, int url);
  bool listEnabledForUrl(int list, int url) const;

  // ---- Sound and lamps ----
  void btnSoundTestClick();
  void btnSoundFileClick();
  void Label10Click() { lamps.Label10Click(); }
  void Label11Click() { lamps.Label11Click(); }
  void Label12Click() { lamps.Label12Click(); }
  void Label13Click() { lamps.Label13Click(); }

  // ---- Mail ----
  void btnChkMailClick() { sendMail(MailOrigin::Button); }
  // Sends MailText, NewLineCount and SubjectSuffix as they stand. A server that cannot be
  // reached is reported in the error box, except after a single check, where it stays silent.
  void sendMail(MailOrigin origin);
  void Label17DblClick(bool shiftDown, bool ctrlDown) {
    Form3.Label17DblClick(shiftDown, ctrlDown);
  }

  // ---- Log views ----
  // Rebuilds Memo_Log2 ... Memo_Log5 from Memo_Log, then the "new" feed.
  void RefreshLogViews();
  void ApplyDisplayMode();
  void LayOutLogPanes();
  void RadioButton1Click() { filterButtonClick(views::LogFilter::All); }
  void RadioButton2Click() { filterButtonClick(views::LogFilter::List1); }
  void RadioButton3Click() { filterButtonClick(views::LogFilter::List2); }
  void RadioButton4Click() { filterButtonClick(views::LogFilter::List3); }
  void RadioButton5Click() { filterButtonClick(views::LogFilter::Stacked); }
  void radioDisp1Click();
  void radioDisp2Click();
  void ComboBox1Change() { RefreshLogViews(); }
  // Applies the font of item ComboBox2; an index outside the items selects none (-1) and
  // leaves the fonts as they are.
  void ComboBox2Change();
  // "Config" has been switched to CheckBox1.
  void CheckBox1Click();
  // "CLR": lamps green, the five panes and MailText emptied.
  void Button1Click();
  // The window's Width and Height have changed.
  void FormResize();
  void Panel1Resize();
  void Panel3Resize();
  void Panel4Resize();
  void menu_CopyClick();
  void menu_AllClick();
  // Ctrl+A and Ctrl+C in a pane.
  void Memo_LogKeyDown(Pane& pane, char key, bool ctrl);
  void PopupMenu1Popup();
  // Double-click on a log pane: the line of the caret goes to HAMLOG (Memo_Log's through its
  // aligned twin in Memo_Log2); the patrol lists stop walking first.
  void Memo_LogDblClick();
  void Memo_Log2DblClick() { logPaneDoubleClick(Memo_Log2, true); }
  void Memo_Log3DblClick() { logPaneDoubleClick(Memo_Log3, false); }
  void Memo_Log4DblClick() { logPaneDoubleClick(Memo_Log4, false); }
  void Memo_Log5DblClick() { logPaneDoubleClick(Memo_Log5, false); }
  // The popup's patrol items, with the pane that has the keyboard focus (0 Memo_Log2 ... 3
  // Memo_Log5, -1 for none): they act only from an aligned pane.
  void menu_ReplaceClick(int focusedPane);
  void menu_AppendClick(int focusedPane);
  // The operator switched "new" (CheckBox2 holds the new state).
  void CheckBox2Click();
  // "new (件置換)": toggles "new"; on, it reaches the patrol windows and feeds them.
  void newN1Click();
  views::LogPanes logPanes();
  // The checked filter button.
  views::LogFilter checkedFilter() const;
  // Aligned column count N; an item index outside "2" ... "30" acts as no item (N = 1).
  int columnCount() const;

  // ---- Notification ----
  int processPage(int n);
  void completeSingleCheck(int newLines);
  void completePatrolCycle(int newLines);
  void capLog();

  // ---- Named state: pages ----
  // Numbered controls are arrays (index n - 1) with their names as aliases.
  std::array<std::string, 3> edtURL{"http://spots.example.net/html/40CW.html",
                                    "http://spots.example.net/html/80CW.html",
                                    "http://spots.example.net/html/ALL25.html"};
  std::string &edtURL1 = edtURL[0], &edtURL2 = edtURL[1], &edtURL3 = edtURL[2];
  std::array<bool, 3> chkURL{false, false, true};
  bool &chkURL1 = chkURL[0], &chkURL2 = chkURL[1], &chkURL3 = chkURL[2];
  std::string edtSepStart = "<LineStart>";
  std::string edtSepEnd = "</LineEnd>";
  std::array<bool, 3> btnChkUrlEnabled{true, true, true};
  bool &btnChkUrl1Enabled = btnChkUrlEnabled[0], &btnChkUrl2Enabled = btnChkUrlEnabled[1],
       &btnChkUrl3Enabled = btnChkUrlEnabled[2];
  std::vector<std::string> Memo1, Memo2;  // hidden working lists of the last page
  bool ImageInternet = false;

  // ---- Named state: template and Body ----
  std::vector<std::string> Memo_pcre;  // extraction template lines
  std::string Edit1;                   // Body template
  spots::RoleSlots roles;
  std::string edt_Call, edt_Freq, edt_Code, edt_Mode;

  // ---- Named state: watch lists ----
  std::array<std::string, 3> Memo_List;
  std::string &Memo_List1 = Memo_List[0], &Memo_List2 = Memo_List[1], &Memo_List3 = Memo_List[2];
  std::array<std::string, 3> LabelList;
  std::string &LabelList1 = LabelList[0], &LabelList2 = LabelList[1], &LabelList3 = LabelList[2];
  // chkListUrl[l - 1][u - 1]: list l is searched on pages of URL u.
  std::array<std::array<bool, 3>, 3> chkListUrl{
      {{true, true, true}, {true, true, true}, {true, true, true}}};
  bool &chkList1Url1 = chkListUrl[0][0], &chkList1Url2 = chkListUrl[0][1],
       &chkList1Url3 = chkListUrl[0][2];
  bool &chkList2Url1 = chkListUrl[1][0], &chkList2Url2 = chkListUrl[1][1],
       &chkList2Url3 = chkListUrl[1][2];
  bool &chkList3Url1 = chkListUrl[2][0], &chkList3Url2 = chkListUrl[2][1],
       &chkList3Url3 = chkListUrl[2][2];

  // ---- Named state: window and log display (their logic lives in views/) ----
  int Left = 75, Top = 64, Height = 631, Width = 852;  // main window position and size
  bool CheckBox1 = true;                               // "Config": the settings panels are shown
  bool CheckBox2 = false;  // "new": newest lines are fed into the patrol lists
  int Log123 = 0;          // the remembered log filter, 0 "All" ... 4 "123"
  bool RadioButton1 = true, RadioButton2 = false, RadioButton3 = false, RadioButton4 = false,
       RadioButton5 = false;  // the filter buttons' checked state
  // Background colours of list n and its pane: 0x00BBGGRR, or 0x80000000 + a system colour
  // number (5, the window background, by default).
  std::array<std::int32_t, 3> Color{-2147483643, -2147483643, -2147483643};
  std::int32_t &Color_1 = Color[0], &Color_2 = Color[1], &Color_3 = Color[2];
  int ComboBox1 = 7;                           // item index: aligned column count N = index + 2
  bool radioDisp1 = false, radioDisp2 = true;  // display mode 1 (as composed) or 2 (aligned)
  int ComboBox2 = 3;                           // log font item index, -1 for none
  views::MainLayout layout;                    // panels and memos placed by the resize rules
  views::PopupMenu1 popupMenu1;                // the panes' shared popup menu, as last prepared
  bool patrolListsReady = false;               // set once patrol list windows exist to be fed

  // ---- Named state: log ----
  Pane Memo_Log, Memo_Log2, Memo_Log3, Memo_Log4, Memo_Log5;
  std::string WelcomeText;
  std::string SavedLog;  // the log as read from the settings file, lines joined by CR LF

  // ---- Named state: alerts hand-over ----
  bool chkAlert = true;
  std::string edtSound = "chimes.wav";
  alerts::Lamps lamps;
  alerts::MailSettings mail;      // chkMail, edtTo, edtFrom ... edtSmtpPASS
  alerts::MailStatusModel Form3;  // the mail status window's pane
  std::string MailText;
  int NewLineCount = 0;
  std::string SubjectSuffix;

  // ---- Named state: scheduler ----
  bool radioTimeSel_Off = true, radioTimeSel_2min = false, radioTimeSel_3min = false,
       radioTimeSel_4min = false, radioTimeSel_5min = false;
  bool AutoPatrolOn = false;
  bool PatrolRunning = false;
  int PatrolTicks = 0;
  int ProgressBar1 = 0;  // 0 ... 60
  int blinkCounter = 0;
  bool firstTickDone = false;
  bool Timer1Enabled = false;

  // ---- Named state: shell ----
  std::string caption;
  std::uint16_t consolePort = 0;
  std::string consolePassword;
  std::string edtStatus;  // the console server's latest event (read-only field)
  std::vector<std::string> commandLine;
  bool startUpDone = false;
  // The program window activated last: each window writes its own id here on activation.
  const void* LastActiveWindow = nullptr;
  const void* MainWindow = nullptr;  // the main window's id, as it writes it to LastActiveWindow

  // ---- Settings ----
  // The settings file beside the executable, as the file system spells it (UTF-8); empty:
  // nothing is read or written.
  std::string SettingsFile;
  // What no control of the main window holds: first-QSO sets, transfer, rig, patrol windows.
  settings::StationSettings station;

  // Parts that come after the model: the console, the window's clipboard, the log checks that
  // read the model's condition sets.
  void attachConsole(ConsoleLink* console) { services_.console = console; }
  void attachClipboard(platform::Clipboard* clipboard) { services_.clipboard = clipboard; }
  void attachFirstQso(FirstQsoChecker* checker) { services_.firstQso = checker; }
  void attachTransfer(TransferLink* transfer) { services_.transfer = transfer; }
  void attachPatrolLists(PatrolListsLink* lists) {
    services_.patrolLists = lists;
    patrolListsReady = lists != nullptr;
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
  void openUrl(int n);
  void filterButtonClick(views::LogFilter filter);
  // Steps 2 and 3 of a pane's double-click; alsoNew for Memo_Log2, whose "new" boxes go off too.
  void stopPatrolForTransfer(bool alsoNew);
  void logPaneDoubleClick(const Pane& pane, bool alsoNew);
  void checkFilterButton(views::LogFilter filter);
  void applyWindowGeometry();
  void selectInterval(int minutes);
  void intervalDoubleClick(int minutes);
  std::string& urlText(int n);
  const std::string& urlText(int n) const;
  bool urlOn(int n) const;
  bool& checkButtonEnabled(int n);
  int runUrlCheck(int n);
  void processRecords(int n, spots::NewLines& fresh, bool (&firstQsoHit)[3]);
  void runQueuedChecks();
  void collectMailText(int newLines);
  void refreshPanes();
  std::string clockCaption() const;

  MainServices services_;
  int checkDepth_ = 0;  // > 0 while a check runs
  struct QueuedCheck {
    int n;
    std::function<void()> done;  // may be empty
  };
  std::deque<QueuedCheck> queuedChecks_;  // checks asked for while another one ran
  int insertedSoFar_ = 0;                 // lines the running page processing has inserted
  std::array<watchlists::ListMatcher, 3> listMatchers_;
  const spots::CompiledTemplate& compiledTemplate();
  std::vector<std::string> templateCompiledFrom_;  // Memo_pcre as template_ was made from it
  spots::CompiledTemplate template_;               // the lists, compiled when they change
  const spots::CompiledBody& compiledBody();
  spots::CompiledBody body_;  // Edit1, cut at its tags when it changes
};

// The banner caption and the built-in welcome text of Memo_Log.
const std::string& banner();
const std::vector<std::string>& welcomeLines();

}  // namespace zeltaro::app
