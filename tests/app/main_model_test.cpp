// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_model.h"

#include <gtest/gtest.h>

#include "alerts/sound_alert.h"
#include "app/spot_page.h"
#include "platform/browser.h"
#include "platform/file_dialog.h"
#include "platform/line_connection.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "spots/composition.h"
#include "support/fake_http_client.h"
#include "support/fixed_clock.h"
#include "support/main_services.h"
#include "support/recorders.h"
#include "support/unreachable_mail_server.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::app {
namespace {

using testing::Spot;
using testing::spotDisplay;
using testing::spotPage;
using Lines = std::vector<std::string>;

const std::string kUrl1 = "http://127.0.0.1:1/one.html";
const std::string kUrl2 = "http://127.0.0.1:1/two.html";
const std::string kUrl3 = "http://127.0.0.1:1/three.html";

// ISO-2022-JP of the default Body's full-width "＠".
const std::string kJisAt = "\x1b$B!w\x1b(B";

std::string jis(std::string line) {
  const std::string at = "\x81\x97";
  const auto p = line.find(at);
  if (p != std::string::npos) line.replace(p, at.size(), kJisAt);
  return line;
}

class ModelTest : public ::testing::Test, protected zeltaro::testing::FakeMainServices {
 protected:
  ModelTest() : model(services()) {
    model.pageChecks.edtURL[0] = kUrl1;
    model.pageChecks.edtURL[1] = kUrl2;
    model.pageChecks.edtURL[2] = kUrl3;
    model.watchLists.Memo_List[0] = "STN1\r\n";
    model.watchLists.Memo_List[1] = "SSB\r\n";
    model.watchLists.Memo_List[2] = "JA3\r\n";
    model.alerts.mail.edtSmtp = "mail.example.org";
  }

  MainServices services() {
    MainServices s = FakeMainServices::services();
    s.clock = &clock;
    s.smtp = &smtp;
    s.firstQso = &firstQso;
    return s;
  }
  // Answers each condition set as firstQsoAnswer says.
  struct FirstQso final : FirstQsoChecker {
    explicit FirstQso(const bool (&a)[3]) : answer(a) {}
    bool isFirstQso(int set, const SpotKeys& spot) override {
      trace += std::to_string(set) + std::string(spot.call) + " ";
      return answer[set - 1];
    }
    void pageBegins() override { trace += "["; }
    void pageEnds() override { trace += "]"; }
    const bool (&answer)[3];
    std::string trace;  // "[" and "]" around a page's questions, each "<set><call> "
  };
  void tick(int times = 1) {
    for (int i = 0; i < times; ++i) model.tick();
  }

  platform::FixedClock clock{{2026, 12, 9, 7, 5, 3}};
  zeltaro::testing::UnreachableMailServer smtp;
  bool firstQsoAnswer[3] = {false, false, false};
  FirstQso firstQso{firstQsoAnswer};
  MainModel model;
};

const Spot a{"STN1", "7,010"};
const Spot b{"JA3AAA", "14,020", "SSB"};
const Spot c{"JA9ZZZ", "21,030"};  // matches no list

TEST_F(ModelTest, CheckInsertsNewLinesAtTheTopInPageOrder) {
  model.alerts.mail.chkMail = true;
  http.setPage(kUrl1, spotPage({a, c, b}));
  EXPECT_EQ(model.checkPage1(), 2);

  const Lines expected = {"1___" + spotDisplay(1, a), "_23_" + spotDisplay(3, b)};
  EXPECT_EQ(model.logViews.Memo_Log.lines, expected);    // the welcome text is gone
  ASSERT_EQ(model.logViews.Memo_Log2.lines.size(), 2u);  // aligned, in log order
  EXPECT_EQ(model.logViews.Memo_Log2.lines[1].substr(0, 4), "_23_");
  EXPECT_EQ(player.played, Lines{"chimes.wav"});
  EXPECT_EQ(smtp.opened, Lines{"mail.example.org"});
  EXPECT_EQ(model.alerts.MailText, jis(expected[0]) + jis(expected[1]));
  EXPECT_EQ(model.alerts.NewLineCount, 2);
  EXPECT_TRUE(box.shown.empty());  // after a single check an unreachable server is silent
  EXPECT_EQ(model.alerts.lamps.masterLamp.fontColor, alerts::kLampRed);
  EXPECT_EQ(model.alerts.lamps.list1Lamp.fontColor, alerts::kLampRed);
  EXPECT_EQ(model.alerts.lamps.list2Lamp.fontColor, alerts::kLampRed);
  EXPECT_EQ(model.alerts.lamps.list3Lamp.fontColor, alerts::kLampRed);
  EXPECT_EQ(model.pageChecks.edt_Call, "JA3AAA");  // the last record that was matched
  EXPECT_EQ(model.pageChecks.edt_Freq, "14,020");
  EXPECT_EQ(model.pageChecks.edt_Mode, "SSB");
  EXPECT_EQ(model.pageChecks.edt_Code, "1001");
  EXPECT_TRUE(model.pageChecks.btnChkUrlEnabled[0]);

  // The same page again: nothing new, no sound, no mail.
  EXPECT_EQ(model.checkPage1(), 0);
  EXPECT_EQ(model.logViews.Memo_Log.lines, expected);
  EXPECT_EQ(player.played.size(), 1u);
  EXPECT_EQ(smtp.opened.size(), 1u);

  // A later page's new spot stands above the earlier ones.
  const Spot d{"STN1", "3,510"};
  http.setPage(kUrl1, spotPage({a, d}));
  EXPECT_EQ(model.checkPage1(), 1);
  EXPECT_EQ(model.logViews.Memo_Log.lines.front(), "1___" + spotDisplay(2, d));
  EXPECT_EQ(model.logViews.Memo_Log.lines.size(), 3u);

  // Cleared lines are notified again.
  model.logViews.Memo_Log.lines.clear();
  EXPECT_EQ(model.checkPage1(), 2);
}

TEST_F(ModelTest, NothingIsLoggedWithoutSearchableFieldsOrEnables) {
  http.setPage(kUrl1, spotPage({a, b}));
  const Lines welcome = model.logViews.Memo_Log.lines;

  model.pageChecks.Edit1 = "$#01 $#04 $#05";
  EXPECT_EQ(model.checkPage1(), 0);
  EXPECT_EQ(model.logViews.Memo_Log.lines, welcome);

  model.pageChecks.Edit1 = spots::kDefaultBody;
  for (int l = 1; l <= 3; ++l)
    for (int u = 1; u <= 3; ++u) model.listEnabledForUrl(l, u) = false;
  firstQsoAnswer[0] = true;
  EXPECT_EQ(model.checkPage1(), 0);
  EXPECT_EQ(model.logViews.Memo_Log.lines, welcome);
  EXPECT_TRUE(player.played.empty());
}

TEST_F(ModelTest, FirstQsoMatchesItsListAndBuildsTheSubjectSuffix) {
  model.watchLists.Memo_List[0].clear();
  firstQsoAnswer[0] = true;  // condition set A says "first QSO" for every spot
  model.station.first[0].Subj = true;
  model.station.first[2].Subj = true;
  http.setPage(kUrl2, spotPage({c}));
  EXPECT_EQ(model.checkPage2(), 1);
  EXPECT_EQ(model.logViews.Memo_Log.lines.front(), "1___" + spotDisplay(1, c));
  EXPECT_EQ(model.alerts.SubjectSuffix, " 1'st(A)");

  // The flag counts even when the line is old; set C's suffix needs a hit of its own.
  firstQsoAnswer[2] = true;
  EXPECT_EQ(model.checkPage2(), 0);
  EXPECT_EQ(model.alerts.SubjectSuffix, " 1'st(A) 1'st(C)");

  // With list 1 off for URL 2, no spot of URL 2 is flagged "1", first QSO or not.
  model.watchLists.chkListUrl[0][1] = false;
  model.logViews.Memo_Log.lines.clear();
  EXPECT_EQ(model.checkPage2(), 1);
  EXPECT_EQ(model.logViews.Memo_Log.lines.front(), "__3_" + spotDisplay(1, c));
}

// A page's first-QSO questions are asked between the page's begin and end, so that the log
// can be looked at once per page; a page that cannot be fetched asks nothing.
TEST_F(ModelTest, APagesFirstQsoQuestionsFallWithinThePage) {
  model.watchLists.Memo_List[0].clear();
  http.setPage(kUrl2, spotPage({c, a}));
  model.checkPage2();
  model.checkPage2();
  EXPECT_EQ(firstQso.trace,
            "[1JA9ZZZ 2JA9ZZZ 3JA9ZZZ 1STN1 2STN1 3STN1 ]"
            "[1JA9ZZZ 2JA9ZZZ 3JA9ZZZ 1STN1 2STN1 3STN1 ]");
  firstQso.trace.clear();
  model.checkPage1();  // no page at this address
  EXPECT_EQ(firstQso.trace, "");
}

// A list edited while a page is checked (the window had its turn between two records) applies
// from the next record on.
TEST_F(ModelTest, AListEditedDuringAPageAppliesFromTheNextRecord) {
  struct EditingPump final : platform::MessagePump {
    std::function<void()> atTurn[4];
    unsigned long long done = 0;
    void pump() override {
      if (done < 4 && atTurn[done]) atTurn[done]();
      ++done;
    }
    std::optional<unsigned long long> turns() const override { return done; }
  } pump;
  MainServices s = services();
  s.pump = &pump;
  MainModel checking(s);
  checking.pageChecks.edtURL[0] = kUrl1;
  checking.watchLists.Memo_List = {"STN1\r\nSTN2\r\n", "", ""};
  // Turn 0 is the fetch's, turn n record n's: before the third record list 1 loses STN1 and
  // STN2 and takes STN3 and STN4.
  pump.atTurn[3] = [&] { checking.watchLists.Memo_List[0] = "STN3\r\nSTN4\r\n"; };
  const Spot one{"STN1", "7,010"}, two{"STN2", "7,011"}, three{"STN3", "7,012"},
      four{"STN4", "7,013"};
  http.setPage(kUrl1, spotPage({one, three, two, four}));
  EXPECT_EQ(checking.checkPage1(), 2);
  EXPECT_EQ(checking.logViews.Memo_Log.lines,
            (Lines{"1___" + spotDisplay(1, one), "1___" + spotDisplay(4, four)}));
}

TEST_F(ModelTest, LogIsCappedAtTwoHundredLines) {
  model.logViews.Memo_Log.lines.clear();
  for (int i = 0; i < 199; ++i)
    model.logViews.Memo_Log.lines.push_back("1___old " + std::to_string(i));
  std::vector<Spot> spots;
  for (int i = 0; i < 5; ++i) spots.push_back({"STN1", std::to_string(7000 + i)});
  http.setPage(kUrl1, spotPage(spots));
  EXPECT_EQ(model.checkPage1(), 5);
  ASSERT_EQ(model.logViews.Memo_Log.lines.size(), 200u);
  EXPECT_EQ(model.logViews.Memo_Log.lines[4], "1___" + spotDisplay(5, spots[4]));
  EXPECT_EQ(model.logViews.Memo_Log.lines[5], "1___old 0");
  EXPECT_EQ(model.logViews.Memo_Log.lines[199], "1___old 194");
}

TEST_F(ModelTest, FailedFetchLeavesEverythingAsItWas) {
  model.patrolEvery2Min();
  const Lines before = model.logViews.Memo_Log.lines;
  model.patrolClock.ProgressBar1 = 20;
  EXPECT_EQ(model.checkPage1(), 0);  // no canned page: unreachable
  EXPECT_EQ(model.logViews.Memo_Log.lines, before);
  EXPECT_TRUE(model.pageChecks.btnChkUrlEnabled[0]);
  EXPECT_TRUE(model.patrolClock.AutoPatrolOn);
  EXPECT_EQ(model.patrolClock.ProgressBar1, 0);  // every check resets the countdown
  EXPECT_TRUE(player.played.empty());
}

TEST_F(ModelTest, BrowserButtonsOpenTheAddressUnchanged) {
  platform::RecordingBrowser browser;
  MainServices s = services();
  s.browser = &browser;
  MainModel m(s);
  m.pageChecks.edtURL[0] = " http://x/a ";
  m.pageChecks.edtURL[1] = "";
  m.openPage1();
  m.openPage2();
  EXPECT_EQ(browser.opened, Lines{" http://x/a "});
}

TEST_F(ModelTest, ChecksAskedForDuringACheckRunAfterIt) {
  http.setPage(kUrl1, spotPage({a}));
  http.setPage(kUrl2, spotPage({b}));
  bool clicked = false;
  http.setDuringFetch([&](std::string_view address) {
    if (address == kUrl1 && !clicked) {
      clicked = true;
      EXPECT_EQ(model.checkPage2(), 0);  // queued, not nested
      tick();                            // a tick during a check only blinks
      EXPECT_FALSE(model.atRest());
    }
  });
  model.checkPage1();
  EXPECT_EQ(http.asked(), (Lines{kUrl1, kUrl2}));
  EXPECT_EQ(model.logViews.Memo_Log.lines,
            (Lines{"_23_" + spotDisplay(1, b), "1___" + spotDisplay(1, a)}));
  EXPECT_TRUE(model.atRest());
}

// A transfer into HAMLOG that lets the window run while the bridge works, as the program's does:
// what the window's turn does happens during the first line, and the checks that waited run
// when the last line asked for has gone across.
struct PumpingTransfer final : TransferLink {
  MainModel* model = nullptr;
  std::function<void()> during;
  Lines carried;
  bool running = false;
  void TransferLine(std::string_view line) override {
    carried.emplace_back(line);
    if (running) return;
    running = true;
    if (auto d = std::move(during)) d();
    running = false;
    model->transfersDone();
  }
  bool transferring() const override { return running; }
};

class TransferTurnTest : public ModelTest {
 protected:
  TransferTurnTest() {
    transfer.model = &withTransfer;
    withTransfer.pageChecks.edtURL = model.pageChecks.edtURL;
    withTransfer.watchLists.Memo_List = model.watchLists.Memo_List;
  }
  MainServices servicesWithTransfer() {
    MainServices s = services();
    s.transfer = &transfer;
    return s;
  }
  PumpingTransfer transfer;
  MainModel withTransfer{servicesWithTransfer()};
};

TEST_F(TransferTurnTest, DuringATransferChecksWaitForItAndNoPatrolCycleStarts) {
  MainModel& m = withTransfer;
  m.pageChecks.chkURL = {true, false, false};
  http.setPage(kUrl1, spotPage({a}));
  http.setPage(kUrl2, spotPage({b}));
  m.patrolEvery2Min();
  for (int i = 0; i < 120; ++i) m.tick();
  ASSERT_EQ(m.patrolClock.ProgressBar1, 60) << "the next tick starts a cycle";
  const std::string line = "1___" + spotDisplay(1, a);

  // Ticks during a transfer: the cycle starts at the first tick after it.
  transfer.during = [&] {
    m.tick();
    m.tick();
    EXPECT_TRUE(http.asked().empty());
    EXPECT_EQ(m.patrolClock.ProgressBar1, 60);
  };
  transfer.TransferLine(line);
  EXPECT_TRUE(http.asked().empty());
  m.tick();
  EXPECT_EQ(http.asked(), Lines{kUrl1});

  // Checks asked for during a transfer (a button, the console) and a second line.
  Lines done;
  transfer.during = [&] {
    EXPECT_TRUE(m.checkWaits()) << "the console waits for the check's turn";
    EXPECT_FALSE(m.checkRunning());
    EXPECT_EQ(m.checkPage2(), 0);
    m.UrlCheckThen(2, [&] { done.push_back("check 2"); });
    transfer.TransferLine(line);
    EXPECT_EQ(http.asked(), Lines{kUrl1});
  };
  transfer.TransferLine(line);
  // Both ran after the transfer, in order, the second one's callback after it.
  EXPECT_EQ(http.asked(), (Lines{kUrl1, kUrl2, kUrl2}));
  EXPECT_EQ(done, Lines{"check 2"});
  EXPECT_EQ(transfer.carried.size(), 3u);
  EXPECT_FALSE(m.checkWaits());
}

TEST_F(ModelTest, TimerCountsDownAndRunsACycle) {
  model.pageChecks.chkURL[0] = true;
  model.pageChecks.chkURL[2] = false;
  http.setPage(kUrl1, spotPage({a}));
  model.patrolEvery2Min();
  tick(60);
  EXPECT_EQ(model.patrolClock.ProgressBar1, 30);
  tick(60);
  EXPECT_EQ(model.patrolClock.ProgressBar1, 60);
  EXPECT_TRUE(http.asked().empty());
  tick();  // the 121st tick starts the cycle
  EXPECT_EQ(http.asked(), Lines{kUrl1});
  EXPECT_EQ(model.patrolClock.ProgressBar1, 0);
  EXPECT_EQ(model.patrolClock.PatrolTicks, 0);
  EXPECT_EQ(player.played.size(), 1u);

  model.patrolEvery5Min();
  tick(4);
  EXPECT_EQ(model.patrolClock.ProgressBar1, 0);
  tick();
  EXPECT_EQ(model.patrolClock.ProgressBar1, 1);

  model.switchPatrolOff();
  tick();
  EXPECT_EQ(model.patrolClock.ProgressBar1, 0);
  EXPECT_EQ(model.patrolClock.PatrolTicks, 0);
}

TEST_F(ModelTest, NoUsableUrlHoldsTheCountdown) {
  model.pageChecks.chkURL[0] = model.pageChecks.chkURL[1] = model.pageChecks.chkURL[2] = false;
  model.patrolEvery2Min();
  tick(300);
  EXPECT_EQ(model.patrolClock.ProgressBar1, 0);
  EXPECT_TRUE(http.asked().empty());

  // URL 1 is on but no list is enabled for it: not usable, yet fetched in a cycle.
  model.pageChecks.chkURL[0] = true;
  model.watchLists.chkListUrl[0][0] = model.watchLists.chkListUrl[1][0] =
      model.watchLists.chkListUrl[2][0] = false;
  tick(300);
  EXPECT_EQ(model.patrolClock.ProgressBar1, 0);
  model.pageChecks.chkURL[1] = true;
  model.patrolEvery3MinFromNextTick();
  tick();
  EXPECT_EQ(http.asked(), (Lines{kUrl1, kUrl2}));
  tick(3);
  EXPECT_EQ(model.patrolClock.ProgressBar1, 1);  // and then counts three minutes
}

TEST_F(ModelTest, PatrolCycleAlertsOnceForAllUrls) {
  model.alerts.mail.chkMail = true;
  model.pageChecks.chkURL[0] = model.pageChecks.chkURL[1] = model.pageChecks.chkURL[2] = true;
  http.setPage(kUrl1, spotPage({a}));
  http.setPage(kUrl3, spotPage({b}));  // URL 2 fails
  model.patrolEvery4MinFromNextTick();
  tick();
  const Lines expected = {"_23_" + spotDisplay(1, b), "1___" + spotDisplay(1, a)};
  EXPECT_EQ(model.logViews.Memo_Log.lines, expected);
  EXPECT_EQ(player.played.size(), 1u);
  EXPECT_EQ(smtp.opened.size(), 1u);
  EXPECT_EQ(model.alerts.MailText, jis(expected[0]) + jis(expected[1]));
  EXPECT_EQ(model.alerts.NewLineCount, 2);
  ASSERT_EQ(box.shown.size(), 1u);  // a patrol cycle reports the unreachable server
  EXPECT_EQ(box.shown[0].kind, platform::MessageBox::Kind::Error);
  EXPECT_TRUE(model.patrolClock.AutoPatrolOn);
  EXPECT_FALSE(model.patrolClock.PatrolRunning);

  // A cycle with nothing new: no sound, no mail, MailText emptied.
  model.patrolEvery4MinFromNextTick();
  tick();
  EXPECT_EQ(player.played.size(), 1u);
  EXPECT_EQ(smtp.opened.size(), 1u);
  EXPECT_EQ(model.alerts.MailText, "");

  // The mail button sends whatever is held, and reports the unreachable server.
  model.sendMailNow();
  EXPECT_EQ(smtp.opened.size(), 2u);
  EXPECT_EQ(box.shown.size(), 2u);
}

TEST_F(ModelTest, CaptionShowsTheClockAndTheIndicatorBlinksDuringAFetch) {
  tick();
  EXPECT_EQ(model.caption, banner() + text::sj("　　　　　　") + "26/12/09 07:05:03");

  std::vector<bool> shown;
  http.setPage(kUrl1, spotPage({}));
  http.setDuringFetch([&](std::string_view) {
    for (int i = 0; i < 4; ++i) {
      tick();
      shown.push_back(model.pageChecks.ImageInternet);
    }
  });
  model.checkPage1();
  EXPECT_EQ(shown, (std::vector<bool>{false, true, false, true}));
  tick();
  EXPECT_FALSE(model.pageChecks.ImageInternet);
}

TEST_F(ModelTest, StartUpShowsTheWelcomeTextOrTheSavedLog) {
  model.startUp({"/opt/zeltaro/zeltaro"});
  EXPECT_EQ(model.logViews.Memo_Log2.lines, welcomeLines());
  EXPECT_EQ(model.logViews.WelcomeText, text::joinLines(welcomeLines()));
  EXPECT_EQ(model.watchLists.LabelList[0], "   1(1/0)");
  EXPECT_TRUE(model.patrolClock.Timer1Enabled);

  std::string saved;
  for (int i = 0; i < 250; ++i) saved += "1___line " + std::to_string(i) + "\r\n";
  MainModel m(services());
  m.logViews.SavedLog = saved;
  m.startUp({"/opt/zeltaro/zeltaro"});
  ASSERT_EQ(m.logViews.Memo_Log.lines.size(), 200u);
  EXPECT_EQ(m.logViews.Memo_Log.lines.back(), "1___line 199");
  ASSERT_EQ(m.logViews.Memo_Log2.lines.size(), 200u);
  EXPECT_EQ(m.logViews.Memo_Log2.lines.front(), "1___line 0   ");
  EXPECT_EQ(m.logViews.Memo_Log2.lines.back(), "1___line 199 ");
}

TEST_F(ModelTest, ListsAreNormalisedAtEveryCheck) {
  model.watchLists.Memo_List[0] = "STN1\tCW\r\n";
  http.setPage(kUrl1, spotPage({a}));
  EXPECT_EQ(model.checkPage1(), 1);
  EXPECT_EQ(model.watchLists.Memo_List[0], "STN1 CW\r\n");
}

}  // namespace
}  // namespace zeltaro::app
