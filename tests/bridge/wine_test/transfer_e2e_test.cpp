// The whole road of a spot into HAMLOG, with the real program's parts: a page check against a
// real page server fills the log, a double-click on the aligned pane carries the line into a
// fake HAMLOG under Wine (field messages and the rig key), the companion's datagrams reach a
// UDP socket and, with direct control, the radio simulator gets the ICOM frames.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <ctime>
#include <filesystem>

#include "app/spot_page.h"
#include "app/station.h"
#include "app/ui/tform1.h"
#include "rig/radio_sim.h"
#include "support/peer_process.h"
#include "support/temp_dir.h"

namespace zeltaro::app {
namespace {

namespace fs = std::filesystem;
const std::string kWine = ZELTARO_TEST_WINE;
const std::string kWin = ZELTARO_TEST_WIN_DIR;

class WineEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = "/tmp/zeltaro-wine-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern.data()));
    prefix = pattern;
    setenv("WINEPREFIX", prefix.c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINELOADER", kWine.c_str(), 1);
    ASSERT_EQ(std::system((kWine + " wineboot -i >/dev/null 2>&1").c_str()), 0);
  }
  void TearDown() override {
    std::string server = fs::path(kWine).parent_path() / "wineserver64";
    std::system((server + " -k >/dev/null 2>&1").c_str());
    std::error_code ignored;
    fs::remove_all(prefix, ignored);
  }
  std::string prefix;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WineEnvironment);

// The fake HAMLOG started from folder, until the object goes away.
class FakeHamlog {
 public:
  explicit FakeHamlog(const std::string& folder) {
    fs::create_directories(folder);
    const std::string exe = folder + "/fake_windows.exe";
    fs::copy_file(kWin + "/fake_windows.exe", exe, fs::copy_options::overwrite_existing);
    int out[2];
    EXPECT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> all{kWine, exe, "hamlog"};
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, kWine.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char c;
    std::string line;
    while ((line.empty() || line.back() != '\n') && read(out[0], &c, 1) == 1) line += c;
    close(out[0]);
    EXPECT_EQ(line, "up\r\n");
  }
  ~FakeHamlog() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
};

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

    station = std::make_unique<Station>(dir.path(), std::string(),
                                        BridgeLaunch{kWine, kWin + "/zeltaro-bridge.exe"});
    form = std::make_unique<ui::TForm1>(station->model(), std::vector<std::string>{"zeltaro"});
    MainModel& m = station->model();
    m.edtURL1 = "http://127.0.0.1:" + std::to_string(web->port()) + "/40CW.html";
    m.Memo_List1 = "STN1\r\n";
    m.Memo_List2 = m.Memo_List3 = "\r\n";
    m.chkAlert = false;
    m.chkAlert = false;
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
    ASSERT_EQ(m.btnChkUrl1Click(), 1);
    form->syncFromModel();
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
  std::unique_ptr<ui::TForm1> form;
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
  station->model().Timer1Timer();  // the first tick opens the rig port
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
  station.reset();
  form.reset();
  station = std::make_unique<Station>(dir.path(), std::string(),
                                      BridgeLaunch{"wine-that-is-not-installed", ""});
  form = std::make_unique<ui::TForm1>(station->model(), std::vector<std::string>{"zeltaro"});
  MainModel& m = station->model();
  m.edtURL1 = "http://127.0.0.1:" + std::to_string(web->port()) + "/40CW.html";
  m.Memo_List1 = "STN1\r\n";
  m.Memo_List2 = m.Memo_List3 = "\r\n";
  m.chkAlert = false;
  m.station.set(1).HAMLOG = hamlogFolder + "/";
  m.station.shared.RMKS_SEL = 2;
  m.station.tarvopc.CALL = m.station.tarvopc.CODE = true;
  m.station.tarvopc.PORT = std::to_string(udp.localPort());
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  checkAndDoubleClick();
  EXPECT_EQ(datagrams(3), kDatagrams);
}

}  // namespace
}  // namespace zeltaro::app
