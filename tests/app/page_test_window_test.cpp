// SPDX-License-Identifier: GPL-3.0-or-later
// The page tester window over the real model and main window: it follows the main window's
// template as it is edited, after its delay, and alerts nothing; the event log's lines show in
// it as they come.
#include "gui/page_test_window.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "alerts/sound_alert.h"
#include "app/main_model.h"
#include "gui/main_window.h"
#include "platform/event_log.h"
#include "platform/qt_http_client.h"
#include "platform/qt_line_connection.h"
#include "platform/qt_message_pump.h"
#include "support/event_lines.h"
#include "support/fake_http_client.h"
#include "support/main_services.h"
#include "support/peer_process.h"
#include "support/recorders.h"
#include "support/unreachable_mail_server.h"
#include "support/wait.h"

namespace zeltaro::app::ui {
namespace {

using testing::waitUntil;

const std::string kPage =
    "<ul><li class=s><b>JA1ABC</b><i>7012</i></li>\r\n<li class=s><b>JH3XYZ</b><i>14025</i>"
    "</li></ul>\r\n";

// The table as text, row by row, cells joined by "|".
std::vector<std::string> rows(const QTableWidget& t) {
  std::vector<std::string> out;
  QStringList header;
  for (int c = 0; c < t.columnCount(); ++c) header << t.horizontalHeaderItem(c)->text();
  out.push_back(header.join('|').toStdString());
  for (int r = 0; r < t.rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < t.columnCount(); ++c) cells << (t.item(r, c) ? t.item(r, c)->text() : "");
    out.push_back(cells.join('|').toStdString());
  }
  return out;
}

class PageTestWindowTest : public ::testing::Test, public testing::FakeMainServices {
 protected:
  PageTestWindowTest() : model(services()) {
    model.pageChecks.edtSepStart = "<li class=s>";
    model.pageChecks.edtSepEnd = "</li>";
    model.pageChecks.Memo_pcre = {"<b>$#04</b>"};
    model.pageChecks.Edit1 = "$#04! $#05!";
    model.watchLists.Memo_List = {"JA1\r\n", "14025\r\n", "\r\n"};
    model.alerts.mail.chkMail = true;
    model.alerts.chkAlert = true;
  }
  MainServices services() {
    MainServices s = FakeMainServices::services();
    s.smtp = &mail;
    return s;
  }

  testing::UnreachableMailServer mail;
  MainModel model;
};

// Each keystroke in the main window's template shows in the table 300 ms after the last one;
// the records that would flag a list light nothing, log nothing and mail nothing.
TEST_F(PageTestWindowTest, EditingTheTemplateRetestsAfterTheDelayWithoutAlerting) {
  MainWindow form(model, {"zeltaro"});
  PageTestWindow tester(model, http, nullptr);
  QObject::connect(&form, &MainWindow::pageSettingsEdited, &tester,
                   [&tester] { tester.settingsEdited(); });
  const std::vector<std::string> logBefore = model.logViews.Memo_Log.lines;
  const auto lampsBefore = model.alerts.lamps.masterLamp.fontColor;

  tester.usePastedText(QString::fromStdString(kPage));
  const std::vector<std::string> before = rows(*tester.table());
  EXPECT_EQ(before, (std::vector<std::string>{
                        "No.|$#04|通知行|リスト|初回QSO 1|初回QSO 2|初回QSO 3",
                        "1|JA1ABC|JA1ABC |1|||",
                        "2|JH3XYZ|JH3XYZ ||||",
                    }));

  auto* pcre = qobject_cast<QPlainTextEdit*>(form.control("Memo_pcre"));
  ASSERT_NE(pcre, nullptr);
  QElapsedTimer sinceEdit;
  pcre->setPlainText("<b>$#04</b>\n<i>$#0");  // a keystroke in the middle of a tag
  testing::pumpFor(100);
  sinceEdit.start();
  pcre->setPlainText("<b>$#04</b>\n<i>$#05</i>");  // the tag finished
  EXPECT_EQ(rows(*tester.table()), before);
  ASSERT_TRUE(waitUntil([&] { return rows(*tester.table()) != before; }, 5000));
  EXPECT_GE(sinceEdit.elapsed(), PageTestWindow::kRerunDelayMs * 9 / 10);
  EXPECT_EQ(rows(*tester.table()), (std::vector<std::string>{
                                       "No.|$#04|$#05|通知行|リスト|初回QSO 1|初回QSO 2|初回QSO 3",
                                       "1|JA1ABC|7012|JA1ABC 7012|1|||",
                                       "2|JH3XYZ|14025|JH3XYZ 14025|2|||",
                                   }));

  // Nothing a check would do happened: no log line, no lamp, no sound, no mail, no box.
  EXPECT_EQ(model.logViews.Memo_Log.lines, logBefore);
  EXPECT_EQ(model.alerts.lamps.masterLamp.fontColor, lampsBefore);
  EXPECT_EQ(model.alerts.lamps.list1Lamp.fontColor, lampsBefore);
  EXPECT_EQ(model.alerts.lamps.list2Lamp.fontColor, lampsBefore);
  EXPECT_TRUE(player.played.empty());
  EXPECT_TRUE(mail.opened.empty());
  EXPECT_TRUE(box.shown.empty());
  EXPECT_TRUE(http.asked().empty());
}

// The guess from one call is shown with the table it cuts; the main window keeps its own values
// until "採用" copies the proposal into its fields.
TEST_F(PageTestWindowTest, AGuessIsShownWithItsTableAndAdoptedIntoTheMainWindow) {
  MainWindow form(model, {"zeltaro"});
  PageTestWindow tester(model, http, nullptr, [&form] { form.syncFromModel(); });
  tester.usePastedText(QString::fromUtf8(
      "<table>\n<tr><td class=\"dx\">JA1ABC</td><td class=\"freq\">7012.5</td></tr>\n"
      "<tr><td class=\"dx\">JH3XYZ</td><td class=\"freq\">14025.0</td></tr>\n</table>\n"));
  EXPECT_EQ(tester.result().recordCount, 0u);

  ASSERT_TRUE(tester.guess("JH3XYZ", "14025.0"));
  EXPECT_EQ(rows(*tester.table()), (std::vector<std::string>{
                                       "No.|$#04|$#05|通知行|リスト|初回QSO 1|初回QSO 2|初回QSO 3",
                                       "1|JA1ABC|7012.5|JA1ABC 7012.5|1|||",
                                       "2|JH3XYZ|14025.0|JH3XYZ 14025.0|2|||",
                                   }));
  auto* sepStart = qobject_cast<QLineEdit*>(form.control("edtSepStart"));
  ASSERT_NE(sepStart, nullptr);
  EXPECT_EQ(sepStart->text(), "<li class=s>");
  EXPECT_EQ(model.pageChecks.Memo_pcre, (std::vector<std::string>{"<b>$#04</b>"}));

  auto* adopt = tester.findChild<QPushButton*>("btnAdopt");
  ASSERT_NE(adopt, nullptr);
  ASSERT_TRUE(adopt->isEnabled());
  adopt->click();
  EXPECT_EQ(sepStart->text(), "<tr>");
  EXPECT_EQ(model.pageChecks.edtSepStart, "<tr>");
  EXPECT_EQ(model.pageChecks.edtSepEnd, "</tr>");
  ASSERT_EQ(model.pageChecks.Memo_pcre.size(), 2u);
  EXPECT_NE(model.pageChecks.Memo_pcre[0].find("$#04"), std::string::npos);
  EXPECT_NE(model.pageChecks.Memo_pcre[1].find("$#05"), std::string::npos);
  auto* pcre = qobject_cast<QPlainTextEdit*>(form.control("Memo_pcre"));
  EXPECT_EQ(pcre->toPlainText().split('\n').size(), 2);
  EXPECT_FALSE(adopt->isEnabled());
  EXPECT_EQ(tester.result().recordCount, 2u);
  EXPECT_TRUE(mail.opened.empty());
}

// A failed fetch of a page check and a mail the server refuses: one line each, on standard
// error and in the tester's event log, as they happen.
TEST(PageTestWindowEvents, AFailedFetchAndARefusedMailLeaveOneLineEach) {
  testing::PeerProcess smtp(testing::systemPython(), {testing::testScript("alerts/smtp_server.py"),
                                                      "--refuse-rcpt", "op@example.org"});
  ASSERT_TRUE(smtp.ok()) << smtp.error().toStdString();
  QTemporaryDir pages;
  testing::PeerProcess web(testing::systemPython(),
                           {testing::testScript("app/page_server.py"), pages.path()});
  ASSERT_TRUE(web.ok()) << web.error().toStdString();

  platform::QtHttpClient http;
  platform::QtMessagePump pump;
  platform::QtLineConnection connection;
  platform::RecordingMessageBox box;
  MainServices s;
  s.http = &http;
  s.pump = &pump;
  s.smtp = &connection;
  s.messageBox = &box;
  MainModel model(s);
  const std::string missing = "http://127.0.0.1:" + std::to_string(web.port()) + "/missing.html";
  model.pageChecks.edtURL[0] = missing;
  model.alerts.mail.edtSmtp = "127.0.0.1";
  model.alerts.mail.edtPort = std::to_string(smtp.port());
  model.alerts.mail.edtFrom = "station@example.org";
  model.alerts.mail.edtTo = "op@example.org";

  PageTestWindow tester(model, http, nullptr);
  auto* events = tester.findChild<QPlainTextEdit*>("memoEvents");
  ASSERT_NE(events, nullptr);
  const QString shownBefore = events->toPlainText();
  const std::size_t keptBefore = platform::eventLog().lines().size();

  ::testing::internal::CaptureStderr();
  model.UrlCheck(1);
  model.sendMailNow();
  const std::string err = ::testing::internal::GetCapturedStderr();

  const std::vector<std::string> expected = {
      "<stamp> page fetch failed: " + missing + ": HTTP 404",
      "<stamp> mail not sent: 550 5.1.1 No such user",
  };
  std::string expectedErr;
  for (const std::string& l : expected) expectedErr += "zeltaro: " + l + "\n";
  EXPECT_EQ(testing::withStampsMarked(err), expectedErr);
  ASSERT_TRUE(waitUntil([&] { return events->toPlainText() != shownBefore; }, 5000));
  testing::pumpFor(50);
  QStringList added = events->toPlainText().mid(shownBefore.size()).split('\n', Qt::SkipEmptyParts);
  std::vector<std::string> shown;
  for (const QString& l : added) shown.push_back(testing::withStampsMarked(l.toStdString()));
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(platform::eventLog().lines().size(),
            std::min(keptBefore + 2, platform::EventLog::kKept));
  EXPECT_TRUE(box.shown.empty());
}

}  // namespace
}  // namespace zeltaro::app::ui
