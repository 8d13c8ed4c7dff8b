// SPDX-License-Identifier: GPL-3.0-or-later
// The whole road of a spot into HAMLOG, with the real program's parts: a page check against a
// real page server fills the log, a double-click on the aligned pane carries the line into a
// fake HAMLOG under Wine (field messages and the rig key), the companion's datagrams reach a
// UDP socket and, with direct control, the radio simulator gets the ICOM frames. With "new" on,
// the same check queues the spots in a patrol window, whose walk carries them over one by one.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

#include "app/patrol_binding.h"
#include "app/spot_page.h"
#include "gui/main_window.h"
#include "gui/patrol_list_window.h"
#include "gui/station.h"
#include "platform/clock.h"
#include "rig/radio_sim.h"
#include "support/event_lines.h"
#include "support/peer_process.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "wine_support.h"

namespace zeltaro::app {
namespace {

namespace fs = std::filesystem;
using testing::wine::kWin;
using testing::wine::kWine;
// The program's one Wine prefix.
const testing::wine::WineEnvironment& kEnvironment = testing::wine::environment();

using testing::wine::FakeHamlog;

std::string twoDigits(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

// "field 2001A ..." to "field 20003 ..." as the fake records them for the local time t.
std::string dateAndTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return "field 2001A 0 \nfield 20002 8 " + twoDigits(tm.tm_year % 100) + "/" +
         twoDigits(tm.tm_mon + 1) + "/" + twoDigits(tm.tm_mday) + "\nfield 20003 6 " +
         twoDigits(tm.tm_hour) + ":" + twoDigits(tm.tm_min) + "J\n";
}

class TransferEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pages.isValid());
    QFile page(QDir(pages.path()).filePath("40CW.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(QByteArray::fromStdString(testing::spotPage({spot})));
    page.close();
    web = std::make_unique<zeltaro::testing::PeerProcess>(
        zeltaro::testing::systemPython(),
        QStringList{zeltaro::testing::testScript("app/page_server.py"), pages.path()});
    ASSERT_TRUE(web->ok());
    ASSERT_TRUE(udp.bind(QHostAddress::LocalHost, 0));

    makeStation(BridgeLaunch{kWine, kWin + "/zeltaro-bridge.exe"});
  }
  // The program's station and main window with the bridge run as launch says: page 1 on the
  // page server, STN1 watched by list 1, whose HAMLOG folder is hamlogFolder, and the companion
  // on the UDP socket.
  void makeStation(BridgeLaunch launch) {
    form.reset();
    station.reset();
    station = std::make_unique<Station>(dir.path(), std::string(), std::move(launch));
    form = std::make_unique<ui::MainWindow>(station->model(), std::vector<std::string>{"zeltaro"});
    MainModel& m = station->model();
    m.pageChecks.edtURL[0] = "http://127.0.0.1:" + std::to_string(web->port()) + "/40CW.html";
    m.watchLists.Memo_List[0] = "STN1\r\n";
    m.watchLists.Memo_List[1] = m.watchLists.Memo_List[2] = "\r\n";
    m.alerts.chkAlert = false;
    m.station.set(1).HAMLOG = hamlogFolder + "/";
    m.station.shared.RMKS_SEL = 2;
    m.station.tarvopc.CALL = m.station.tarvopc.CODE = true;
    m.station.tarvopc.PORT = std::to_string(udp.localPort());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    form.reset();
    station.reset();
  }

  // Checks page 1 and double-clicks the first line of the aligned pane.
  void checkAndDoubleClick() {
    MainModel& m = station->model();
    ASSERT_EQ(m.checkPage1(), 1);
    form->syncFromModel();
    doubleClickFirstLine();
  }
  void doubleClickFirstLine() {
    auto* pane = qobject_cast<QPlainTextEdit*>(form->control("Memo_Log2"));
    ASSERT_NE(pane, nullptr);
    ASSERT_TRUE(pane->isVisible());
    ASSERT_TRUE(pane->toPlainText().startsWith("1___"));
    QTextCursor c(pane->document());
    c.setPosition(12);
    const QPoint at = pane->cursorRect(c).center();
    QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, at);
  }

  std::vector<std::string> datagrams(std::size_t n) {
    std::vector<std::string> got;
    for (int i = 0; i < 100 && got.size() < n; ++i) {
      udp.waitForReadyRead(50);
      while (udp.hasPendingDatagrams()) {
        QByteArray d(int(udp.pendingDatagramSize()), '\0');
        udp.readDatagram(d.data(), d.size());
        got.push_back(d.toStdString());
      }
    }
    return got;
  }

  std::string record() const { return zeltaro::testing::readBytes(hamlogFolder + "/record.txt"); }

  const testing::Spot spot{"STN1", "7,010", "CW"};
  zeltaro::testing::TempDir dir;
  std::string hamlogFolder = dir.path() + "/Hamlog";
  QTemporaryDir pages;
  std::unique_ptr<zeltaro::testing::PeerProcess> web;
  QUdpSocket udp;
  std::unique_ptr<Station> station;
  std::unique_ptr<ui::MainWindow> form;
};

const std::string kFields =
    "field 20010 0 \n"
    "field B0000 4 STN1\n"
    "field 20000 4 STN1\n"
    "field 20006 7 7.01000\n"
    "field 20007 2 CW\n"
    "field 20008 4 1001\n"
    "field 2000C 0 \n"
    "field 2000E 6 12 tnx\n";

const std::vector<std::string> kDatagrams{std::string("CODE 1001\r\0", 11),
                                          std::string("CALL STN1\r\0", 11),
                                          std::string("RMK2 12 tnx\r\0", 13)};

TEST_F(TransferEndToEnd, DoubleClickFillsHamlogPressesTheRigKeyAndForwardsTheSpot) {
  FakeHamlog hamlog(hamlogFolder);
  const std::time_t before = std::time(nullptr);
  checkAndDoubleClick();
  const std::time_t after = std::time(nullptr);
  const std::string key = "key 24 data 0 ctrl 1 shift 0 alt 0\n";
  const std::string got = record();
  EXPECT_TRUE(got == kFields + dateAndTime(before) + key ||
              got == kFields + dateAndTime(after) + key)
      << got;
  EXPECT_EQ(datagrams(3), kDatagrams);
}

TEST_F(TransferEndToEnd, DirectControlTunesTheRadioInsteadOfPressingTheKey) {
  FakeHamlog hamlog(hamlogFolder);
  const std::string link = dir.path() + "/rig";
  rig::RadioSim radio(link, "icom");
  ASSERT_TRUE(radio.ready());
  MainModel& m = station->model();
  m.station.rigDirect.Use = true;
  m.station.rigDirect.Device = link;
  station->model().tick();  // the first tick opens the rig port
  const std::time_t before = std::time(nullptr);
  checkAndDoubleClick();
  const std::time_t after = std::time(nullptr);
  const std::string got = record();
  EXPECT_TRUE(got == kFields + dateAndTime(before) || got == kFields + dateAndTime(after)) << got;
  EXPECT_EQ(radio.lines(2),
            "FEFE6E500603FD 9600 8N1 none\n"
            "FEFE6E50050000010700FD 9600 8N1 none\n");
  EXPECT_EQ(datagrams(3), kDatagrams);
}

TEST_F(TransferEndToEnd, WithoutWineTheTransferStillForwardsTheSpot) {
  // No HAMLOG runs and the bridge cannot start: the companion still gets the spot.
  makeStation(BridgeLaunch{"wine-that-is-not-installed", ""});
  checkAndDoubleClick();
  EXPECT_EQ(datagrams(3), kDatagrams);
}

TEST_F(TransferEndToEnd, WithoutAPrefixWineIsNotStartedAndTheRigAndCompanionStillFollow) {
  // The operator's home holds no Wine prefix and none is named: Wine would make ~/.wine.
  zeltaro::testing::TempDir home;
  zeltaro::testing::ScopedEnv homeEnv("HOME", home.path());
  zeltaro::testing::ScopedEnv prefixEnv("WINEPREFIX", std::nullopt);
  const std::string link = dir.path() + "/rig";
  rig::RadioSim radio(link, "icom");
  ASSERT_TRUE(radio.ready());
  MainModel& m = station->model();
  m.station.rigDirect.Use = true;
  m.station.rigDirect.Device = link;
  m.tick();  // the first tick opens the rig port
  ::testing::internal::CaptureStderr();
  checkAndDoubleClick();
  doubleClickFirstLine();
  EXPECT_EQ(zeltaro::testing::withStampsMarked(::testing::internal::GetCapturedStderr()),
            "zeltaro: <stamp> the Windows bridge is not available (no Wine prefix at " +
                home.path() +
                "/.wine; Zeltaro does not make one); HAMLOG's window and library steps are "
                "skipped\n");
  EXPECT_TRUE(home.names().empty());
  const std::string tuned = "FEFE6E500603FD 9600 8N1 none\nFEFE6E50050000010700FD 9600 8N1 none\n";
  EXPECT_EQ(radio.lines(4), tuned + tuned);
  std::vector<std::string> twice = kDatagrams;
  twice.insert(twice.end(), kDatagrams.begin(), kDatagrams.end());
  EXPECT_EQ(datagrams(6), twice);
}

// The field messages and the rig key of one transfer of a 40 m CW spot at local time t. While a
// patrol window shows, the data words lack 0x20000.
std::string transferRecord(const std::string& call, const std::string& mhz, std::time_t t,
                           bool patrolShown) {
  const std::string size = std::to_string(call.size());
  const std::string fields =
      "field 20010 0 \n"
      "field B0000 " +
      size + " " + call +
      "\n"
      "field 20000 " +
      size + " " + call +
      "\n"
      "field 20006 7 " +
      mhz +
      "\n"
      "field 20007 2 CW\n"
      "field 20008 4 1001\n"
      "field 2000C 0 \n"
      "field 2000E 6 12 tnx\n" +
      dateAndTime(t) + "key 24 data 0 ctrl 1 shift 0 alt 0\n";
  if (!patrolShown) return fields;
  std::string out;
  for (std::size_t at = 0, end; (end = fields.find('\n', at)) != std::string::npos; at = end + 1) {
    std::string line = fields.substr(at, end + 1 - at);
    if (line.starts_with("field B0000"))
      line.replace(6, 5, "90000");
    else if (line.starts_with("field 20000"))
      line.replace(6, 5, "0");
    else if (line.starts_with("field 2000"))
      line.erase(6, 4);
    else if (line.starts_with("field 200"))
      line.erase(6, 3);
    out += line;
  }
  return out;
}

// The bridge's waits let the window run: a timer of 20 ms keeps firing through a transfer, and
// HAMLOG receives the same bytes. What a turn of the window asks for during a transfer waits for
// its turn: the same line again goes across whole after the first, a page check runs after both,
// and a first-QSO check through HAMLOG's library in the same bridge gets its right answer.
TEST_F(TransferEndToEnd, TheWindowRunsDuringATransferAndWhatItAsksForWaitsItsTurn) {
  FakeHamlog hamlog(hamlogFolder);
  MainModel& m = station->model();
  ASSERT_EQ(m.checkPage1(), 1);
  form->syncFromModel();

  QElapsedTimer clock;
  clock.start();
  std::vector<qint64> ticks;
  std::function<void()> duringTransfer;
  QTimer timer;
  timer.setInterval(20);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    ticks.push_back(clock.elapsed());
    if (duringTransfer && m.transferRunning()) std::exchange(duringTransfer, nullptr)();
  });
  timer.start();
  const auto longestGap = [&](qint64 from, qint64 to) {
    qint64 longest = 0, last = from;
    for (const qint64 t : ticks)
      if (t >= from && t <= to) longest = std::max(longest, t - std::exchange(last, t));
    return std::max(longest, to - last);
  };

  // The first transfer also starts the bridge.
  std::time_t before = std::time(nullptr);
  qint64 from = clock.elapsed();
  doubleClickFirstLine();
  qint64 to = clock.elapsed();
  std::time_t after = std::time(nullptr);
  const std::string once = record();
  EXPECT_TRUE(once == transferRecord("STN1", "7.01000", before, false) ||
              once == transferRecord("STN1", "7.01000", after, false))
      << once;
  EXPECT_GT(to - from, 150) << "the rig key alone holds HAMLOG's window for 150 ms";
  EXPECT_LT(longestGap(from, to), 100);

  // HAMLOG's library beside its window, for list 1's first-QSO check in the same bridge: the
  // log holds JA1ABC on 7 MHz only.
  fs::copy_file(kWin + "/full/hamlog50.dll", hamlogFolder + "/hamlog50.dll");
  zeltaro::testing::writeBytes(hamlogFolder + "/version.txt", "50300");
  zeltaro::testing::writeBytes(hamlogFolder + "/log.txt", "1|JA1ABC|100102|7.020|CW||\n");
  m.station.set(1).Use = m.station.set(1).Band = true;
  m.station.bridge.HamlogDll = {true, false, false};
  ASSERT_TRUE(QFile::remove(QString::fromStdString(hamlogFolder + "/record.txt")));

  std::optional<bool> firstQso;
  std::string recordWhenChecked;
  bool checked = false;
  duringTransfer = [&] {
    doubleClickFirstLine();
    m.UrlCheckThen(1, [&] {
      checked = true;
      recordWhenChecked = record();
    });
    firstQso = station->firstQso().isFirstQso(1, {"JA1ABC", "21,020", "", "CW"});
    EXPECT_FALSE(checked);
  };
  before = std::time(nullptr);
  doubleClickFirstLine();
  after = std::time(nullptr);
  timer.stop();
  ASSERT_FALSE(duringTransfer) << "the timer did not fire during the transfer";
  std::vector<std::string> twice;
  for (const std::time_t t1 : {before, after})
    for (const std::time_t t2 : {before, after})
      if (t1 <= t2)
        twice.push_back(transferRecord("STN1", "7.01000", t1, false) +
                        transferRecord("STN1", "7.01000", t2, false));
  EXPECT_NE(std::find(twice.begin(), twice.end(), record()), twice.end()) << record();
  EXPECT_TRUE(checked);
  EXPECT_EQ(recordWhenChecked, record()) << "the check ran after both transfers";
  EXPECT_EQ(firstQso, true);
  // The library's calls: the check asked for during the transfer, then the page check's of
  // STN1, which the log does not hold.
  const std::string opening =
      "attach\nGetThdllVersion\nSetDbsShare 1\nHamlogOpen 0 zeroed here 1\n";
  EXPECT_EQ(zeltaro::testing::readBytes(hamlogFolder + "/calls.txt"),
            opening +
                "THW_seek JA1ABC 16\nFreqPCheck 7.020\nFreqPCheck 21.020\nTHW_skip 1 16\n"
                "HamlogClose 0\ndetach\n" +
                opening + "THW_seek STN1 16\nHamlogClose 0\ndetach\n");
}

TEST_F(TransferEndToEnd, PatrolWalkCarriesTheNewSpotsIntoHamlogAtTheChosenInterval) {
  FakeHamlog hamlog(hamlogFolder);
  // Spotted just now: the walk takes only spots younger than its age limit.
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char date[16], time[8];
  std::strftime(date, sizeof date, "%Y/%m/%d", &tm);
  std::strftime(time, sizeof time, "%H:%M", &tm);
  std::vector<testing::Spot> spots{{"STN1", "7,010"}, {"STN2", "7,020"}, {"STN3", "7,030"}};
  for (testing::Spot& s : spots) s.date = date, s.time = time;
  QFile page(QDir(pages.path()).filePath("40CW.html"));
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.write(QByteArray::fromStdString(testing::spotPage(spots)));
  page.close();
  MainModel& m = station->model();
  m.watchLists.Memo_List[0] = "STN1\r\nSTN2\r\n";

  // The patrol windows as main() sets them up, their walk transferring into HAMLOG.
  platform::SystemClock clock;
  PatrolListsBinding lists(m, clock, &station->patrolTransfer());
  ui::PatrolListWindow w1(m, lists, 1), w2(m, lists, 2), w3(m, lists, 3);
  lists.afterChange = [&] {
    form->syncFromModel();
    for (ui::PatrolListWindow* w : {&w1, &w2, &w3}) w->syncFromModel();
  };
  auto* mainNew = qobject_cast<QCheckBox*>(form->control("CheckBox2"));
  ASSERT_NE(mainNew, nullptr);
  mainNew->click();
  ASSERT_TRUE(m.logViews.CheckBox2 && w1.window().CheckBox2);

  // The check queues the two listed spots in window 1; its new current row goes across at once.
  const std::time_t checked = std::time(nullptr);
  ASSERT_EQ(m.checkPage1(), 2);
  form->syncFromModel();
  ASSERT_TRUE(w1.isVisible());
  EXPECT_FALSE(w2.isVisible() || w3.isVisible());
  ASSERT_EQ(w1.window().rowCount(), 2);
  EXPECT_TRUE(w1.window().CheckListBox1[0].checked && w1.window().CheckListBox1[1].checked);
  const std::time_t fed = std::time(nullptr);
  const std::string first = record();
  // It went across before the window showed.
  EXPECT_TRUE(first == transferRecord("STN1", "7.01000", checked, false) ||
              first == transferRecord("STN1", "7.01000", fed, false))
      << first;

  // One second between transfers, chosen in the window's list; the patrol switched on in front.
  auto* seconds = qobject_cast<QComboBox*>(w1.control("ComboBox1"));
  ASSERT_NE(seconds, nullptr);
  seconds->setFocus();
  QTest::keyClick(seconds, Qt::Key_Home);
  ASSERT_EQ(w1.window().ComboBox1, 0);
  w1.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w1));
  ASSERT_TRUE(QFile::remove(QString::fromStdString(hamlogFolder + "/record.txt")));
  auto* patrol = qobject_cast<QCheckBox*>(w1.control("CheckBox1"));
  ASSERT_NE(patrol, nullptr);
  patrol->click();
  ASSERT_TRUE(w1.window().CheckBox1);

  // Each transfer with the moment it was seen and the wall clock around it (for its time field).
  struct Seen {
    std::string fields;
    qint64 ms;
    std::time_t notBefore, notAfter;
  };
  std::vector<Seen> seen;
  QElapsedTimer since;
  since.start();
  std::size_t done = 0;
  std::time_t lastPoll = std::time(nullptr);
  while (seen.size() < 3 && since.elapsed() < 30000) {
    QTest::qWait(10);
    const std::time_t now = std::time(nullptr);
    const std::string got = record();
    for (std::size_t next; (next = got.find("\nkey ", done)) != std::string::npos;) {
      const std::size_t end = got.find('\n', next + 1);
      if (end == std::string::npos) break;
      seen.push_back({got.substr(done, end + 1 - done), since.elapsed(), lastPoll, now});
      done = end + 1;
    }
    lastPoll = now;
  }
  patrol->click();
  ASSERT_EQ(seen.size(), 3u) << record();
  const std::pair<std::string, std::string> expected[] = {
      {"STN1", "7.01000"}, {"STN2", "7.02000"}, {"STN1", "7.01000"}};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& [call, mhz] = expected[i];
    EXPECT_TRUE(seen[i].fields == transferRecord(call, mhz, seen[i].notBefore, true) ||
                seen[i].fields == transferRecord(call, mhz, seen[i].notAfter, true))
        << i << ": " << seen[i].fields;
  }
  // The first tick transfers at once; then every 11 ticks of 100 ms, and not at the 3 seconds
  // the window starts with. The upper limit leaves room for a slow transfer on a busy machine.
  EXPECT_LT(seen[0].ms, 1000);
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_GE(seen[i].ms - seen[i - 1].ms, 1000) << i;
    EXPECT_LT(seen[i].ms - seen[i - 1].ms, 2900) << i;
  }
  EXPECT_FALSE(w1.window().CheckBox1);
}

}  // namespace
}  // namespace zeltaro::app
