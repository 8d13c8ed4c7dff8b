// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checking the spot pages: the three URLs and their check buttons, the queue of checks asked
// for while one runs, the check of one URL (fetch, cut into records, extract and compose each
// record, search the watch lists), novelty (only lines not yet in the log go in front of it)
// and what follows a check or a patrol cycle that found lines. Every text is CP932 bytes.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/main_services.h"
#include "spots/composition.h"
#include "spots/extraction.h"

namespace zeltaro::settings {
struct StationSettings;
}
namespace zeltaro::spots {
class NewLines;
}
namespace zeltaro::watchlists {
class WatchLists;
}
namespace zeltaro::alerts {
class NewLineAlerts;
}

namespace zeltaro::app {

class LogViews;
class PatrolClock;

class PageChecks {
 public:
  // The parts a check reads and feeds; services is the model's (the first-QSO checker may be
  // attached later).
  struct Parts {
    const MainServices& services;
    watchlists::WatchLists& lists;
    PatrolClock& clock;
    LogViews& log;
    alerts::NewLineAlerts& alerts;
    const settings::StationSettings& station;  // the first-QSO subject texts
  };
  explicit PageChecks(Parts parts);

  // Checks URL n (1 ... 3) now, or after the running check; returns the number of new
  // notification lines this call inserted (0 when queued).
  int UrlCheck(int n);
  // As UrlCheck, then done() once the check has run: at once when no check runs, else after
  // the running one, when this check's turn has come.
  void UrlCheckThen(int n, std::function<void()> done);
  bool checkRunning() const { return checkDepth_ > 0; }
  // A check asked for now would wait for its turn: one runs, or a transfer into HAMLOG does.
  bool checkWaits() const { return checkRunning() || transferRunning(); }
  // Runs the checks that waited for a transfer, unless a check or a patrol cycle runs (they run
  // them when they end).
  void runWaitingChecks();
  // One patrol cycle: every switched-on URL checked, then the sound and mail of what they
  // found; checks asked for meanwhile run after it. Returns the lines inserted.
  int PatrolCycle();
  // Opens URL n in the browser.
  void openUrl(int n);
  // The HTTP client's packet event.
  void NMHTTP1PacketRecvd() { ImageInternet = true; }

  // No check runs: every check button is enabled.
  bool atRest() const { return btnChkUrlEnabled[0] && btnChkUrlEnabled[1] && btnChkUrlEnabled[2]; }
  // URL n is switched on, has an address and some list searches its pages.
  bool isUsable(int n) const;

  // The records of Memo2 from URL n: each new matching line goes in front of the log. Returns
  // the number inserted.
  int processPage(int n);
  void completeSingleCheck(int newLines);
  void completePatrolCycle(int newLines);

  // ---- the controls, index n - 1 ----
  std::array<std::string, 3> edtURL{"http://spots.example.net/html/40CW.html",
                                    "http://spots.example.net/html/80CW.html",
                                    "http://spots.example.net/html/ALL25.html"};
  std::array<bool, 3> chkURL{false, false, true};
  std::string edtSepStart = "<LineStart>";
  std::string edtSepEnd = "</LineEnd>";
  std::array<bool, 3> btnChkUrlEnabled{true, true, true};
  // The records of the last page (the page's other lines are not kept: nothing reads them).
  std::vector<std::string> Memo2;
  bool ImageInternet = false;

  // ---- the template, Body and the spot being checked ----
  std::vector<std::string> Memo_pcre;  // extraction template lines
  std::string Edit1;                   // Body template
  spots::RoleSlots roles;
  std::string edt_Call, edt_Freq, edt_Code, edt_Mode;

 private:
  int runUrlCheck(int n);
  void processRecords(int n, spots::NewLines& fresh, bool (&firstQsoHit)[3]);
  void runQueuedChecks();
  bool transferRunning() const;
  const spots::CompiledTemplate& compiledTemplate();
  const spots::CompiledBody& compiledBody();

  Parts parts_;
  int checkDepth_ = 0;  // > 0 while a check runs
  struct QueuedCheck {
    int n;
    std::function<void()> done;  // may be empty
  };
  std::deque<QueuedCheck> queuedChecks_;           // checks asked for while another one ran
  int insertedSoFar_ = 0;                          // lines the running page processing has inserted
  std::vector<std::string> templateCompiledFrom_;  // Memo_pcre as template_ was made from it
  spots::CompiledTemplate template_;               // the lists, compiled when they change
  spots::CompiledBody body_;                       // Edit1, cut at its tags when it changes
  std::uint64_t templateGeneration_ = 0, bodyGeneration_ = 0;  // counts of those changes
  // A page of this many records has its first kRecordsAhead records prepared by two threads
  // (the second thread's results are kept until the page is done).
  static constexpr std::size_t kRecordsForASecondThread = 1000;
  static constexpr std::size_t kRecordsAhead = 8192;
};

// The built-in welcome text of Memo_Log.
const std::vector<std::string>& welcomeLines();

}  // namespace zeltaro::app
