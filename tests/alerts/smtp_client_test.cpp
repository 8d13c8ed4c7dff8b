// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/smtp_client.h"

#include <gtest/gtest.h>

#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTimer>
#include <cstdlib>
#include <ctime>

#include "alerts/iso2022jp.h"
#include "alerts/mail_send.h"
#include "platform/qt_line_connection.h"
#include "platform/qt_message_pump.h"
#include "support/closed_port.h"
#include "support/fixed_clock.h"
#include "support/peer_process.h"
#include "support/recorders.h"
#include "text/base64.h"
#include "text/codec.h"

namespace zeltaro::alerts {
namespace {

using namespace std::chrono_literals;
using text::sj;
using Lines = std::vector<std::string>;

// What the server printed: the mails it took and every byte each client sent.
struct Received {
  std::vector<QJsonObject> mails;
  std::vector<std::string> sessions;
};

std::string fromBase64(const QJsonValue& v) {
  return text::base64Decode(v.toString().toStdString());
}

class SmtpServer {
 public:
  explicit SmtpServer(const QStringList& args = {})
      : peer_(testing::systemPython(),
              QStringList{testing::testScript("alerts/smtp_server.py")} + args) {}
  bool ok() const { return peer_.ok(); }
  QString error() const { return peer_.error(); }
  quint16 port() const { return peer_.port(); }

  // Waits until the client has gone (the server reports its session), or count clients.
  Received afterSession(std::size_t count = 1) {
    Received r;
    for (int i = 0; i < 100 && r.sessions.size() < count; ++i) {
      r = {};
      for (const QByteArray& line : peer_.readOutput(100).split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.contains("mail")) r.mails.push_back(o["mail"].toObject());
        if (o.contains("session")) r.sessions.push_back(fromBase64(o["session"]));
      }
    }
    return r;
  }

 private:
  testing::PeerProcess peer_;
};

class SmtpExchange : public ::testing::Test {
 protected:
  void SetUp() override {
    // The Date header follows the machine's zone; pin it so the bytes are known.
    setenv("TZ", "JST-9", 1);
    tzset();
    settings.edtTo = "ja1abc@example.jp,jr2xyz@example.net";
    settings.edtFrom = "station@example.jp";
    settings.edtFromName = sj("山田 太郎");
    settings.edtSmtp = "127.0.0.1";
  }

  SmtpResult send(SmtpServer& server, platform::LineConnection& conn, std::string_view mailText,
                  int count, std::string_view suffix = "") {
    settings.edtPort = std::to_string(server.port());
    return sendMail(settings, mailText, count, suffix, conn, clock, form3);
  }

  void useLogin(std::string id, std::string password) {
    settings.chkAuth = true;
    settings.edtSmtpID = std::move(id);
    settings.edtSmtpPASS = std::move(password);
  }

  static std::string ehlo() { return "EHLO " + QHostInfo::localHostName().toStdString() + "\r\n"; }

  MailSettings settings;
  platform::FixedClock clock{{2024, 3, 1, 21, 4, 5}};
  MailStatusModel form3;
  platform::QtLineConnection conn{5s, 5s};
};

const char kHeaders[] =
    "From: =?iso-2022-jp?B?GyRCOzNFRBsoQiAbJEJCQE86GyhC?= <station@example.jp>\r\n"
    "Subject: ZELTARO V2 (3)  1'st(A)\r\n"
    "To: ja1abc@example.jp, jr2xyz@example.net\r\n"
    "Date: Fri, 01 Mar 2024 21:04:05 +0900\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: text/plain; charset=iso-2022-jp\r\n"
    "Content-Transfer-Encoding:7bit\r\n"
    "X-Mailer: Zeltaro\r\n"
    "\r\n";

TEST_F(SmtpExchange, DeliversThreeLinesWithKanjiByteForByte) {
  SmtpServer server;
  ASSERT_TRUE(server.ok()) << server.error().toStdString();
  const std::string mailText = toIso2022Jp(sj("1_3_STN1 7,010 CW\\r\\n東京都 目黒区\\r\\n\\r\\n")) +
                               toIso2022Jp(sj("_2__STN2 14,025 ｶﾞｲﾄﾞ\\r\\n.点から始まる行\\r\\n")) +
                               toIso2022Jp(sj("__3_STN3 本日 21,074 FT8\\r\\n"));

  const SmtpResult result = send(server, conn, mailText, 3, " 1'st(A)");
  EXPECT_TRUE(result.connected);
  EXPECT_TRUE(result.accepted) << result.error;

  const std::string body =
      "1_3_STN1 7,010 CW\r\n"
      "\x1b$BEl5~ET\x1b(B \x1b$BL\\9u6h\x1b(B\r\n"
      "\r\n"
      "_2__STN2 14,025 \x1b$B%+!+%$%H!+\x1b(B\r\n"
      ".\x1b$BE@$+$i;O$^$k9T\x1b(B\r\n"
      "__3_STN3 \x1b$BK\\F|\x1b(B 21,074 FT8\r\n";
  std::string stuffed = body;
  stuffed.replace(stuffed.find("\r\n.") + 2, 1, "..");

  const Received got = server.afterSession();
  ASSERT_EQ(got.sessions.size(), 1u);
  EXPECT_EQ(got.sessions[0], ehlo() +
                                 "RSET\r\n"
                                 "MAIL FROM:<station@example.jp>\r\n"
                                 "RCPT TO:<ja1abc@example.jp>\r\n"
                                 "RCPT TO:<jr2xyz@example.net>\r\n"
                                 "DATA\r\n" +
                                 kHeaders + stuffed +
                                 ".\r\n"
                                 "QUIT\r\n");
  ASSERT_EQ(got.mails.size(), 1u);
  const QJsonObject& mail = got.mails[0];
  EXPECT_EQ(mail["mail_from"].toString(), "station@example.jp");
  EXPECT_EQ(mail["rcpt_tos"].toArray(), (QJsonArray{"ja1abc@example.jp", "jr2xyz@example.net"}));
  EXPECT_EQ(fromBase64(mail["data"]), kHeaders + body);

  // What a mail reader makes of it, back in Shift-JIS.
  const QJsonObject decoded = mail["decoded"].toObject();
  EXPECT_EQ(decoded["charset"].toString(), "iso-2022-jp");
  EXPECT_EQ(fromBase64(decoded["subject"]), "ZELTARO V2 (3)  1'st(A)");
  EXPECT_EQ(fromBase64(decoded["from"]), sj("山田 太郎 <station@example.jp>"));
  EXPECT_EQ(fromBase64(decoded["body"]), sj("1_3_STN1 7,010 CW\r\n"
                                            "東京都 目黒区\r\n"
                                            "\r\n"
                                            "_2__STN2 14,025 カ゛イト゛\r\n"
                                            ".点から始まる行\r\n"
                                            "__3_STN3 本日 21,074 FT8\r\n"));
}

// Given a pump, the exchange lets timers (the window, the console) run while it waits for the
// server, and sends the same bytes with the same lines in the status window.
TEST_F(SmtpExchange, APumpedExchangeIsTheSameAndLetsTimersRunMeanwhile) {
  const std::string mailText = toIso2022Jp(sj("1_3_STN1 7,010 CW\\r\\n東京都\\r\\n"));
  platform::QtMessagePump pump(0, 1);
  platform::QtLineConnection pumped{5s, 5s};
  pumped.setPump(&pump);

  SmtpServer server;
  ASSERT_TRUE(server.ok()) << server.error().toStdString();
  EXPECT_TRUE(send(server, conn, mailText, 2).accepted);
  const Lines blocking = form3.Memo1;
  EXPECT_TRUE(send(server, pumped, mailText, 2).accepted);
  EXPECT_EQ(form3.Memo1, blocking);
  const Received got = server.afterSession(2);
  ASSERT_EQ(got.sessions.size(), 2u);
  EXPECT_EQ(got.sessions[1], got.sessions[0]);
  ASSERT_EQ(got.mails.size(), 2u);
  EXPECT_EQ(got.mails[1]["data"], got.mails[0]["data"]);

  // A server that takes 0.2 s over every reply: the timer keeps firing through the exchange.
  testing::PeerProcess slow(
      testing::systemPython(),
      QStringList{testing::testScript("support/hostile_peer.py"), "smtp-slow", "0.2"});
  ASSERT_TRUE(slow.ok()) << slow.error().toStdString();
  int ticks = 0;
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start();
  settings.edtPort = std::to_string(slow.port());
  EXPECT_TRUE(sendMail(settings, mailText, 2, "", pumped, clock, form3).accepted);
  EXPECT_GT(ticks, 20);
  EXPECT_EQ(form3.Memo1.back(), "Stat: Disconnected.");
}

// A server given by name: the name is looked up without holding the window, and the exchange is
// the one a numeric address gets; a name that does not resolve fails with the same words, with
// or without a pump.
TEST_F(SmtpExchange, AServerGivenByNameIsLookedUpAndAnUnknownNameIsNotFound) {
  const std::string mailText = toIso2022Jp(sj("1_3_STN1 7,010 CW\\r\\n"));
  platform::QtMessagePump pump(0, 1);
  platform::QtLineConnection pumped{5s, 5s};
  pumped.setPump(&pump);
  SmtpServer server;
  ASSERT_TRUE(server.ok()) << server.error().toStdString();
  ASSERT_TRUE(send(server, conn, mailText, 1).accepted);
  const Lines byAddress = form3.Memo1;
  for (platform::QtLineConnection* c : {&conn, &pumped}) {
    settings.edtSmtp = "localhost";
    const SmtpResult r = send(server, *c, mailText, 1);
    EXPECT_TRUE(r.accepted) << r.error;
    Lines byName = byAddress;
    byName[1] = "--  Resolving hostname localhost.  --";
    EXPECT_EQ(form3.Memo1, byName);

    settings.edtSmtp = "no-such-host.invalid";
    const SmtpResult unknown = send(server, *c, mailText, 1);
    EXPECT_FALSE(unknown.connected);
    EXPECT_EQ(unknown.error, "Host not found: no-such-host.invalid.");
    EXPECT_EQ(form3.Memo1[1], "--  Resolving hostname no-such-host.invalid.  --");
    EXPECT_FALSE(c->isOpen());
  }
  const Received got = server.afterSession(3);
  ASSERT_EQ(got.sessions.size(), 3u);
  EXPECT_EQ(got.sessions[1], got.sessions[0]);
  EXPECT_EQ(got.sessions[2], got.sessions[0]);
}

TEST_F(SmtpExchange, KanjiSubjectArrivesAsOneEncodedWord) {
  SmtpServer server;
  ASSERT_TRUE(server.ok()) << server.error().toStdString();
  settings.edtSubj = sj("ｽﾎﾟｯﾄ通知");
  settings.edtFromName = "";
  EXPECT_TRUE(send(server, conn, "", 2).accepted);
  const Received got = server.afterSession();
  ASSERT_EQ(got.mails.size(), 1u);
  const std::string data = fromBase64(got.mails[0]["data"]);
  EXPECT_NE(data.find("\r\nSubject: =?iso-2022-jp?B?GyRCJTklWyEsJUMlSERMQ04bKEIgKDIp?=\r\n"),
            std::string::npos)
      << data;
  EXPECT_NE(data.find("From: station@example.jp\r\n"), std::string::npos) << data;
  const QJsonObject decoded = got.mails[0]["decoded"].toObject();
  EXPECT_EQ(fromBase64(decoded["subject"]), sj("スホ゜ット通知 (2)"));
  EXPECT_EQ(fromBase64(decoded["body"]), "");
}

TEST_F(SmtpExchange, AuthLoginWhenAnnounced) {
  SmtpServer server({"--auth", "ja1abc:s3cret"});
  ASSERT_TRUE(server.ok()) << server.error().toStdString();
  useLogin(" ja1abc ", "s3cret");
  const SmtpResult result = send(server, conn, "", 1);
  EXPECT_TRUE(result.accepted) << result.error;
  const Received got = server.afterSession();
  ASSERT_EQ(got.sessions.size(), 1u);
  const std::string& sent = got.sessions[0];
  EXPECT_EQ(sent.substr(0, sent.find("MAIL FROM")), ehlo() +
                                                        "RSET\r\n"
                                                        "AUTH LOGIN\r\n"
                                                        "amExYWJj\r\n"
                                                        "czNjcmV0\r\n");
  ASSERT_EQ(got.mails.size(), 1u);
  EXPECT_TRUE(got.mails[0]["authenticated"].toBool());
}

TEST_F(SmtpExchange, FailedLoginEndsTheExchangeButStillSaysQuit) {
  SmtpServer server({"--auth", "ja1abc:s3cret"});
  ASSERT_TRUE(server.ok()) << server.error().toStdString();
  useLogin("ja1abc", "wrong");
  const SmtpResult result = send(server, conn, "", 1);
  EXPECT_TRUE(result.connected);
  EXPECT_FALSE(result.accepted);
  EXPECT_EQ(result.error, "535 5.7.8 Authentication credentials invalid");
  const Received got = server.afterSession();
  ASSERT_EQ(got.sessions.size(), 1u);
  EXPECT_EQ(got.sessions[0], ehlo() + "RSET\r\nAUTH LOGIN\r\namExYWJj\r\nd3Jvbmc=\r\nQUIT\r\n");
  EXPECT_TRUE(got.mails.empty());
}

TEST_F(SmtpExchange, OnlyOtherMechanismsAnnouncedSendsWithoutAuth) {
  SmtpServer server({"--cram-only"});
  ASSERT_TRUE(server.ok()) << server.error().toStdString();
  useLogin("ja1abc", "s3cret");
  EXPECT_TRUE(send(server, conn, "", 1).accepted);
  const Received got = server.afterSession();
  ASSERT_EQ(got.sessions.size(), 1u);
  EXPECT_EQ(got.sessions[0].substr(0, got.sessions[0].find("RCPT")),
            ehlo() + "RSET\r\nMAIL FROM:<station@example.jp>\r\n");
  ASSERT_EQ(got.mails.size(), 1u);
  EXPECT_FALSE(got.mails[0]["authenticated"].toBool());
  EXPECT_NE(std::find(form3.Memo1.begin(), form3.Memo1.end(), "Recv: 250-AUTH CRAM-MD5"),
            form3.Memo1.end());
}

TEST_F(SmtpExchange, RefusedRecipientIsIgnoredAndTheLogStaysReadable) {
  SmtpServer server({"--refuse-rcpt", "ja1abc@example.jp"});
  ASSERT_TRUE(server.ok()) << server.error().toStdString();
  settings.edtTo = "ja1abc@example.jp";
  const SmtpResult result = send(server, conn, "", 1);
  EXPECT_TRUE(result.connected);
  EXPECT_FALSE(result.accepted);
  EXPECT_EQ(result.error, "550 5.1.1 No such user");

  const Received got = server.afterSession();
  ASSERT_EQ(got.sessions.size(), 1u);
  EXPECT_EQ(got.sessions[0], ehlo() +
                                 "RSET\r\n"
                                 "MAIL FROM:<station@example.jp>\r\n"
                                 "RCPT TO:<ja1abc@example.jp>\r\n"
                                 "QUIT\r\n");
  EXPECT_TRUE(got.mails.empty());

  // The whole pane; the server's own greeting and EHLO lines are taken as they came.
  const std::string port = std::to_string(server.port());
  ASSERT_GE(form3.Memo1.size(), 6u);
  EXPECT_EQ(form3.Memo1[5].substr(0, 26), "Recv: 220 test.invalid Pyt");
  Lines expected = {
      "--  Send Mail status  2024/03/01 21:04:05  --",
      "--  Resolving hostname 127.0.0.1.  --",
      "--  Connecting to 127.0.0.1:" + port + ".  --",
      "--  Connected.  --",
      "Stat: Connected.",
      form3.Memo1[5],
      "Sent: " + ehlo().substr(0, ehlo().size() - 2),
  };
  std::size_t i = expected.size();
  while (i < form3.Memo1.size() && form3.Memo1[i].rfind("Recv: 250-", 0) == 0) {
    expected.push_back(form3.Memo1[i++]);
  }
  for (const char* line :
       {"Recv: 250 HELP", "Sent: RSET", "Recv: 250 OK", "Sent: MAIL FROM:<station@example.jp>",
        "Recv: 250 OK", "Sent: RCPT TO:<ja1abc@example.jp>", "Recv: 550 5.1.1 No such user",
        "Sent: QUIT", "--  Disconnecting.  --", "--  Disconnected.  --", "Stat: Disconnected."}) {
    expected.push_back(line);
  }
  EXPECT_EQ(form3.Memo1, expected);
}

TEST_F(SmtpExchange, ConnectionFailuresGoBackToTheCaller) {
  const zeltaro::testing::ClosedPort closed;
  ASSERT_NE(closed.port(), 0);
  platform::RecordingMessageBox box;
  for (const std::string& port :
       {std::string("0"), std::string("abc"), std::to_string(closed.port())}) {
    settings.edtPort = port;
    const SmtpResult result = sendMail(settings, "", 1, "", conn, clock, form3);
    EXPECT_FALSE(result.connected) << port;
    EXPECT_FALSE(result.error.empty()) << port;
    EXPECT_EQ(form3.Memo1.front(), "--  Send Mail status  2024/03/01 21:04:05  --");
    EXPECT_FALSE(conn.isOpen());
    box.shown.clear();
    reportMailConnectionFailure(box, result);
    ASSERT_EQ(box.shown.size(), 1u) << port;
    EXPECT_EQ(box.shown[0].kind, platform::MessageBox::Kind::Error);
    EXPECT_EQ(box.shown[0].caption, "Zeltaro");
    EXPECT_EQ(box.shown[0].text, result.error);
  }
  box.shown.clear();
  SmtpResult reached;
  reached.connected = true;
  reportMailConnectionFailure(box, reached);
  EXPECT_TRUE(box.shown.empty());
}

TEST_F(SmtpExchange, SilentServerEndsWithinTheReplyTimeout) {
  SmtpServer server({"--silent"});
  ASSERT_TRUE(server.ok()) << server.error().toStdString();
  platform::QtLineConnection quick{5s, 300ms};
  const SmtpResult result = send(server, quick, "", 1);
  EXPECT_FALSE(result.connected);
  EXPECT_EQ(result.error, "No reply to the greeting.");
  EXPECT_FALSE(quick.isOpen());
  EXPECT_EQ(form3.Memo1.back(), "Stat: Disconnected.");
}

}  // namespace
}  // namespace zeltaro::alerts
