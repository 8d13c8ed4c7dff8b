// SPDX-License-Identifier: GPL-3.0-or-later
// The real program against servers that hold it: the console stays usable during a check,
// SIGTERM ends it promptly during a check or a mail with the settings saved and the log capped,
// and a log line with a NUL from a page survives saving, loading and a restart.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/spot_page.h"
#include "console_fixture.h"
#include "program_fixture.h"
#include "settings/escaping.h"
#include "settings/profile_file.h"
#include "support/peer_process.h"
#include "text/codec.h"
#include "text/sjis.h"

namespace zeltaro::console {
namespace {

using testing::greetingFixture;
using testing::pumpFor;
using testing::TestClient;
using testing::waitUntil;
using zeltaro::testing::PeerProcess;

// 300 log lines "1___L001" ... as the settings file stores them.
std::string storedLog(int lines) {
  std::string v;
  for (int i = 1; i <= lines; ++i) {
    char line[16];
    std::snprintf(line, sizeof line, "1___L%03d", i);
    v += (i > 1 ? "\\r\\n" : "") + std::string(line);
  }
  return v;
}

class ProgramUnderLoad : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(real.ok()); }

  std::string iniPath() const { return real.file("zeltaro.ini").toStdString(); }

  void writeIni(const std::string& body) {
    QFile f(QString::fromStdString(iniPath()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(body));
  }

  std::string readIni() const {
    QFile f(QString::fromStdString(iniPath()));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
  }

  // The [Inet] Log value as saved, read back into its lines.
  std::vector<std::string> savedLogLines() const {
    const settings::ProfileFile f(iniPath());
    return text::splitLines(settings::unescapeLog(f.readMultiline("Inet", "Log", "")));
  }

  void start() {
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ASSERT_TRUE(real.start({"-platform", "offscreen", testing::kConsoleOn, "/pass=secret"}));
  }

  // A client past the password, once the program listens.
  std::unique_ptr<TestClient> login() {
    const quint16 port = real.consolePort();
    if (port == 0) return nullptr;
    auto client = std::make_unique<TestClient>(port);
    if (!client->waitConnected() || !client->waitReceived(6)) return nullptr;
    client->received.clear();
    const std::string welcome = "******\r\n" + greetingFixture() + "\r\n";
    client->send("secret\r\n");
    client->waitReceived(welcome.size());
    if (client->received != welcome) return nullptr;
    client->received.clear();
    return client;
  }

  // SIGTERM; the program must be gone with exit code 0 within withinMs.
  void terminateWithin(int withinMs) {
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    ASSERT_TRUE(program.waitForFinished(15000));
    EXPECT_LT(clock.elapsed(), withinMs);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
  }

  PeerProcess hostile(const QStringList& mode) {
    return PeerProcess(zeltaro::testing::systemPython(),
                       QStringList{zeltaro::testing::testScript("support/hostile_peer.py")} + mode);
  }

  zeltaro::testing::RealProgram real{ZELTARO_EXE};
  QProcess& program = real.process();
};

const std::string kStatus = "R\r\n" + text::sj("    チェックボタンなどの状態\r\n") +
                            "    X OFF\r\n"
                            "    U 1 ON   ,  U 2 OFF  ,  U 3 OFF\r\n"
                            "    V ON\r\n";

TEST_F(ProgramUnderLoad, ConsoleAnswersAndSigtermEndsItDuringACheck) {
  PeerProcess drip = hostile({"http-drip", "0.5"});
  ASSERT_TRUE(drip.ok()) << drip.error().toStdString();
  writeIni("[Inet]\r\nUrl1=http://127.0.0.1:" + std::to_string(drip.port()) +
           "/spots.html\r\nChkURL1=1\r\nChkURL2=0\r\nChkURL3=0\r\nLog=\"" + storedLog(300) +
           "\"\r\n");
  start();
  {
    std::unique_ptr<TestClient> first = login();
    ASSERT_TRUE(first);
    first->send("T U1\r\n");
    pumpFor(500);
    first->socket.abort();  // leaves while its check runs
  }
  std::unique_ptr<TestClient> second = login();
  ASSERT_TRUE(second);
  QElapsedTimer clock;
  clock.start();
  second->send("R\r\n");
  ASSERT_TRUE(second->waitReceived(kStatus.size(), 1000));
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_EQ(second->received.substr(0, kStatus.size()), kStatus);

  terminateWithin(3000);
  const std::vector<std::string> log = savedLogLines();
  ASSERT_EQ(log.size(), 200u);
  EXPECT_EQ(log.front(), "1___L001");
  EXPECT_EQ(log.back(), "1___L200");
  EXPECT_NE(readIni().find("\r\n[List1]\r\n"), std::string::npos);
}

TEST_F(ProgramUnderLoad, SigtermEndsItDuringAMail) {
  PeerProcess slow = hostile({"smtp-slow", "2"});
  ASSERT_TRUE(slow.ok()) << slow.error().toStdString();
  writeIni("[Inet]\r\nLog=\"" + storedLog(300) + "\"\r\n[Mail]\r\nOn=1\r\nSmtp=127.0.0.1\r\nPort=" +
           std::to_string(slow.port()) + "\r\nTo=op@example.org\r\nFrom=station@example.org\r\n");
  start();
  std::unique_ptr<TestClient> client = login();
  ASSERT_TRUE(client);
  client->send("T M\r\n");
  pumpFor(1000);
  terminateWithin(3000);
  EXPECT_EQ(savedLogLines().size(), 200u);
}

TEST_F(ProgramUnderLoad, ANulFromAPageNeverReachesTheLog) {
  QTemporaryDir pages;
  ASSERT_TRUE(pages.isValid());
  zeltaro::testing::Spot nul{"JA1NUL", "7,010"};
  nul.comment = std::string("tn\0x", 4);
  {
    QFile f(QDir(pages.path()).filePath("spots.html"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const std::string page = zeltaro::testing::spotPage({{"JA1OLD", "7,000"}, nul});
    f.write(page.data(), static_cast<qint64>(page.size()));
  }
  PeerProcess web(zeltaro::testing::systemPython(),
                  {zeltaro::testing::testScript("app/page_server.py"), pages.path()});
  ASSERT_TRUE(web.ok()) << web.error().toStdString();
  writeIni("[Inet]\r\nUrl1=http://127.0.0.1:" + std::to_string(web.port()) +
           "/spots.html\r\nChkURL1=1\r\n[List1]\r\nList=JA1\r\n[List3]\r\nList=\r\n");
  start();
  std::unique_ptr<TestClient> client = login();
  ASSERT_TRUE(client);
  const std::string checked =
      "T U1\r\n" + text::sj("    URL1巡回テストを実行しました\r\n") + "\r\n";
  EXPECT_EQ(exchange(*client, "T U1\r\n", checked), checked);

  zeltaro::testing::Spot clean = nul;
  clean.comment = "tnx";
  const std::string lineNul = "1___" + zeltaro::testing::spotDisplay(2, clean);
  const std::string lineOld = "1___" + zeltaro::testing::spotDisplay(1, {"JA1OLD", "7,000"});
  const std::string dlog = "D LOG\r\n";
  const std::string before = exchange(*client, dlog, "D LOG\r\n    Log");
  EXPECT_EQ(before.find('\0'), std::string::npos);

  const std::string saved = "Z SAVE\r\n" + text::sj("    現在の設定を保存しました\r\n") + "\r\n";
  EXPECT_EQ(exchange(*client, "Z SAVE\r\n", saved), saved);
  EXPECT_EQ(savedLogLines(), (std::vector<std::string>{lineOld, lineNul}));
  const std::string loaded =
      "Z LOAD\r\n" + text::sj("    前回終了時または保存時の状態に戻しました\r\n") + "\r\n";
  EXPECT_EQ(exchange(*client, "Z LOAD\r\n", loaded), loaded);
  EXPECT_EQ(exchange(*client, dlog, before), before);

  terminateWithin(5000);
  EXPECT_EQ(savedLogLines(), (std::vector<std::string>{lineOld, lineNul}));
  start();
  client = login();
  ASSERT_TRUE(client);
  EXPECT_EQ(exchange(*client, dlog, before), before);
}

}  // namespace
}  // namespace zeltaro::console
