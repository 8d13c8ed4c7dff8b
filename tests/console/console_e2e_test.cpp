// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, started headless as the operator starts it on a box without a display,
// driven over its telnet console from 127.0.0.1.
#include <gtest/gtest.h>
#include <signal.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "console_fixture.h"
#include "program_fixture.h"
#include "text/codec.h"

namespace zeltaro::console {
namespace {

using testing::greetingFixture;
using testing::pumpFor;
using testing::TestClient;
using testing::waitUntil;
using zeltaro::text::sj;

class ProgramConsole : public testing::ProgramFixture {
 protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    start({"-platform", "offscreen", testing::kConsoleOn, "/pass=secret"}, real.environment());
  }
};

TEST_F(ProgramConsole, PasswordStatusSaveAndQuit) {
  std::unique_ptr<TestClient> client = connect();
  ASSERT_TRUE(client);
  ASSERT_TRUE(client->waitReceived(6));
  EXPECT_EQ(client->received, "QRZ?\r\n");

  const std::string welcome = "******\r\n" + greetingFixture() + "\r\n";
  EXPECT_EQ(exchange(*client, "secret\r\n", welcome), welcome);

  const std::string status = "R\r\n" + sj("    チェックボタンなどの状態\r\n") +
                             "    X OFF\r\n"
                             "    U 1 OFF  ,  U 2 OFF  ,  U 3 ON\r\n"
                             "    V ON\r\n"
                             "    M OFF\r\n"
                             "    L 11 ON  ,  L 12 ON  ,  L 13 ON\r\n"
                             "    L 21 ON  ,  L 22 ON  ,  L 23 ON\r\n"
                             "    L 31 ON  ,  L 32 ON  ,  L 33 ON\r\n"
                             "    Z CFG ON\r\n\r\n";
  EXPECT_EQ(exchange(*client, "R\r\n", status), status);

  const std::string added =
      "A 1 JA1ZZZ\r\n" + sj("    List1に追加しました\r\n") + "    List1   1: JA1ZZZ\r\n\r\n";
  EXPECT_EQ(exchange(*client, "A 1 JA1ZZZ\r\n", added), added);
  const std::string saved = "Z SAVE\r\n" + sj("    現在の設定を保存しました\r\n") + "\r\n";
  EXPECT_EQ(exchange(*client, "Z SAVE\r\n", saved), saved);
  QFile ini(real.file("zeltaro.ini"));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_TRUE(ini.readAll().contains("JA1ZZZ"));

  client->received.clear();
  client->send("Q\r\n");
  ASSERT_TRUE(client->waitClosed());
  EXPECT_EQ(client->received, "Q\r\n");
  EXPECT_EQ(program.state(), QProcess::Running);

  // The console keeps listening for the next client.
  std::unique_ptr<TestClient> next = connect();
  ASSERT_TRUE(next);
  ASSERT_TRUE(next->waitReceived(6));
  EXPECT_EQ(next->received, "QRZ?\r\n");

  ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
  ASSERT_TRUE(program.waitForFinished(15000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
}

}  // namespace
}  // namespace zeltaro::console
