// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_io.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/main_model.h"
#include "platform/message_box.h"
#include "rig/rig_link.h"
#include "settings/station_settings.h"
#include "support/real_program.h"
#include "support/peer_process.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/sjis.h"
#include "support/recorders.h"

namespace zeltaro::app {
namespace {

using Lines = std::vector<std::string>;

using zeltaro::testing::readBytes;
using zeltaro::testing::TempDir;
using zeltaro::testing::writeBytes;

std::string fixture(const char* name) {
  return readBytes(zeltaro::testing::testsDir() + "/app/fixtures/" + name);
}

class SettingsIoTest : public ::testing::Test {
 protected:
  SettingsIoTest() : path(dir.file("zeltaro.ini")) {}

  // A model as the program builds it, reading and writing path.
  std::unique_ptr<MainModel> makeModel() {
    MainServices s;
    s.messageBox = &box;
    auto m = std::make_unique<MainModel>(s);
    m->SettingsFile = path;
    return m;
  }
  // Saves `from`, then starts a fresh model on the file.
  std::unique_ptr<MainModel> roundTrip(MainModel& from) {
    EXPECT_TRUE(from.saveSettingsFile());
    auto to = makeModel();
    to->startUp({"/opt/zeltaro/zeltaro"});
    return to;
  }

  TempDir dir;
  std::string path;
  platform::RecordingMessageBox box;
};

TEST_F(SettingsIoTest, FirstStartThenExitWritesEveryKeyInSaveOrder) {
  auto m = makeModel();
  m->startUp({"/opt/zeltaro/zeltaro"});
  // The built-in log, template, Body and sample list belong to their own parts; small texts
  // in their place keep this file about the layout and the three escapings.
  m->logViews.Memo_Log.lines = {"1___STN1 \\r\\n say \"hi\"", "_2__JA3AAA"};
  m->pageChecks.Memo_pcre = {"<Call>$#04</Call>", "<a href=\"x\">$#05</a>"};
  m->pageChecks.Edit1 = "$#04 $#05";
  m->watchLists.Memo_List[2] = "JA1ZLO\tCW\r\n*JD1\r\n";
  m->close();
  EXPECT_EQ(readBytes(path), fixture("first_start.ini"));
  EXPECT_TRUE(box.shown.empty());
}

TEST_F(SettingsIoTest, HandWrittenFileIsReadAndRewrittenInPlace) {
  writeBytes(path, fixture("hand_written.ini"));
  auto m = makeModel();
  m->startUp({"/opt/zeltaro/zeltaro"});

  EXPECT_EQ(m->logViews.Left, 10);
  EXPECT_EQ(m->logViews.Top, 20);
  EXPECT_EQ(m->logViews.Color[0], 255);          // "0x0000FF"
  EXPECT_EQ(m->logViews.Color[1], -2147483643);  // "red" is no integer: the default stays
  EXPECT_EQ(m->logViews.Log123, 4);
  EXPECT_EQ(m->logViews.ComboBox1, 12);
  EXPECT_FALSE(m->logViews.radioDisp2);
  EXPECT_TRUE(m->logViews.radioDisp1);
  EXPECT_TRUE(m->patrolClock.radioTimeSel_4min);
  EXPECT_FALSE(m->patrolClock.radioTimeSel_Off);
  EXPECT_TRUE(m->patrolClock.AutoPatrolOn);  // as a click on the 4-minute button
  EXPECT_EQ(m->pageChecks.edtURL[0], "http://127.0.0.1/a.html");
  EXPECT_EQ(m->pageChecks.edtURL[2], "");
  EXPECT_FALSE(m->alerts.chkAlert);
  EXPECT_EQ(m->alerts.edtSound, "bell.wav");
  EXPECT_EQ(m->alerts.mail.edtSubj, "  My spots ");
  EXPECT_EQ(m->alerts.mail.edtSmtpPASS, "secret");
  EXPECT_EQ(m->alerts.mail.edtPort, "587");
  EXPECT_TRUE(m->alerts.mail.chkAuth);
  EXPECT_EQ(m->pageChecks.Edit1, "$#04 $#05 \\r\\n $#06");
  EXPECT_EQ(m->pageChecks.edtSepStart, "<S>");
  EXPECT_EQ(m->pageChecks.Memo_pcre, (Lines{"<Call>$#04</Call>", "<Q a=\"b\">$#05</Q>"}));
  EXPECT_EQ(m->watchLists.Memo_List[0], "STN1 CW\r\n*JD1\r\n");
  EXPECT_EQ(m->watchLists.LabelList[0], "   2(1/1)") << "the list's change handling ran";
  EXPECT_FALSE(m->watchLists.chkListUrl[0][0]);
  EXPECT_FALSE(m->watchLists.chkListUrl[0][2]);
  EXPECT_EQ(m->logViews.Memo_Log.lines, (Lines{"1___A \\r\\n \"q\"", "_2__B"}));

  const settings::FirstQsoConditionSet& a = m->station.first[0];
  EXPECT_TRUE(a.Use && a.Num && a.Band && a.Mode && a.Code && a.Subj && a.Any);
  EXPECT_FALSE(a.Trans || a.Rig);
  EXPECT_EQ(a.Num_L, "100");
  EXPECT_EQ(a.Text, " first!");
  EXPECT_EQ(a.RigFreq, 15);
  EXPECT_EQ(a.ModeConv, "RTTY=SSB");
  EXPECT_EQ(a.HAMLOG, "/home/op/hamlog/");
  EXPECT_EQ(a.Interval, 5);
  EXPECT_FALSE(a.M_SSB);
  EXPECT_TRUE(a.M_CW);
  EXPECT_EQ(m->station.first[2].Interval, 0);

  EXPECT_EQ(m->pageChecks.roles.HTTP_DATE, 2);  // 0 is out of range
  EXPECT_EQ(m->pageChecks.roles.HTTP_QTH, 8);   // 25 is out of range
  EXPECT_EQ(m->pageChecks.roles.HTTP_CALL, 12);
  EXPECT_EQ(m->pageChecks.roles.HTTP_RMKS, 20);
  const settings::SharedFirstSettings& sh = m->station.shared;
  EXPECT_EQ(sh.KEY_DATA, "HOME") << "\"Home\" is not in the table (names are case-sensitive)";
  EXPECT_EQ(sh.keyIndex, 0);
  EXPECT_FALSE(sh.KEY_CTRL);
  EXPECT_TRUE(sh.KEY_SHIFT && sh.KEY_ALT);
  EXPECT_EQ(sh.TZ, 8);
  EXPECT_EQ(sh.COL_RMKS, "9");
  EXPECT_FALSE(sh.FOCUS_SEL);
  EXPECT_FALSE(sh.MOUSE_SEL) << "without its own key the mouse flag follows FOCUS_SEL";
  EXPECT_FALSE(m->logViews.CheckBox2) << "NEW_AUTO is never read";
  EXPECT_EQ(sh.NEW_STNS, 25);
  EXPECT_EQ(sh.TIMEOVER_MIN, 60);  // "$3C"
  EXPECT_EQ(m->station.tarvopc.IP, " 192.168.1.5 ");
  EXPECT_TRUE(m->station.tarvopc.CLEAR);
  EXPECT_EQ(m->station.rigDirect.RigID, 112);  // "0x70"
  EXPECT_EQ(m->station.rigDirect.PcID, 80);    // "abc" keeps what was there
  EXPECT_EQ(m->station.rigDirect.Maker, 4);
  EXPECT_TRUE(m->station.rigDirect.RigTarvopc);
  EXPECT_EQ(m->logViews.ComboBox2, 5);
  EXPECT_TRUE(m->station.pilot[2].StayTopOn);
  EXPECT_FALSE(m->station.pilot[2].Sel1);
  EXPECT_EQ(m->station.trans[1].Width, 410);

  m->close();
  EXPECT_EQ(readBytes(path), fixture("hand_written_saved.ini"));
}

TEST_F(SettingsIoTest, ValuesSurviveARestart) {
  auto m = makeModel();
  m->startUp({"/opt/zeltaro/zeltaro"});
  m->logViews.Memo_Log.lines = {"1___STN1 7,010 \\r\\n \"DX\" \\n", "_2__JA3AAA"};
  m->watchLists.Memo_List[1] = "JA1\tCW\r\nJA2 \\n SSB\r\n";  // a typed BS-n becomes a line break
  m->alerts.mail.edtSubj = "   padded subject";
  m->alerts.mail.edtSmtpPASS = std::string(57, 'p');
  m->station.first[1].Text = " 1'st(B)";
  m->pageChecks.edtURL[1] = std::string(3000, 'u');
  m->patrolEvery4Min();
  m->station.shared.FOCUS_SEL = true;
  m->station.shared.MOUSE_SEL = false;
  m->logViews.CheckBox2 = true;

  auto r = roundTrip(*m);
  EXPECT_EQ(r->logViews.Memo_Log.lines, m->logViews.Memo_Log.lines);
  EXPECT_EQ(r->watchLists.Memo_List[1], "JA1 CW\r\nJA2 \n SSB\r\n");
  EXPECT_EQ(r->alerts.mail.edtSubj, "   padded subject");
  EXPECT_EQ(r->alerts.mail.edtSmtpPASS, std::string(57, 'p'));
  EXPECT_EQ(r->station.first[1].Text, " 1'st(B)");
  EXPECT_EQ(r->pageChecks.edtURL[1], std::string(2047, 'u'));
  EXPECT_TRUE(r->patrolClock.radioTimeSel_4min);
  EXPECT_EQ(r->selectedInterval(), 4);
  EXPECT_TRUE(r->station.shared.FOCUS_SEL);
  EXPECT_FALSE(r->station.shared.MOUSE_SEL) << "both flags keep their own value";
  EXPECT_FALSE(r->logViews.CheckBox2);

  r->alerts.mail.edtSmtpPASS = std::string(58, 'p');
  r->pageChecks.edtURL[1] =
      "http://b.example/";  // saving the cut address back would fail (see below)
  auto r2 = roundTrip(*r);
  EXPECT_EQ(r2->alerts.mail.edtSmtpPASS, "") << "80 Base64 characters are more than the 76 read";
}

TEST_F(SettingsIoTest, TheBridgeSectionComesBackByteForByte) {
  const std::string section =
      "[Bridge]\r\nWinePrefix=\" /home/op/.wine-hamlog \"\r\n"
      "HamlogDll1=0\r\nHamlogDll2=1\r\nHamlogDll3=0\r\n";
  // A file written by the program has the section last; one written by hand anywhere.
  for (const std::string& file : {section, section + "\r\n[Pilot_1]\r\nSel1=1\r\n"}) {
    writeBytes(path, file);
    auto m = makeModel();
    m->startUp({"/opt/zeltaro/zeltaro"});
    EXPECT_EQ(m->station.bridge.WinePrefix, " /home/op/.wine-hamlog ");
    EXPECT_EQ(m->station.bridge.HamlogDll, (std::array<bool, 3>{false, true, false}));
    m->close();
    const std::string saved = readBytes(path);
    const auto at = saved.find("[Bridge]");
    ASSERT_NE(at, std::string::npos);
    const auto next = saved.find("\r\n[", at);
    EXPECT_EQ(saved.substr(at, next == std::string::npos ? next : next - at), section);
  }
}

// [Web] appears only once the web console is set up, last of all, and then stays even when its
// values go back to the defaults; a file without it (first_start.ini) keeps its bytes.
TEST_F(SettingsIoTest, TheWebSectionIsWrittenLastOnlyOnceItIsUsed) {
  auto m = makeModel();
  m->startUp({"/opt/zeltaro/zeltaro"});
  m->close();
  const std::string untouched = readBytes(path);
  EXPECT_EQ(untouched.find("[Web]"), std::string::npos);

  m->web.On = true;
  m->web.Bind = "192.168.1.20";
  m->web.CertFile = "/etc/zeltaro/cert.pem";
  ASSERT_TRUE(m->saveSettingsFile());
  const std::string section =
      "[Web]\r\nOn=1\r\nPort=8080\r\nBind=\"192.168.1.20\"\r\n"
      "CertFile=\"/etc/zeltaro/cert.pem\"\r\nKeyFile=\"\"\r\n";
  EXPECT_EQ(readBytes(path), untouched + "\r\n" + section);

  auto back = makeModel();
  back->startUp({"/opt/zeltaro/zeltaro"});
  EXPECT_TRUE(back->web.On);
  EXPECT_EQ(back->web.Port, 8080);
  EXPECT_EQ(back->web.Bind, "192.168.1.20");
  EXPECT_EQ(back->web.CertFile, "/etc/zeltaro/cert.pem");
  back->web = {};
  ASSERT_TRUE(back->saveSettingsFile());
  EXPECT_EQ(readBytes(path), untouched +
                                 "\r\n[Web]\r\nOn=0\r\nPort=8080\r\n"
                                 "Bind=\"127.0.0.1\"\r\nCertFile=\"\"\r\nKeyFile=\"\"\r\n");
  // A port no socket can have is read as the default.
  writeBytes(path, "[Web]\r\nOn=1\r\nPort=70000\r\n");
  auto odd = makeModel();
  odd->startUp({"/opt/zeltaro/zeltaro"});
  EXPECT_TRUE(odd->web.On);
  EXPECT_EQ(odd->web.Port, 8080);
}

TEST_F(SettingsIoTest, MissingFileOrKeysLeaveValuesAsTheyAre) {
  auto m = makeModel();
  m->watchLists.Memo_List[0] = "KEEP\r\n";
  m->station.rigDirect.RigID = 99;
  m->startUp({"/opt/zeltaro/zeltaro"});
  EXPECT_EQ(m->watchLists.Memo_List[0], "KEEP\r\n");
  EXPECT_EQ(m->station.rigDirect.RigID, 99);
  EXPECT_TRUE(m->logViews.SavedLog.empty());
  EXPECT_EQ(m->logViews.Memo_Log.lines, welcomeLines());

  // Keys that are missing keep the value held, except the four with fixed defaults.
  writeBytes(path, "[Mail]\r\nOn=1\r\n");
  m->patrolEvery3Min();
  m->alerts.mail.edtSmtpPASS = "old";
  m->logViews.ComboBox2 = 6;
  m->logViews.Memo_Log.lines = {"1___before"};
  m->startUp({"/opt/zeltaro/zeltaro"});
  EXPECT_TRUE(m->alerts.mail.chkMail);
  EXPECT_EQ(m->watchLists.Memo_List[0], "KEEP\r\n");
  EXPECT_TRUE(m->patrolClock.radioTimeSel_Off) << "TimeSel defaults to 0";
  EXPECT_EQ(m->alerts.mail.edtSmtpPASS, "") << "Word defaults to empty";
  EXPECT_EQ(m->logViews.ComboBox2, 3) << "Param defaults to 3";
  EXPECT_TRUE(m->logViews.SavedLog.empty()) << "Log defaults to empty";
}

TEST_F(SettingsIoTest, KeyNameLookUpKeepsThePreviousKeyOnAMiss) {
  writeBytes(path, "[First]\r\nKEY_DATA=F5\r\n");
  auto m = makeModel();
  m->startUp({"/opt/zeltaro/zeltaro"});
  EXPECT_EQ(m->station.shared.KEY_DATA, "F5");
  EXPECT_EQ(m->station.shared.keyIndex, 11);

  writeBytes(path, "[First]\r\nKEY_DATA=PGUP\r\n");
  m->startUp({"/opt/zeltaro/zeltaro"});
  EXPECT_EQ(m->station.shared.KEY_DATA, "F5");
  EXPECT_EQ(m->station.shared.keyIndex, 11);
}

TEST_F(SettingsIoTest, ASaveThatCannotBeWrittenKeepsTheOldFileAndSaysSo) {
  writeBytes(path, "[Mail]\r\nOn=1\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  auto m = makeModel();
  std::string reason;
  EXPECT_FALSE(m->saveSettingsFile(&reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(readBytes(path), "[Mail]\r\nOn=1\r\n");
  ASSERT_EQ(box.shown.size(), 1u);
  EXPECT_EQ(box.shown[0].kind, platform::MessageBox::Kind::Error);
  EXPECT_EQ(box.shown[0].text, path + text::sj(" に書き込めません"));

  // The SAVE button and the close sequence take the same way.
  m->saveNow();
  m->close();
  EXPECT_EQ(box.shown.size(), 3u);
  EXPECT_EQ(readBytes(path), "[Mail]\r\nOn=1\r\n");
}

TEST_F(SettingsIoTest, AValueCutOnSaveIsReportedWhileTheRestIsSaved) {
  auto m = makeModel();
  m->pageChecks.edtURL[1] = std::string("http://a.example/\0tail", 22);
  m->alerts.mail.edtSubj = "subject\r\nBcc: x";
  std::string reason;
  EXPECT_FALSE(m->saveSettingsFile(&reason));
  EXPECT_EQ(reason, "values cut at a line break or NUL: [Inet] Url2, [Mail] Subj");
  const std::string saved = readBytes(path);
  EXPECT_NE(saved.find("\r\nUrl2=http://a.example/\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nSubj=\"subject\"\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nUrl1=" + m->pageChecks.edtURL[0] + "\r\n"), std::string::npos);
  ASSERT_EQ(box.shown.size(), 1u);
  EXPECT_EQ(box.shown[0].text, path + text::sj(" に書き込めません"));
}

// A folder one byte beyond the single-line limit: the load cuts its final "/" and names the
// key; a save of the cut value fails as other cuts do and leaves the whole value in the file.
TEST_F(SettingsIoTest, AValueCutAtLoadIsNamedAndNotSavedCut) {
  const std::string folder = "/" + std::string(2046, 'h') + "/";
  writeBytes(path, "[First_1]\r\nHAMLOG1=" + folder + "\r\n");
  auto m = makeModel();
  ::testing::internal::CaptureStderr();
  m->startUp({"/opt/zeltaro/zeltaro"});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "zeltaro: " + path + ": [First_1] HAMLOG1 is longer than 2047 bytes and was cut to them\n");
  EXPECT_EQ(m->station.set(1).HAMLOG, folder.substr(0, 2047));

  std::string reason;
  EXPECT_FALSE(m->saveSettingsFile(&reason));
  EXPECT_EQ(reason,
            "values longer than 2047 bytes, cut when read, left as the file holds them: "
            "[First_1] HAMLOG1");
  EXPECT_NE(readBytes(path).find("\r\nHAMLOG1=" + folder + "\r\n"), std::string::npos);
  ASSERT_EQ(box.shown.size(), 1u);
  EXPECT_EQ(box.shown[0].text, path + text::sj(" に書き込めません"));

  // A value changed since is saved as it is.
  m->station.set(1).HAMLOG = "/mnt/hamlog/";
  EXPECT_TRUE(m->saveSettingsFile(&reason)) << reason;
  EXPECT_NE(readBytes(path).find("\r\nHAMLOG1=/mnt/hamlog/\r\n"), std::string::npos);
}

// A file far beyond any settings file (50 MB) is neither read nor replaced: one line says so,
// the values in memory stay, and the save fails without touching it.
TEST_F(SettingsIoTest, AnOversizedFileIsRefusedWithOneLine) {
  writeBytes(path, "[Inet]\r\nUrl1=http://big.example/\r\n");
  ASSERT_EQ(::truncate(path.c_str(), 50'000'000), 0);
  auto m = makeModel();
  const std::string url = m->pageChecks.edtURL[0];
  ::testing::internal::CaptureStderr();
  m->startUp({"/opt/zeltaro/zeltaro"});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "zeltaro: " + path +
                " holds 50000000 bytes, more than a settings file (4194304 at most): not read, "
                "and not replaced by a save\n");
  EXPECT_EQ(m->pageChecks.edtURL[0], url);
  std::string reason;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(m->saveSettingsFile(&reason));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(reason,
            path + ": larger than a settings file, so it was not read and is not replaced");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 50'000'000);
}

// Numbers outside what the dialog offers stay in the file as written and are used clamped.
TEST_F(SettingsIoTest, OutOfRangeNumbersAreKeptAsWrittenAndUsedClamped) {
  const std::string stored =
      "[First_1]\r\nInterval=500\r\n[First]\r\nTIMEOVER_MIN=-20\r\n"
      "[RigDirect]\r\nMaker=9\r\nCom=77\r\nRigctldPort=70000\r\n";
  writeBytes(path, stored);
  auto m = makeModel();
  m->startUp({"/opt/zeltaro/zeltaro"});
  const settings::RigDirectSettings& rig = m->station.rigDirect;
  EXPECT_EQ(rig::rigDeviceName(rig), "/dev/ttyS29");
  EXPECT_EQ(settings::usedRigctldPort(rig), 65535);
  EXPECT_EQ(settings::usedInterval(m->station.set(1).Interval), 299);
  EXPECT_EQ(settings::usedTimeoverMin(m->station.shared.TIMEOVER_MIN), 0);

  ASSERT_TRUE(m->saveSettingsFile());
  const std::string saved = readBytes(path);
  for (const char* line : {"\r\nInterval=500\r\n", "\r\nTIMEOVER_MIN=-20\r\n", "\r\nMaker=9\r\n",
                           "\r\nCom=77\r\n", "\r\nRigctldPort=70000\r\n"})
    EXPECT_NE(saved.find(line), std::string::npos) << line;
}

TEST_F(SettingsIoTest, AnAlignedColumnItemOutsideTheListSelectsNone) {
  for (const auto& [stored, index] : {std::pair{"0", 0}, std::pair{"28", 28}, std::pair{"29", -1},
                                      std::pair{"-5", -1}, std::pair{"1000", -1}}) {
    writeBytes(path, std::string("[Cols]\r\nLogMode=") + stored + "\r\n");
    auto m = makeModel();
    m->startUp({"/opt/zeltaro/zeltaro"});
    EXPECT_EQ(m->logViews.ComboBox1, index) << stored;
    ASSERT_TRUE(m->saveSettingsFile());
    EXPECT_NE(readBytes(path).find("[Cols]\r\nLogMode=" + std::to_string(index) + "\r\n"),
              std::string::npos)
        << stored;
  }
}

#ifdef ZELTARO_EXE
// The real program reads the file beside its executable at start and writes it when it is
// stopped.
TEST_F(SettingsIoTest, TheProgramLoadsAtStartAndSavesWhenStopped) {
  testing::RealProgram program(ZELTARO_EXE);
  ASSERT_TRUE(program.ok());
  const std::string ini = program.file("zeltaro.ini").toStdString();
  std::string log;
  for (int i = 0; i < 150; ++i)
    log += "1___STN" + std::to_string(i) + " \\\\r\\\\n \\\"x\\\"\\r\\n";
  const std::string before =
      "[Window]\r\nLeft=75\r\nTop=64\r\nHeight=631\r\nWidth=852\r\n"
      "[Inet]\r\nTimeSel=4\r\nLog=\"" +
      log + "\"\r\n";
  writeBytes(ini, before);

  ASSERT_TRUE(program.start({}));
  QProcess& p = program.process();
  QThread::msleep(1500);
  p.terminate();
  ASSERT_TRUE(p.waitForFinished(15000));
  EXPECT_EQ(p.exitCode(), 0);

  const std::string after = readBytes(ini);
  EXPECT_NE(after.find("TimeSel=4\r\n"), std::string::npos);
  // The window stands where it stood: no drift of the frame at every restart.
  EXPECT_NE(after.find("[Window]\r\nLeft=75\r\nTop=64\r\nHeight=631\r\nWidth=852\r\n"),
            std::string::npos);
  EXPECT_NE(after.find("Log=\"" + log + "\"\r\n"), std::string::npos);
  EXPECT_NE(after.find("[Pilot_3]\r\n"), std::string::npos);
}

// A save killed at any moment leaves the old file or the new one, never a mix: the console's
// "Z SAVE" writes a large log again and again while the program is killed with SIGKILL.
TEST_F(SettingsIoTest, AKilledSaveLeavesAWholeFile) {
  std::string log;
  for (int i = 0; i < 200; ++i)
    log += "1___STN" + std::to_string(i) + " " + std::string(2000, 'x') + " \\\\r\\\\n\\r\\n";
  const std::string before = "[Inet]\r\nLog=\"" + log + "\"\r\n";

  for (int round = 0; round < 5; ++round) {
    testing::RealProgram program(ZELTARO_EXE);
    ASSERT_TRUE(program.ok());
    const std::string ini = program.file("zeltaro.ini").toStdString();
    writeBytes(ini, before);
    ASSERT_TRUE(program.start({"/telnet=23"}));
    QProcess& p = program.process();
    const quint16 port = program.consolePort();
    ASSERT_NE(port, 0) << "round " << round;
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    client.waitForConnected(5000);
    ASSERT_EQ(client.state(), QAbstractSocket::ConnectedState) << "round " << round;
    client.waitForReadyRead(5000);
    client.readAll();  // the greeting

    // Saves back to back; the kill lands a little later each round, inside one of them.
    const int saves = 3 + round;
    for (int i = 0; i < saves; ++i) {
      client.write("Z SAVE\r\n");
      client.flush();
      if (i + 1 < saves) client.waitForReadyRead(5000);
    }
    QThread::msleep(static_cast<unsigned long>(round * 3));
    p.kill();
    ASSERT_TRUE(p.waitForFinished(10000));

    const std::string after = readBytes(ini);
    if (after == before) continue;
    EXPECT_NE(after.find("Log=\"" + log + "\"\r\n"), std::string::npos) << "round " << round;
    const std::string tail =
        "[Pilot_3]\r\nStayTopOn=0\r\nAutoSet=0\r\nSel1=1\r\nSel2=1\r\nSel3=1\r\n\r\n"
        "[Bridge]\r\nWinePrefix=\"\"\r\nHamlogDll1=0\r\nHamlogDll2=0\r\nHamlogDll3=0\r\n\r\n"
        "[Adif]\r\nFile1=\"\"\r\nFile2=\"\"\r\nFile3=\"\"\r\nCodeField1=CNTY\r\n"
        "CodeField2=CNTY\r\nCodeField3=CNTY\r\n";
    ASSERT_GE(after.size(), tail.size());
    EXPECT_EQ(after.substr(after.size() - tail.size()), tail) << "round " << round;
  }
}
#endif

}  // namespace
}  // namespace zeltaro::app
