// SPDX-License-Identifier: GPL-3.0-or-later
// The real program started as a newcomer starts it on a box without a display: no DISPLAY, no
// -platform, no runtime folder. It runs headless and answers on its console, keeps stderr
// quiet, ends with a message when its console cannot listen, and with "/charset=utf-8" talks
// UTF-8 to the terminal while it stores and matches Shift-JIS.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
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
using text::sj;
using text::utf8FromCp932;

const std::string kHeadlessLine =
    "zeltaro: no display (DISPLAY and WAYLAND_DISPLAY unset): running headless";

class HeadlessProgram : public testing::ProgramFixture {
 protected:
  // anyPort false: the console asks for the port on the command line itself.
  void start(QStringList args, bool anyPort = true) {
    QProcessEnvironment env = real.environment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
      env.remove(name);
    if (!anyPort) env.remove("ZELTARO_CONSOLE_ANY_PORT");
    ProgramFixture::start(args, env);
  }

  // SIGTERM, a clean end, and what the program wrote to stderr.
  std::string stop() {
    EXPECT_EQ(kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    EXPECT_TRUE(program.waitForFinished(15000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    return program.readAllStandardError().toStdString();
  }

  std::string iniPath() const { return real.file("zeltaro.ini").toStdString(); }
};

TEST_F(HeadlessProgram, StartsWithoutADisplayAnswersAndStaysQuiet) {
  start({testing::kConsoleOn});
  std::unique_ptr<TestClient> client = connect();
  ASSERT_TRUE(client);
  ASSERT_TRUE(client->waitReceived(greetingFixture().size()));
  EXPECT_EQ(client->received, greetingFixture());
  // Two sound tests: wherever there is no sound device, that is said once.
  const std::string sound = "T V\r\n" + sj("    音声アラートテストを実行しました\r\n") + "\r\n";
  EXPECT_EQ(exchange(*client, "T V\r\n", sound), sound);
  EXPECT_EQ(exchange(*client, "T V\r\n", sound), sound);
  pumpFor(500);

  const std::string err = stop();
  const std::string noSound = "zeltaro: no sound device or sound server: alerts beep instead\n";
  const std::string loopback =
      "zeltaro: the console has no password (/pass=): it listens on 127.0.0.1 port " +
      std::to_string(port) + " only\n";
  EXPECT_TRUE(err == kHeadlessLine + "\n" + loopback ||
              err == kHeadlessLine + "\n" + loopback + noSound)
      << err;
}

TEST_F(HeadlessProgram, ConsolePortTakenEndsTheRunWithAMessage) {
  QTcpServer squatter;
  ASSERT_TRUE(squatter.listen(QHostAddress::Any, 0));
  port = squatter.serverPort();
  start({QString("/telnet=%1").arg(port)}, /*anyPort=*/false);
  ASSERT_TRUE(program.waitForFinished(15000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 2);
  const std::string err = program.readAllStandardError().toStdString();
  const std::string last = "zeltaro: headless and the console cannot listen on port " +
                           std::to_string(port) + ": nothing could reach this station, stopping\n";
  ASSERT_GE(err.size(), last.size()) << err;
  EXPECT_EQ(err.substr(err.size() - last.size()), last) << err;
  EXPECT_EQ(err.rfind(kHeadlessLine + "\n", 0), 0u) << err;
}

TEST_F(HeadlessProgram, Utf8ConsoleStoresAndMatchesShiftJis) {
  QTemporaryDir pages;
  ASSERT_TRUE(pages.isValid());
  const zeltaro::testing::Spot spot{"JA1ZZZ", "7,010", "CW", "1001", sj("東京")};
  {
    QFile f(QDir(pages.path()).filePath("spots.html"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const std::string page = zeltaro::testing::spotPage({{"JA1OLD", "7,000"}, spot});
    f.write(page.data(), static_cast<qint64>(page.size()));
  }
  zeltaro::testing::PeerProcess web(
      zeltaro::testing::systemPython(),
      {zeltaro::testing::testScript("app/page_server.py"), pages.path()});
  ASSERT_TRUE(web.ok()) << web.error().toStdString();
  {
    QFile f(QString::fromStdString(iniPath()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(
        "[Inet]\r\nUrl1=http://127.0.0.1:" + std::to_string(web.port()) +
        "/spots.html\r\nChkURL1=1\r\n[List1]\r\nList=\r\n[List2]\r\nList=\r\n"
        "[List3]\r\nList=\r\n"));
  }
  start({testing::kConsoleOn, "/charset=utf-8"});
  std::unique_ptr<TestClient> client = connect();
  ASSERT_TRUE(client);
  const std::string greeting = utf8FromCp932(greetingFixture());
  ASSERT_TRUE(client->waitReceived(greeting.size()));
  EXPECT_EQ(client->received, greeting);

  // Every reply is UTF-8, byte for byte what the Shift-JIS reply says.
  const std::string added = "A 1 東京\r\n    List1に追加しました\r\n    List1   1: 東京\r\n\r\n";
  EXPECT_EQ(exchange(*client, "A 1 東京\r\n", added), added);
  const std::string checked = "T U1\r\n    URL1巡回テストを実行しました\r\n\r\n";
  EXPECT_EQ(exchange(*client, "T U1\r\n", checked), checked);
  const std::string saved = "Z SAVE\r\n    現在の設定を保存しました\r\n\r\n";
  EXPECT_EQ(exchange(*client, "Z SAVE\r\n", saved), saved);

  // Stored in Shift-JIS, and it matched the Shift-JIS page.
  const settings::ProfileFile ini(iniPath());
  EXPECT_EQ(ini.value("List1", "List"), sj("東京") + "\\r\\n");
  const std::vector<std::string> log =
      text::splitLines(settings::unescapeLog(ini.readMultiline("Inet", "Log", "")));
  EXPECT_EQ(log, std::vector<std::string>{"1___" + zeltaro::testing::spotDisplay(2, spot)});
  stop();
}

}  // namespace
}  // namespace zeltaro::console
