// SPDX-License-Identifier: GPL-3.0-or-later
// Whole page checks and patrol cycles against real peers: a page server and an SMTP server on
// loopback, the real HTTP client and the real mail connection.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "alerts/sound_alert.h"
#include "app/hamlog_checker.h"
#include "app/main_model.h"
#include "app/spot_page.h"
#include "bridge_client/list_reader_database.h"
#include "hamlog/hdb_writer.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/qt_http_client.h"
#include "platform/qt_line_connection.h"
#include "platform/qt_message_pump.h"
#include "platform/sound.h"
#include "support/peer_process.h"
#include "support/recorders.h"
#include "text/sjis.h"

namespace zeltaro::app {
namespace {

using testing::Spot;
using testing::spotDisplay;
using testing::spotPage;
using zeltaro::testing::PeerProcess;
using zeltaro::testing::systemPython;
using zeltaro::testing::testScript;
using Lines = std::vector<std::string>;

// One mail as the SMTP server decoded it with Python's email package.
struct ReceivedMail {
  std::string subject, body;
  QJsonArray recipients;
};

// Waits (at most waitMs) until the server has taken the expected number of mails.
std::vector<ReceivedMail> mailsFrom(PeerProcess& smtp, std::size_t expected, int waitMs = 10000) {
  std::vector<ReceivedMail> mails;
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < waitMs) {
    mails.clear();
    for (const QByteArray& line : smtp.readOutput(100).split('\n')) {
      const QJsonObject o = QJsonDocument::fromJson(line).object();
      if (!o.contains("mail")) continue;
      const QJsonObject d = o["mail"].toObject()["decoded"].toObject();
      mails.push_back({QByteArray::fromBase64(d["subject"].toString().toLatin1()).toStdString(),
                       QByteArray::fromBase64(d["body"].toString().toLatin1()).toStdString(),
                       o["mail"].toObject()["rcpt_tos"].toArray()});
    }
    if (mails.size() >= expected) break;
  }
  return mails;
}

// The mail body a set of log lines makes: the Body's line-break markers become line breaks.
std::string bodyOf(const Lines& lines) {
  std::string body;
  for (const auto& l : lines) body += text::replaceAll(l, "\\r\\n", "\r\n");
  return body;
}

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pages.isValid());
    web = std::make_unique<PeerProcess>(
        systemPython(), QStringList{testScript("app/page_server.py"), pages.path()});
    ASSERT_TRUE(web->ok()) << web->error().toStdString();
    smtp = std::make_unique<PeerProcess>(systemPython(),
                                         QStringList{testScript("alerts/smtp_server.py")});
    ASSERT_TRUE(smtp->ok()) << smtp->error().toStdString();

    MainServices s;
    s.pump = &pump;
    s.http = &http;
    s.sound = &sound;
    s.smtp = &mailConnection;
    s.messageBox = &box;
    model = std::make_unique<MainModel>(s);
    model->pageChecks.edtURL[0] = address("40CW.html");
    model->pageChecks.edtURL[1] = address("80CW.html");
    model->pageChecks.edtURL[2] = address("missing.html");
    model->watchLists.Memo_List[0] = "STN1\r\n";
    model->watchLists.Memo_List[1] = "\r\n";
    model->watchLists.Memo_List[2] = "JA3 SSB\r\n";
    model->alerts.mail.chkMail = true;
    model->alerts.mail.edtSmtp = "127.0.0.1";
    model->alerts.mail.edtPort = std::to_string(smtp->port());
    model->alerts.mail.edtFrom = "station@example.org";
    model->alerts.mail.edtTo = "op@example.org,phone@example.org";
  }

  std::string address(const char* file) {
    return "http://127.0.0.1:" + std::to_string(web->port()) + "/" + file;
  }
  void writePage(const char* file, const std::string& bytes) {
    QFile f(QDir(pages.path()).filePath(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }

  QTemporaryDir pages;
  std::unique_ptr<PeerProcess> web, smtp;
  platform::QtMessagePump pump;
  platform::QtHttpClient http;
  platform::QtLineConnection mailConnection;
  platform::RecordingSoundPlayer player;
  platform::ScriptedFileDialog dialog;
  alerts::SoundAlert sound{player, dialog, "/opt/zeltaro"};
  platform::RecordingMessageBox box;
  std::unique_ptr<MainModel> model;
};

// A kanji location, so the mail carries ISO-2022-JP.
const Spot a{"STN1", "7,010", "CW", "100110", "\x93\x8c\x8b\x9e"};  // 東京
const Spot b{"JA3AAA", "14,020", "SSB"};
const Spot c{"JA9ZZZ", "21,030"};

TEST_F(PipelineTest, SingleCheckLogsLightsRingsAndMails) {
  writePage("40CW.html", spotPage({a, c, b}));
  EXPECT_EQ(model->checkPage1(), 2);

  const Lines expected = {"1___" + spotDisplay(1, a), "__3_" + spotDisplay(3, b)};
  EXPECT_EQ(model->logViews.Memo_Log.lines, expected);
  EXPECT_EQ(model->alerts.lamps.list1Lamp.fontColor, alerts::kLampRed);
  EXPECT_EQ(model->alerts.lamps.list2Lamp.fontColor, alerts::kLampGreen);
  EXPECT_EQ(model->alerts.lamps.list3Lamp.fontColor, alerts::kLampRed);
  EXPECT_EQ(model->alerts.lamps.masterLamp.fontColor, alerts::kLampRed);
  EXPECT_EQ(player.played, Lines{"chimes.wav"});

  const auto mails = mailsFrom(*smtp, 1);
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].subject, "ZELTARO V2 (2)");
  EXPECT_EQ(mails[0].body, bodyOf(expected));
  EXPECT_EQ(mails[0].recipients, (QJsonArray{"op@example.org", "phone@example.org"}));
  EXPECT_TRUE(box.shown.empty());
}

TEST_F(PipelineTest, PatrolCycleOverTwoPagesSendsOneMail) {
  writePage("40CW.html", spotPage({a}));
  writePage("80CW.html", spotPage({c, b}));
  model->pageChecks.chkURL[0] = model->pageChecks.chkURL[1] = true;
  model->pageChecks.chkURL[2] = true;  // its page is missing: a 404 page without records
  model->patrolEvery2MinFromNextTick();
  model->tick();

  const Lines expected = {"__3_" + spotDisplay(2, b), "1___" + spotDisplay(1, a)};
  EXPECT_EQ(model->logViews.Memo_Log.lines, expected);
  EXPECT_EQ(player.played.size(), 1u);
  const auto mails = mailsFrom(*smtp, 1);
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].subject, "ZELTARO V2 (2)");
  EXPECT_EQ(mails[0].body, bodyOf(expected));

  // The next cycle finds nothing new: no sound, no second mail.
  model->patrolEvery2MinFromNextTick();
  model->tick();
  EXPECT_EQ(player.played.size(), 1u);
  EXPECT_EQ(mailsFrom(*smtp, 2, 1000).size(), 1u);
}

TEST_F(PipelineTest, UnreachablePageAndMailServerDuringAPatrol) {
  model->pageChecks.chkURL[2] = false;
  model->pageChecks.chkURL[0] = true;
  writePage("40CW.html", spotPage({a}));
  model->alerts.mail.edtPort = "1";  // nothing listens there
  model->patrolEvery2MinFromNextTick();
  model->tick();
  EXPECT_EQ(model->logViews.Memo_Log.lines, Lines{"1___" + spotDisplay(1, a)});
  ASSERT_EQ(box.shown.size(), 1u);  // the patrol reports the unreachable mail server

  // A page server that is gone: the check ends quietly.
  web.reset();
  EXPECT_EQ(model->checkPage1(), 0);
  EXPECT_TRUE(model->pageChecks.btnChkUrlEnabled[0]);
  EXPECT_EQ(model->logViews.Memo_Log.lines.size(), 1u);
}

// The first-QSO checks of list 1 read a HAMLOG log, as the program wires them.
class FirstQsoPipelineTest : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    firstQso = std::make_unique<HamlogChecker>(model->station.first, model->station.shared, &box);
    model->attachFirstQso(firstQso.get());
    ASSERT_TRUE(hamlogFolder.isValid());
    settings::FirstQsoConditionSet& set = model->station.set(1);
    set.Use = set.Band = set.Mode = set.Subj = true;
    set.HAMLOG = hamlogFolder.path().toStdString() + "/";
    model->watchLists.Memo_List[0] = "NOTHING\r\n";  // no word of list 1 matches
  }
  void writeLog(const std::vector<testing::HdbQso>& qsos) {
    QFile f(QDir(hamlogFolder.path()).filePath("Hamlog.hdb"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const std::string bytes = testing::hdbFile(qsos);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }

  QTemporaryDir hamlogFolder;
  std::unique_ptr<HamlogChecker> firstQso;
};

TEST_F(FirstQsoPipelineTest, StationsNotInTheLogAreFlaggedAndNamedInTheSubject) {
  writeLog({testing::plainQso("STN1", "7.010", "CW"), testing::plainQso("JA3AAA", "14.02", "SSB"),
            testing::plainQso("JA9ZZZ", "7.010", "CW")});
  writePage("40CW.html", spotPage({a, c, b}));
  EXPECT_EQ(model->checkPage1(), 2);

  // a is in the log on its band and mode; c only on another band; b is list 3's.
  const Lines expected = {"1___" + spotDisplay(2, c), "__3_" + spotDisplay(3, b)};
  EXPECT_EQ(model->logViews.Memo_Log.lines, expected);
  EXPECT_EQ(model->alerts.lamps.list1Lamp.fontColor, alerts::kLampRed);
  const auto mails = mailsFrom(*smtp, 1);
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].subject, "ZELTARO V2 (2)  1'st(A)");  // the suffix brings its own blank
  EXPECT_EQ(mails[0].body, bodyOf(expected));
  EXPECT_TRUE(box.shown.empty());
}

// Side by side as the program wires them: list 1 asks an ADIF log (as WSJT-X writes it), list 2
// HAMLOG's log; each flags the stations its own log lacks on the spot's band.
TEST_F(PipelineTest, AListOnAnAdifLogBesideAListOnHamlogsLog) {
  QTemporaryDir logs;
  ASSERT_TRUE(logs.isValid());
  const std::string folder = logs.path().toStdString() + "/";
  const std::string adifPath = folder + "wsjtx_log.adi";
  {
    QFile adi(QString::fromStdString(adifPath));
    ASSERT_TRUE(adi.open(QIODevice::WriteOnly));
    adi.write(
        "WSJT-X ADIF Export<eoh>\n"
        "<call:4>STN1 <mode:2>CW <freq:5>7.010 <band:3>40m <eor>\n"
        "<call:6>ja3aaa <mode:3>SSB <submode:3>USB <band:3>20m <eor>\n");
    QFile hdb(QString::fromStdString(folder + "Hamlog.hdb"));
    ASSERT_TRUE(hdb.open(QIODevice::WriteOnly));
    const std::string bytes = testing::hdbFile(
        {testing::plainQso("JA9ZZZ", "21.030", "CW"), testing::plainQso("JA3AAA", "14.02", "SSB")});
    hdb.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  for (int n : {1, 2}) {
    settings::FirstQsoConditionSet& set = model->station.set(n);
    set.Use = set.Band = true;
    set.HAMLOG = folder;
  }
  model->station.adif.File[0] = adifPath;
  model->watchLists.Memo_List[0] = "NOTHING\r\n";
  bridgeclient::BridgeProcess unused({});
  bridgeclient::ListReaderDatabase reader(model->station.first, model->station.bridge,
                                          model->station.adif,
                                          [&unused]() -> bridgeclient::BridgeProcess& {
                                            ADD_FAILURE() << "no list asks the library";
                                            return unused;
                                          });
  HamlogChecker checker(model->station.first, model->station.shared, &box, &reader);
  model->attachFirstQso(&checker);

  writePage("40CW.html", spotPage({a, c, b}));
  model->checkPage1();
  // a: in the ADIF log, not in HAMLOG's; c: in HAMLOG's on its band, not in the ADIF log; b: in
  // both, and list 3's.
  const Lines expected = {"_2__" + spotDisplay(1, a), "1___" + spotDisplay(2, c),
                          "__3_" + spotDisplay(3, b)};
  EXPECT_EQ(model->logViews.Memo_Log.lines, expected);
  model->attachFirstQso(nullptr);
}

}  // namespace
}  // namespace zeltaro::app
